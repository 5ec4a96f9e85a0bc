// Runs a command line, waits for it and prints its wall time and peak working set:
//   peak_memory.exe PROGRAM [ARGS...]  ->  "elapsed_us=<us> peak_bytes=<bytes> exit=<code>"
// The peak is sampled every few milliseconds while the child runs, so nothing depends on what Wine
// answers about a process that has ended (it is a high-water mark: the last sample is the peak).
#include <windows.h>
#include <psapi.h>

#include <cstdio>

int main()
{
    // Everything after our own name is the child's command line.
    LPSTR commandLine = ::GetCommandLineA();
    bool quoted = false;
    while (*commandLine && (quoted || (*commandLine != ' ' && *commandLine != '\t'))) {
        if (*commandLine == '"') quoted = !quoted;
        ++commandLine;
    }
    while (*commandLine == ' ' || *commandLine == '\t') ++commandLine;
    if (!*commandLine) {
        std::fprintf(stderr, "usage: peak_memory PROGRAM [ARGS...]\n");
        return 2;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        std::fprintf(stderr, "cannot start: %s (error %lu)\n", commandLine, ::GetLastError());
        return 2;
    }
    SIZE_T peak = 0;
    for (;;) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > peak)
            peak = counters.PeakWorkingSetSize;
        if (::WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    ::QueryPerformanceCounter(&end);

    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    const long long us = (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
    std::printf("elapsed_us=%lld peak_bytes=%llu exit=%lu\n", us, static_cast<unsigned long long>(peak), code);
    return 0;
}
