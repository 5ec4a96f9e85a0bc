// Screen-saver activation against the prefix's real system.ini and screen-saver flag.
#include <doctest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "activation.h"
#include "paths.h"
#include "screen_saver_settings.h"

using namespace testing_support;

TEST_CASE("an existing entry is overwritten while the other boot entries stay and screen saving reads back as active")
{
    SystemSettingsGuard guard;
    ScratchDir scratch;
    const std::string saver = MakeSaverFile(scratch.path(), "MARIGOLD.SCR");
    REQUIRE(WriteAll(SystemIniPath(),
                     "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=C:\\OLD\\OTHER.SCR\r\ndrivers=mmsystem.dll\r\n"
                     "[drivers]\r\nwave=mmdrv.dll\r\n"));
    REQUIRE(ProfileValue("boot", "SCRNSAVE.EXE") == "C:\\OLD\\OTHER.SCR");
    REQUIRE(::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, NULL, SPIF_UPDATEINIFILE));
    REQUIRE(ScreenSaveActive() == FALSE);

    CHECK(ActivateScreenSaver(saver.c_str()) == 1);

    CHECK(ScreenSaveActive() == TRUE);
    const std::string written = ProfileValue("boot", "SCRNSAVE.EXE");
    CHECK(SamePath(written.c_str(), saver.c_str()));
    CHECK(ProfileValue("boot", "shell") == "Explorer.exe");
    CHECK(ProfileValue("boot", "drivers") == "mmsystem.dll");
    CHECK(ProfileValue("drivers", "wave") == "mmdrv.dll");
    // One entry, not a second one next to the old.
    const std::vector<unsigned char> ini = ReadAll(SystemIniPath());
    const std::string text(ini.begin(), ini.end());
    CHECK(text.find("OTHER.SCR") == std::string::npos);
    CHECK(text.find("SCRNSAVE.EXE") == text.rfind("SCRNSAVE.EXE"));
}

TEST_CASE("a path with long and blank-containing folder names is written in its short form")
{
    SystemSettingsGuard guard;
    ScratchDir scratch;
    const std::string outer = scratch.file("Program Files With Blanks");
    const std::string inner = outer + "\\A rather long folder name";
    REQUIRE(::CreateDirectoryA(outer.c_str(), NULL));
    REQUIRE(::CreateDirectoryA(inner.c_str(), NULL));
    const std::string saver = MakeSaverFile(inner, "Marigold Screen Saver.scr");

    REQUIRE(ActivateScreenSaver(saver.c_str()) == 1);

    const std::string written = ProfileValue("boot", "SCRNSAVE.EXE");
    CHECK(written.find(' ') == std::string::npos);
    CHECK(written.find('"') == std::string::npos);
    CHECK(written.size() < saver.size());
    CHECK(Exists(written));
    CHECK(SamePath(written.c_str(), saver.c_str()));
}

