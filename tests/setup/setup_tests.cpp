// The installation sequence with stand-ins for its operations: what it does, in which order, where it
// stops, and what decides its result.
#include <doctest.h>

#include <algorithm>

#include "paths.h"
#include "recording_operations.h"
#include "setup_app.h"

using namespace recording;

namespace {

int InstallWith(const Answers& answers)
{
    Expect(answers);
    return InstallAllWith(kRecordingOperations);
}

// The entry among the installed programs, once the screen saver it shows the version of is in place.
std::string RegisterCall()
{
    const std::string windows(WindowsDirectory());
    return "register " + windows + "marigoldfiles\\uninstall.exe showing " + windows + "Marigold.scr";
}

// Everything a successful installation does, in order.
Calls FullSequence()
{
    const std::string windows(WindowsDirectory()), assets = windows + "marigoldfiles\\";
    const std::string url = PublisherSiteUrl;
    Calls calls;
    for (const char* title : kShortcutTitles) calls.push_back(std::string("shortcut ") + title + " -> " + url);
    calls.insert(calls.end(), {"file " + assets + "uninstall.exe", "file " + windows + "Marigold.scr", RegisterCall()});
    for (const char* name : kAssets) calls.push_back("file " + assets + name);
    calls.insert(calls.end(), {"record " + windows + "Marigold.scr", "activate " + windows + "Marigold.scr"});
    return calls;
}

}  // namespace

TEST_CASE("the installation makes the shortcuts and the uninstaller then the seven files and activates")
{
    REQUIRE_FALSE(WindowsDirectory().IsEmpty());
    Answers answers;
    CHECK(InstallWith(answers) == 1);
    CHECK(g_calls == FullSequence());
    // The activation decides the result once every file is in place.
    answers.activation = 0;
    CHECK(InstallWith(answers) == 0);
    CHECK(g_calls == FullSequence());
}

TEST_CASE("the first file that fails ends the installation and only the uninstaller may fail")
{
    const std::string windows(WindowsDirectory());
    Answers answers;
    SUBCASE("the screen saver: no picture is touched, but the installation can be removed")
    {
        answers.failingFile = "Marigold.scr";
        CHECK(InstallWith(answers) == 0);
        CHECK(g_calls == UpTo(FullSequence(), RegisterCall()));
    }
    SUBCASE("the third picture: the files before it stay, the ones after it are not touched")
    {
        answers.failingFile = "pumpkin1.bmp";
        CHECK(InstallWith(answers) == 0);
        CHECK(g_calls == UpTo(FullSequence(), "file " + windows + "marigoldfiles\\pumpkin1.bmp"));
    }
    SUBCASE("the uninstaller: no entry for it, and the installation goes on as before")
    {
        Calls expected = FullSequence();
        expected.erase(std::find(expected.begin(), expected.end(), RegisterCall()));
        answers.failingFile = "uninstall.exe";
        CHECK(InstallWith(answers) == 1);
        CHECK(g_calls == expected);
    }
}
