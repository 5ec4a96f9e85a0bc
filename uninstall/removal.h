// Undoing what the setup did: the active screen saver, the installed files, the publisher's
// shortcuts, the saver's settings, the entry among the installed programs, and the uninstaller.
#pragma once

#include <windows.h>

enum RemovalOutcome {
    productRemoved,
    productRemovedAtRestart,  // files in use (a screen saver previewing) go at the next restart
    productNotRemoved,        // something could not be removed; it is still whole, and so is the uninstaller
};

// Removes the product for the current user and the machine. `self` is the running uninstaller's
// own file: when it is the installed one, it is moved out of the product's folder and deleted at
// the next restart, the one thing no program can do sooner to itself. COM must be initialised.
RemovalOutcome RemoveProduct(LPCSTR self);
