// The uninstaller application: one question (none with /S), the removal, the outcome. Everything
// happens inside the start hook; no window, no message loop.
#pragma once

#include "app.h"

class CUninstallApp : public CWinApp {
public:
    BOOL InitInstance() override { return RunUninstall(); }

    // The whole dialogue; always FALSE, so the framework ends the process after it.
    BOOL RunUninstall();
    // The process exit code: the outcome as RemovalExitCode gives it.
    int ExitInstance() override { return exitCode_; }

private:
    int exitCode_ = 0;
};
