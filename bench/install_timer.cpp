// Times the setup's own installation sequence, CSetupApp::InstallAll, inside the process: no dialogue,
// no process start. Prints "install_us=<microseconds> result=<0|1>".
// With "--shortcuts-only" it times just the four shortcuts, made the same way, in a fresh process:
// the part of the sequence that the floor program does not do.
#include <windows.h>
#include <objbase.h>

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "product.h"
#include "publisher_shortcuts.h"
#include "setup_app.h"

// The dialogue is not measured here; only the installation sequence is.
BOOL CSetupApp::RunSetup() { return FALSE; }

namespace {
int ShortcutsOnly()
{
    for (const PublisherShortcut& shortcut : kPublisherShortcuts) CreatePublisherShortcut(shortcut, PublisherSiteUrl);
    return 1;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool shortcutsOnly = argc > 1 && std::strcmp(argv[1], "--shortcuts-only") == 0;
    CSetupApp app;
    app.m_hInstance = ::GetModuleHandleA(NULL);
    ::CoInitialize(NULL);

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const int result = shortcutsOnly ? ShortcutsOnly() : app.InstallAll();
    ::QueryPerformanceCounter(&end);

    const long long us = (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
    std::printf("install_us=%lld result=%d\n", us, result);
    ::CoUninitialize();
    return result ? 0 : 1;
}
