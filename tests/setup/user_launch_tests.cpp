#include <doctest.h>

#include <objbase.h>

#include <string>

#include "test_support.h"
#include "user_launch.h"

using namespace testing_support;

namespace {

int g_shellWindowsAsked = 0;

// As when the desktop's shell does not run: its list of shell windows cannot be had.
HRESULT NoShellWindows(IShellWindows** windows)
{
    ++g_shellWindowsAsked;
    *windows = NULL;
    return REGDB_E_CLASSNOTREG;
}

// What the recorder wrote once it ran: its own path and its parameters, a line each.
std::string WaitForRecord(const std::string& record)
{
    for (int i = 0; i < 200; ++i) {
        const std::vector<unsigned char> bytes = ReadAll(record);
        const std::string text(bytes.begin(), bytes.end());
        if (text.find('\n') != text.rfind('\n')) return text;
        ::Sleep(50);
    }
    return std::string();
}

std::string Text(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Wine runs every program elevated, so what the recorder reports of itself shows what it was given.
TEST_CASE("without the desktop's shell an elevated setup starts nothing with administrator rights")
{
    ::CoInitialize(NULL);
    ScratchDir dir;
    const std::string program = dir.file("recorder.exe");
    REQUIRE(::CopyFileA(LAUNCH_RECORDER, program.c_str(), FALSE));
    const char parameters[] = "desk.cpl Display,@\"Screen Saver\"";
    g_shellWindowsAsked = 0;
    std::string arguments = parameters;
    std::string rights = "user\n";

    SUBCASE("elevated: a program with its parameters, with the user's own rights")
    {
        OpenForUser(ProgramLaunch(program.c_str(), parameters), true, NoShellWindows);
        CHECK(g_shellWindowsAsked == 1);
    }
    SUBCASE("elevated: an address, by url.dll's handler with the user's own rights")
    {
        // The handler opens what it is given as the shell would: here the recorder, with nothing more.
        OpenForUser(AddressLaunch(program.c_str()), true, NoShellWindows);
        arguments.clear();
    }
    SUBCASE("not elevated: as ShellExecute starts it, and the desktop's shell is not asked")
    {
        OpenForUser(ProgramLaunch(program.c_str(), parameters), false, NoShellWindows);
        CHECK(g_shellWindowsAsked == 0);
        rights = "administrator\n";  // as this test runs
    }
    const std::string record = WaitForRecord(program + ".launches.txt");
    CHECK(_stricmp(record.substr(0, record.find('\n')).c_str(), program.c_str()) == 0);
    CHECK(record.substr(record.find('\n') + 1) == arguments + "\n");
    CHECK(Text(program + ".rights.txt") == rights);
    ::CoUninitialize();
}
