// Undoing what the setup did: the active screen saver, the installed files, the publisher's
// shortcuts, the saver's settings, the uninstaller, and last the entry among the installed programs.
#pragma once

#include <windows.h>

#include "operations.h"

enum class RemovalOutcome {
    removed,
    removedAtRestart,  // files in use (a screen saver previewing) go at the next restart
    notRemoved,        // something of the machine's could not be removed; the entry and the uninstaller stay
    declined,          // the user said no, or no one could be asked
    besideAnother,     // another removal or a setup runs: nothing was done
    notUnderstood,     // an argument other than /S: nothing was done
};

// The removing half of each change, as the uninstaller runs it.
extern const ProductOperations kSystemRemovalOperations;

// Removes the product for the current user and the machine. What is the machine's (the screen saver,
// its files, the uninstaller, their folder) decides the outcome: anything left keeps the entry and the
// uninstaller for another try; so does a screen saver chosen before that cannot be put back, before
// anything is removed. What is the user's (the shortcuts, the settings) goes where it can and never
// holds the removal back. `self` is the running uninstaller's own file: when it is the installed one,
// it is moved out of the product's folder and, once the entry is gone, deleted as soon as the
// uninstaller has ended (SetOwnFileAside), nothing the user needs to know about. COM must be initialised.
RemovalOutcome RemoveProduct(LPCSTR self);

// RemoveProduct with the given operations.
RemovalOutcome RemoveProductWith(const ProductOperations& operations, LPCSTR self);

// The uninstaller's exit code for `outcome`, in the Windows Installer's terms, which package managers
// read: 0 removed, 3010 removed once the computer restarts, 1603 failed, 1602 declined, 1618 another
// installation running, 1639 a command line not understood.
int RemovalExitCode(RemovalOutcome outcome);
