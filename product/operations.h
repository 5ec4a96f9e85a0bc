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
    // a folder of a file's name is nothing to remove. The running uninstaller's own file has its own
    // way (RemoveOwnFile).
    int (*installFile)(LPCSTR path, LPCSTR name, LPCSTR type);
    RemovalResult (*removeFile)(LPCSTR path, LPCSTR asideFolder);
    RemovalResult (*removeOwnFile)(LPCSTR path, LPCSTR asideFolder);
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
