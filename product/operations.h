// What Marigold changes on a machine, each change with the operation that makes it and the one that
// takes it away: the seam between the setup's installation and the uninstaller's removal and what they
// act on. Each program fills the half it runs with the system's operations (the setup's
// installation, the uninstaller's removal); the tests stand in for all of it and watch the order.
#pragma once

#include <windows.h>

#include "file_swap.h"
#include "installed_files.h"
#include "publisher_shortcuts.h"

struct ProductOperations {
    // The files of kProductFiles, and the asset folder. Installing gives InstallResourceFile's result;
    // a folder of a file's name is nothing to remove. The uninstaller's file, which may be the one
    // running, is set aside so that its folder can go, and let go of only once the entry is gone: put
    // back instead, the entry's way to remove the product stays whole (SetOwnFileAside).
    int (*installFile)(LPCSTR path, LPCSTR name, LPCSTR type);
    RemovalResult (*removeFile)(LPCSTR path, LPCSTR asideFolder);
    bool (*setUninstallerAside)(LPCSTR path, LPCSTR windowsDir, CString& aside);
    RemovalResult (*letGoOfUninstaller)(LPCSTR aside, LPCSTR windowsDir, bool running);
    void (*putUninstallerBack)(LPCSTR aside, LPCSTR path);
    RemovalResult (*removeFolder)(LPCSTR folder);

    // The entry among the installed programs.
    bool (*registerProduct)(const ProductPaths& paths);
    bool (*unregisterProduct)();

    // The active screen saver, and the record of the one chosen before.
    bool (*recordPreviousScreenSaver)(LPCSTR ourSaver);
    int (*activateScreenSaver)(LPCSTR longPath);
    bool (*restorePreviousScreenSaver)(LPCSTR ourSaver);

    // The publisher's shortcuts.
    void (*createShortcut)(const PublisherShortcut& shortcut, LPCSTR target);
    PinnedRemoval (*removeShortcut)(const PublisherShortcut& shortcut, LPCSTR target);

    // The screen saver's settings, which only the screen saver makes.
    void (*removeSettings)();
};
