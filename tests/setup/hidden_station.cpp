// Runs a program where no one can see it, as a service or a deployment agent running as the system
// does: on the desktop of a window station of its own, which is not the interactive one.
//   hidden_station SECONDS PROGRAM [ARGS...]
// Prints "exit CODE" (the whole 32-bit code, which Linux would cut to its low byte) once the program
// has ended, or "timeout" when it was still running after SECONDS (it is then ended).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: hidden_station SECONDS PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string name = "MarigoldHidden" + std::to_string(::GetCurrentProcessId());
    const HWINSTA visible = ::GetProcessWindowStation();
    const HWINSTA station = ::CreateWindowStationA(name.c_str(), 0, WINSTA_ALL_ACCESS, NULL);
    if (!station || !::SetProcessWindowStation(station)) return 3;
    const HDESK desktop = ::CreateDesktopA("Default", NULL, NULL, 0, GENERIC_ALL, NULL);
    ::SetProcessWindowStation(visible);
    if (!desktop) return 3;

    std::string commandLine;
    for (int i = 2; i < argc; ++i) commandLine += (i > 2 ? " \"" : "\"") + std::string(argv[i]) + "\"";
    std::string where = name + "\\Default";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = &where[0];
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) return 4;
    const DWORD waited = ::WaitForSingleObject(started.hProcess, static_cast<DWORD>(std::atoi(argv[1])) * 1000);
    DWORD code = 0;
    if (waited == WAIT_OBJECT_0 && ::GetExitCodeProcess(started.hProcess, &code)) {
        std::printf("exit %lu\n", static_cast<unsigned long>(code));
    } else {
        ::TerminateProcess(started.hProcess, 1);
        std::printf("timeout\n");
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    ::CloseDesktop(desktop);
    ::CloseWindowStation(station);
    return 0;
}
