// The installation sequence with stand-ins for its operations: what it does, in which order, where it
// stops, and what decides its result.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "paths.h"
#include "setup_app.h"

namespace {

typedef std::vector<std::string> Calls;

Calls g_calls;
int g_fileCalls = 0;
int g_failingFile = -1;  // which installFile call fails (counting from 0); -1: none
int g_activation = 1;

void Shortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    g_calls.push_back(std::string("shortcut ") + shortcut.title + " -> " + target);
}
int File(LPCSTR path, LPCSTR, LPCSTR)
{
    g_calls.push_back(std::string("file ") + path);
    return g_fileCalls++ == g_failingFile ? 0 : 1;
}
BOOL Register(const UninstallEntry& entry)
{
    g_calls.push_back(std::string("register ") + static_cast<LPCSTR>(entry.uninstaller) + " showing " +
                      static_cast<LPCSTR>(entry.installedSaver));
    return TRUE;
}
BOOL Record(LPCSTR saver)
{
    g_calls.push_back(std::string("record ") + saver);
    return TRUE;
}
int Activate(LPCSTR saver)
{
    g_calls.push_back(std::string("activate ") + saver);
    return g_activation;
}
const InstallOperations kStandIns = {Shortcut, File, Register, Record, Activate};

int Install(int failingFile, int activation)
{
    g_calls.clear();
    g_fileCalls = 0;
    g_failingFile = failingFile;
    g_activation = activation;
    return InstallAllWith(kStandIns);
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
    const std::string windows(WindowsDirectory());
    const std::string url = PublisherSiteUrl;
    return {
        "shortcut LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES -> " + url,
        "shortcut LUMA VERT - FREE SOFTWARE, GAMES, TOOLS -> " + url,
        "shortcut LUMAVERT -> " + url,
        "shortcut LUMAVERT - FREE SOFTWARE, GAMES, TOOLS -> " + url,
        "file " + windows + "marigoldfiles\\uninstall.exe",
        "file " + windows + "Marigold.scr",
        RegisterCall(),
        "file " + windows + "marigoldfiles\\ghost.bmp",
        "file " + windows + "marigoldfiles\\skeleton.bmp",
        "file " + windows + "marigoldfiles\\pumpkin1.bmp",
        "file " + windows + "marigoldfiles\\pumpkin2.bmp",
        "file " + windows + "marigoldfiles\\pumpkin3.bmp",
        "file " + windows + "marigoldfiles\\boom1.wav",
        "record " + windows + "Marigold.scr",
        "activate " + windows + "Marigold.scr",
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

TEST_CASE("the installation makes the shortcuts and the uninstaller then the seven files and activates")
{
    REQUIRE_FALSE(WindowsDirectory().IsEmpty());
    CHECK(Install(-1, 1) == 1);
    CHECK(g_calls == FullSequence());
    // The activation decides the result once every file is in place.
    CHECK(Install(-1, 0) == 0);
    CHECK(g_calls == FullSequence());
}

TEST_CASE("the first file that fails ends the installation and only the uninstaller may fail")
{
    const std::string windows(WindowsDirectory());
    SUBCASE("the screen saver: no picture is touched, but the installation can be removed")
    {
        CHECK(Install(1, 1) == 0);
        CHECK(g_calls == UpTo(RegisterCall()));
    }
    SUBCASE("the third picture: the files before it stay, the ones after it are not touched")
    {
        CHECK(Install(4, 1) == 0);
        CHECK(g_calls == UpTo("file " + windows + "marigoldfiles\\pumpkin1.bmp"));
    }
    SUBCASE("the uninstaller: no entry for it, and the installation goes on as before")
    {
        Calls expected = FullSequence();
        expected.erase(std::find(expected.begin(), expected.end(), RegisterCall()));
        CHECK(Install(0, 1) == 1);
        CHECK(g_calls == expected);
    }
}
