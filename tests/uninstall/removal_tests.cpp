// The removal with stand-ins for its operations: its order (the entry last), where it stops, and what
// it comes to, down to the exit code package managers read.
#include <doctest.h>

#include <string>
#include <vector>

#include "paths.h"
#include "removal.h"

namespace {

typedef std::vector<std::string> Calls;

// What the stand-ins answer.
struct Answers {
    BOOL restored = TRUE;
    std::string failingFile;    // a name ending the path
    std::string fileAtRestart;  // a name ending the path
    ShortcutRemoval shortcuts = shortcutRemoved;
    RemovalResult folder = removedNow;
    BOOL unregistered = TRUE;
};

Calls g_calls;
Answers g_answers;

bool EndsWith(const std::string& text, const std::string& end)
{
    return !end.empty() && text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

BOOL Restore(LPCSTR saver)
{
    g_calls.push_back(std::string("restore ") + saver);
    return g_answers.restored;
}
RemovalResult File(LPCSTR path, LPCSTR)
{
    g_calls.push_back(std::string("file ") + path);
    if (EndsWith(path, g_answers.failingFile)) return removalFailed;
    return EndsWith(path, g_answers.fileAtRestart) ? removedAtRestart : removedNow;
}
ShortcutRemoval Shortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    g_calls.push_back(std::string("shortcut ") + shortcut.title + " -> " + target);
    return g_answers.shortcuts;
}
void Settings() { g_calls.push_back("settings"); }
RemovalResult Folder(LPCSTR folder)
{
    g_calls.push_back(std::string("folder ") + folder);
    return g_answers.folder;
}
BOOL Unregister()
{
    g_calls.push_back("unregister");
    return g_answers.unregistered;
}
const RemovalOperations kStandIns = {Restore, File, Shortcut, Settings, Folder, Unregister};

RemovalOutcome Remove(const Answers& answers)
{
    g_calls.clear();
    g_answers = answers;
    return RemoveProductWith(kStandIns, "");
}

Calls FullSequence()
{
    const std::string windows(WindowsDirectory());
    const std::string url = PublisherSiteUrl;
    return {
        "restore " + windows + "Marigold.scr",
        "file " + windows + "Marigold.scr",
        "file " + windows + "marigoldfiles\\ghost.bmp",
        "file " + windows + "marigoldfiles\\skeleton.bmp",
        "file " + windows + "marigoldfiles\\pumpkin1.bmp",
        "file " + windows + "marigoldfiles\\pumpkin2.bmp",
        "file " + windows + "marigoldfiles\\pumpkin3.bmp",
        "file " + windows + "marigoldfiles\\boom1.wav",
        "shortcut LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES -> " + url,
        "shortcut LUMA VERT - FREE SOFTWARE, GAMES, TOOLS -> " + url,
        "shortcut LUMAVERT -> " + url,
        "shortcut LUMAVERT - FREE SOFTWARE, GAMES, TOOLS -> " + url,
        "settings",
        "file " + windows + "marigoldfiles\\uninstall.exe",
        "folder " + windows + "marigoldfiles",
        "unregister",
    };
}

Calls UpTo(const std::string& last)
{
    Calls calls = FullSequence();
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == last) return Calls(calls.begin(), calls.begin() + i + 1);
    return calls;
}

}  // namespace

TEST_CASE("the removal ends with the entry and a per-user shortcut left behind does not fail it")
{
    REQUIRE_FALSE(WindowsDirectory().IsEmpty());
    Answers answers;
    CHECK(Remove(answers) == productRemoved);
    CHECK(g_calls == FullSequence());
    answers.shortcuts = shortcutNotRemoved;
    CHECK(Remove(answers) == productRemoved);
    CHECK(g_calls == FullSequence());
}

TEST_CASE("the removal stops at whatever of the machine's cannot be removed and the entry stays")
{
    const std::string windows(WindowsDirectory());
    Answers answers;
    Calls expected = UpTo("shortcut LUMAVERT - FREE SOFTWARE, GAMES, TOOLS -> " + std::string(PublisherSiteUrl));
    SUBCASE("the screen saver chosen before cannot be put back") { answers.restored = FALSE; }
    SUBCASE("a picture") { answers.failingFile = "pumpkin2.bmp"; }
    SUBCASE("the uninstaller")
    {
        answers.failingFile = "uninstall.exe";
        expected = UpTo("file " + windows + "marigoldfiles\\uninstall.exe");
    }
    SUBCASE("the folder")
    {
        answers.folder = removalFailed;
        expected = UpTo("folder " + windows + "marigoldfiles");
    }
    SUBCASE("the entry itself")
    {
        answers.unregistered = FALSE;
        expected = FullSequence();
    }
    CHECK(Remove(answers) == productNotRemoved);
    CHECK(g_calls == expected);
    CHECK(RemovalExitCode(productNotRemoved) == 1603);
}

TEST_CASE("what goes at the next restart is told by the outcome and the exit code")
{
    Answers answers;
    SUBCASE("the screen saver, running as a preview") { answers.fileAtRestart = "Marigold.scr"; }
    SUBCASE("another copy of the uninstaller") { answers.fileAtRestart = "uninstall.exe"; }
    SUBCASE("the folder, some program's current folder") { answers.folder = removedAtRestart; }
    CHECK(Remove(answers) == productRemovedAtRestart);
    CHECK(g_calls == FullSequence());
    CHECK(RemovalExitCode(productRemovedAtRestart) == 3010);
    CHECK(RemovalExitCode(productRemoved) == 0);
    CHECK(RemovalExitCode(removalDeclined) == 1602);
    CHECK(RemovalExitCode(removalBesideAnother) == 1618);
}
