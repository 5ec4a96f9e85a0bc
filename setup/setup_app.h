// The setup application: one question, the installation, the outcome, then the publisher's site and
// the Display control panel. Everything happens inside the start hook; no window, no message loop.
#pragma once

#include "app.h"
#include "cstring.h"
#include "publisher_shortcuts.h"
#include "registration.h"

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

// The operations the installation is made of: the system's in the setup, stand-ins in a test that
// watches their order.
struct InstallOperations {
    void (*createShortcut)(const PublisherShortcut& shortcut, LPCSTR target);
    int (*installFile)(LPCSTR path, LPCSTR name, LPCSTR type);
    BOOL (*registerUninstaller)(const UninstallEntry& entry);
    BOOL (*recordPreviousScreenSaver)(LPCSTR ourSaver);
    int (*activateScreenSaver)(LPCSTR longPath);
};

extern const InstallOperations kSystemInstallOperations;

// InstallAll with the given operations.
int InstallAllWith(const InstallOperations& operations);
