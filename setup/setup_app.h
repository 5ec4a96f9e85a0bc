// The setup application: one question, the installation, the outcome, then the publisher's site and
// the Display control panel. Everything happens inside the start hook; no window, no message loop.
#pragma once

#include "app.h"
#include "cstring.h"

class CSetupApp : public CWinApp {
public:
    BOOL InitInstance() override { return RunSetup(); }

    // The whole dialogue; always FALSE, so the framework ends the process after it.
    BOOL RunSetup();
    // The installation: shortcuts, the seven files in order, activation. 1 on success, 0 on failure.
    int InstallAll();
};

// `windowsDir` with exactly one backslash at its end ("C:\windows" and "C:\" alike).
CString WithTrailingBackslash(LPCSTR folder);
