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

}  // namespace

// Wine runs every program elevated, so what the recorder reports of itself shows what it was given.
TEST_CASE("without the desktop's shell an elevated setup starts nothing")
{
    ::CoInitialize(NULL);
    ScratchDir dir;
    const std::string program = dir.file("recorder.exe");
    REQUIRE(::CopyFileA(LAUNCH_RECORDER, program.c_str(), FALSE));
    const char parameters[] = "desk.cpl Display,@\"Screen Saver\"";
    g_shellWindowsAsked = 0;

    OpenForUser(program.c_str(), parameters, true, NoShellWindows);
    CHECK(g_shellWindowsAsked == 1);
    CHECK(WaitForRecord(program + ".launches.txt").empty());

    // Not elevated, the setup starts it itself, as ShellExecute does, and the shell is not asked.
    OpenForUser(program.c_str(), parameters, false, NoShellWindows);
    CHECK(g_shellWindowsAsked == 1);
    const std::string record = WaitForRecord(program + ".launches.txt");
    CHECK(_stricmp(record.substr(0, record.find('\n')).c_str(), program.c_str()) == 0);
    CHECK(record.substr(record.find('\n') + 1) == std::string(parameters) + "\n");
    ::CoUninitialize();
}