TEST_CASE("a missing file or a system.ini that cannot be written gives 0 and leaves system.ini unchanged")
{
    SystemSettingsGuard guard;
    ScratchDir scratch;
    REQUIRE(WriteAll(SystemIniPath(), "[boot]\r\nSCRNSAVE.EXE=C:\\KEEP\\ME.SCR\r\n"));
    const std::vector<unsigned char> before = ReadAll(SystemIniPath());
    ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, NULL, SPIF_UPDATEINIFILE);

    CHECK(ActivateScreenSaver(scratch.file("Not There.scr").c_str()) == 0);
    REQUIRE(::SetFileAttributesA(SystemIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    CHECK(ActivateScreenSaver(MakeSaverFile(scratch.path(), "MG.SCR").c_str()) == 0);
    REQUIRE(::SetFileAttributesA(SystemIniPath().c_str(), FILE_ATTRIBUTE_NORMAL));

    CHECK(ReadAll(SystemIniPath()) == before);
    CHECK(ScreenSaveActive() == FALSE);
}

// A short form that does not fit the usual 260 characters: Windows reports the size it needs (a
// deeply nested path of short names with blanks, each mangled longer), while Wine refuses such a long
// result outright. Either way only the file's real short path may be written, or nothing. Wine can
// show only the refusal; the stand-ins below answer the way Windows does.
TEST_CASE("a short path beyond 260 characters is written whole or not at all")
{
    SystemSettingsGuard guard;
    ScratchDir scratch;
    std::string folder = scratch.path();
    while (folder.size() + 4 + std::strlen("\\MG.SCR") < MAX_PATH - 1) {
        folder += "\\a b";
        REQUIRE(::CreateDirectoryA(folder.c_str(), NULL));
    }
    const std::string saver = MakeSaverFile(folder, "MG.SCR");
    REQUIRE(WriteAll(SystemIniPath(), "[boot]\r\nSCRNSAVE.EXE=C:\\KEEP\\ME.SCR\r\n"));
    const std::vector<unsigned char> before = ReadAll(SystemIniPath());

    const int result = ActivateScreenSaver(saver.c_str());

    const bool wine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
    if (wine) CHECK(result == 0);  // Wine refuses the long short path: nothing may be written
    if (result == 0) {
        CHECK(ReadAll(SystemIniPath()) == before);
    } else {
        const std::string written = ProfileValue("boot", "SCRNSAVE.EXE");
        CHECK(written.size() >= MAX_PATH);
        CHECK(written.find(' ') == std::string::npos);
        CHECK(SamePath(written.c_str(), saver.c_str()));
    }
}

// The system's answer when the buffer is too small is only the size it needs; these stand-ins for it
// show that the needed size is asked for, never used as if the buffer had been filled.
namespace {

const std::string kLongShortPath = "C:\\" + std::string(300, 'X') + "\\SAVER.SCR";
int queryCalls = 0;

DWORD WINAPI ReportsNeededSizeFirst(LPCSTR, LPSTR buffer, DWORD size)
{
    ++queryCalls;
    const DWORD needed = static_cast<DWORD>(kLongShortPath.size() + 1);
    if (size < needed) {
        std::memset(buffer, '?', size);  // what a careless caller would write into system.ini
        return needed;
    }
    std::memcpy(buffer, kLongShortPath.c_str(), needed);
    return needed - 1;
}

DWORD WINAPI KeepsGrowing(LPCSTR, LPSTR buffer, DWORD size)
{
    ++queryCalls;
    std::memset(buffer, '?', size);
    return size + 10;
}

DWORD WINAPI Fails(LPCSTR, LPSTR buffer, DWORD size)
{
    ++queryCalls;
    std::memset(buffer, '?', size);
    return 0;
}

DWORD WINAPI FitsExactly(LPCSTR, LPSTR buffer, DWORD size)
{
    ++queryCalls;
    // The longest answer a 260-character buffer holds: 259 characters and the terminator.
    std::memset(buffer, 'S', size - 1);
    buffer[size - 1] = '\0';
    return size - 1;
}

}  // namespace

TEST_CASE("the short path is fetched whole when the buffer is too small")
{
    CString shortPath("unchanged");
    queryCalls = 0;
    REQUIRE(GetShortPath("C:\\whatever.scr", shortPath, ReportsNeededSizeFirst));
    CHECK(std::string(shortPath) == kLongShortPath);
    CHECK(queryCalls == 2);

    queryCalls = 0;
    REQUIRE(GetShortPath("C:\\whatever.scr", shortPath, FitsExactly));
    CHECK(std::string(shortPath) == std::string(MAX_PATH - 1, 'S'));
    CHECK(queryCalls == 1);
}

TEST_CASE("no short path is given when the system gives none or keeps asking for more")
{
    for (ShortPathQuery query : {KeepsGrowing, Fails}) {
        CString shortPath("unchanged");
        queryCalls = 0;
        CHECK_FALSE(GetShortPath("C:\\whatever.scr", shortPath, query));
        CHECK(std::string(shortPath) == "unchanged");
        CHECK(queryCalls >= 1);
        CHECK(queryCalls <= 3);
    }
}
