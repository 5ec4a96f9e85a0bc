// The removal with stand-ins for its operations: its order (the entry last), where it stops, and what
// it comes to, down to the exit code package managers read.
#include <doctest.h>

#include "paths.h"
#include "recording_operations.h"
#include "removal.h"

using namespace recording;

namespace {

RemovalOutcome RemoveWith(const Answers& answers)
{
    Expect(answers);
    return RemoveProductWith(kRecordingOperations, "");
}

// Everything a removal does, in order, up to and including `last` (all of it when it is not there).
Calls Sequence(const std::string& last = "")
{
    const std::string windows(WindowsDirectory()), assets = windows + "marigoldfiles";
    Calls calls = {"restore " + windows + "Marigold.scr", "file " + windows + "Marigold.scr"};
    for (const char* name : kAssets) calls.push_back("file " + assets + "\\" + name);
    for (const char* title : kShortcutTitles) calls.push_back(std::string("shortcut ") + title);
    calls.insert(calls.end(), {"settings", "aside " + assets + "\\uninstall.exe", "folder " + assets, "unregister",
                               "file " + assets + "\\uninstall.exe"});
    return UpTo(calls, last);
}

}  // namespace

TEST_CASE("the removal ends with the entry and a per-user shortcut left behind does not fail it")
{
    Answers answers;
    SUBCASE("every shortcut removed") {}
    SUBCASE("every shortcut left, made read-only say") { answers.shortcuts = PinnedRemoval::notRemoved; }
    CHECK(RemoveWith(answers) == RemovalOutcome::removed);
    CHECK(g_calls == Sequence());
    CHECK(RemovalExitCode(RemovalOutcome::removed) == 0);
}

TEST_CASE("the removal stops at whatever of the machine's cannot be removed and the entry stays with its uninstaller")
{
    const std::string assets = std::string(WindowsDirectory()) + "marigoldfiles", putBack = "put back " + assets + "\\uninstall.exe";
    Answers answers;
    std::string last = "shortcut LUMAVERT - FREE SOFTWARE, GAMES, TOOLS", then;
    SUBCASE("the screen saver chosen before cannot be put back: nothing is removed")
    {
        answers.restored = false, last = "restore " + std::string(WindowsDirectory()) + "Marigold.scr";
    }
    SUBCASE("a picture") { answers.failingFile = "pumpkin2.bmp"; }
    SUBCASE("the uninstaller") { answers.failingFile = "uninstall.exe", last = "aside " + assets + "\\uninstall.exe"; }
    SUBCASE("the folder") { answers.folder = RemovalResult::failed, last = "folder " + assets, then = putBack; }
    SUBCASE("the entry itself") { answers.unregistered = false, last = "unregister", then = putBack; }
    CHECK(RemoveWith(answers) == RemovalOutcome::notRemoved);
    Calls expected = Sequence(last);
    if (!then.empty()) expected.push_back(then);
    CHECK(g_calls == expected);
    CHECK(RemovalExitCode(RemovalOutcome::notRemoved) == 1603);
}

TEST_CASE("what goes at the next restart is told by the outcome and the exit code")
{
    Answers answers;
    SUBCASE("the screen saver, running as a preview") { answers.fileAtRestart = "Marigold.scr"; }
    SUBCASE("another copy of the uninstaller") { answers.fileAtRestart = "uninstall.exe"; }
    SUBCASE("the folder, some program's current folder") { answers.folder = RemovalResult::removedAtRestart; }
    CHECK(RemoveWith(answers) == RemovalOutcome::removedAtRestart);
    CHECK(g_calls == Sequence());
    CHECK(RemovalExitCode(RemovalOutcome::removedAtRestart) == 3010);
    CHECK(RemovalExitCode(RemovalOutcome::declined) == 1602);
    CHECK(RemovalExitCode(RemovalOutcome::besideAnother) == 1618);
    CHECK(RemovalExitCode(RemovalOutcome::notUnderstood) == 1639);
}
