// The removal with stand-ins for its operations: its order (the entry last), where it stops, and what
// it comes to, down to the exit code package managers read.
#include <doctest.h>

#include <string>
#include <vector>

#include "paths.h"
#include "removal.h"

namespace {

typedef std::vector<std::string> Calls;

// What the stand-ins answer; a file is named by the end of its path.
struct Answers {
    BOOL restored = TRUE;
    std::string failingFile = "-", fileAtRestart = "-";
    ShortcutRemoval shortcuts = shortcutRemoved;
    RemovalResult folder = removedNow;
    BOOL unregistered = TRUE;
} g_answers;
Calls g_calls;

// Writes down the call and gives the answer.
template <class T>
T Called(const std::string& call, T answer)
{
    g_calls.push_back(call);
    return answer;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

BOOL Restore(LPCSTR saver) { return Called(std::string("restore ") + saver, g_answers.restored); }
RemovalResult File(LPCSTR path, LPCSTR)
{
    const RemovalResult result = EndsWith(path, g_answers.failingFile)     ? removalFailed
                                 : EndsWith(path, g_answers.fileAtRestart) ? removedAtRestart
                                                                           : removedNow;
    return Called(std::string("file ") + path, result);
}
ShortcutRemoval Shortcut(const PublisherShortcut& shortcut, LPCSTR)
{
    return Called(std::string("shortcut ") + shortcut.title, g_answers.shortcuts);
}
void Settings() { g_calls.push_back("settings"); }
RemovalResult Folder(LPCSTR folder) { return Called(std::string("folder ") + folder, g_answers.folder); }
BOOL Unregister() { return Called("unregister", g_answers.unregistered); }

RemovalOutcome Remove(const Answers& answers)
{
    g_calls.clear();
    g_answers = answers;
    const RemovalOperations standIns = {Restore, File, File, Shortcut, Settings, Folder, Unregister};
    return RemoveProductWith(standIns, "");
}

// Everything a removal does, in order, up to and including `last` (all of it when it is not there).
Calls Sequence(const std::string& last = "")
{
    const std::string windows(WindowsDirectory()), assets = windows + "marigoldfiles";
    Calls calls = {"restore " + windows + "Marigold.scr", "file " + windows + "Marigold.scr"};
    for (const char* name : {"ghost.bmp", "skeleton.bmp", "pumpkin1.bmp", "pumpkin2.bmp", "pumpkin3.bmp", "boom1.wav"})
        calls.push_back("file " + assets + "\\" + name);
    for (const char* title : {"LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES", "LUMA VERT - FREE SOFTWARE, GAMES, TOOLS", "LUMAVERT",
                              "LUMAVERT - FREE SOFTWARE, GAMES, TOOLS"})
        calls.push_back(std::string("shortcut ") + title);
    for (const std::string& call : {std::string("settings"), "file " + assets + "\\uninstall.exe", "folder " + assets,
                                    std::string("unregister")})
        calls.push_back(call);
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == last) calls.resize(i + 1);
    return calls;
}

}  // namespace

TEST_CASE("the removal ends with the entry and a per-user shortcut left behind does not fail it")
{
    Answers answers;
    SUBCASE("every shortcut removed") {}
    SUBCASE("every shortcut left, made read-only say") { answers.shortcuts = shortcutNotRemoved; }
    CHECK(Remove(answers) == productRemoved);
    CHECK(g_calls == Sequence());
    CHECK(RemovalExitCode(productRemoved) == 0);
}

TEST_CASE("the removal stops at whatever of the machine's cannot be removed and the entry stays")
{
    const std::string assets = std::string(WindowsDirectory()) + "marigoldfiles";
    Answers answers;
    std::string last = "shortcut LUMAVERT - FREE SOFTWARE, GAMES, TOOLS";
    SUBCASE("the screen saver chosen before cannot be put back: nothing is removed")
    {
        answers.restored = FALSE, last = "restore " + std::string(WindowsDirectory()) + "Marigold.scr";
    }
    SUBCASE("a picture") { answers.failingFile = "pumpkin2.bmp"; }
    SUBCASE("the uninstaller") { answers.failingFile = "uninstall.exe", last = "file " + assets + "\\uninstall.exe"; }
    SUBCASE("the folder") { answers.folder = removalFailed, last = "folder " + assets; }
    SUBCASE("the entry itself") { answers.unregistered = FALSE, last = "unregister"; }
    CHECK(Remove(answers) == productNotRemoved);
    CHECK(g_calls == Sequence(last));
    CHECK(RemovalExitCode(productNotRemoved) == 1603);
}

TEST_CASE("what goes at the next restart is told by the outcome and the exit code")
{
    Answers answers;
    SUBCASE("the screen saver, running as a preview") { answers.fileAtRestart = "Marigold.scr"; }
    SUBCASE("another copy of the uninstaller") { answers.fileAtRestart = "uninstall.exe"; }
    SUBCASE("the folder, some program's current folder") { answers.folder = removedAtRestart; }
    CHECK(Remove(answers) == productRemovedAtRestart);
    CHECK(g_calls == Sequence());
    CHECK(RemovalExitCode(productRemovedAtRestart) == 3010);
    CHECK(RemovalExitCode(removalDeclined) == 1602);
    CHECK(RemovalExitCode(removalBesideAnother) == 1618);
    CHECK(RemovalExitCode(removalNotUnderstood) == 1639);
}
