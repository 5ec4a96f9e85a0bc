// The setup application: one question, the installation, the outcome, then the publisher's site and
// the Display control panel. Everything happens inside the start hook; no window, no message loop.
#pragma once

#include "app.h"
#include "operations.h"

class CSetupApp : public CWinApp {
public:
    BOOL InitInstance() override { return RunSetup(); }

    // The whole dialogue; always FALSE, so the framework ends the process after it (with exit code 0,
    // whatever happened: the outcome is told in the box).
    BOOL RunSetup();
    // The installation: shortcuts, the uninstaller, the seven files in order (the first failure ends
    // it), activation. 1 on success, 0 on failure.
    int InstallAll();
};

// The installing half of each change, as the setup runs it.
extern const ProductOperations kSystemInstallOperations;

// InstallAll with the given operations.
int InstallAllWith(const ProductOperations& operations);
