// The uninstaller application: one question (none with /S), the removal, the outcome. Everything
// happens inside the start hook; no window, no message loop.
#pragma once

#include "app.h"
#include "com.h"
#include "single_instance.h"

class CUninstallApp : public CWinApp {
public:
    BOOL InitInstance() override { return RunUninstall(); }

    // The whole dialogue; always FALSE, so the framework ends the process after it.
    BOOL RunUninstall();
    // The process exit code: the outcome as RemovalExitCode gives it.
    int ExitInstance() override { return exitCode_; }

private:
    int exitCode_ = 0;
    // All three last until the process ends: two removals at once would trip over each other's files,
    // and a setup running meanwhile would put back what is being removed (its lock is named after its
    // title). COM serves reading the shell links.
    SingleInstanceLock ownLock_;
    SingleInstanceLock setupLock_;
    ComScope com_;
};
