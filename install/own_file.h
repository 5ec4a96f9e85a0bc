// The uninstaller's own file. No program can delete its own file while it runs, and a deletion left
// for the next restart would make the machine look as if it needed one. So the running uninstaller
// frees its file's name by moving it aside into the Windows folder, and hands it to a copy of itself,
// started from there, which deletes it once the uninstaller has ended. The copy is opened so that the
// system deletes it when its last handle closes: the one handed to the copy, which ends with it.
// Both lie where only administrators can write, never in the user's temporary folder.
#pragma once

#include <windows.h>

#include "file_swap.h"

// Removes `path`, the running uninstaller's own file, as above; the name is free at once (removedNow).
// Where no copy can be started, the file goes at the next restart instead (removedAtRestart).
// failed when it cannot even be moved aside (`path` then stays as it was).
RemovalResult RemoveOwnFile(LPCSTR path, LPCSTR asideFolder);

// Whether `self`, the running program's file, is such a copy: a file named as those moved aside are,
// directly in the Windows folder.
bool IsCleanupCopy(LPCSTR self);

// The copy's whole work, from its command line: waits for the uninstaller it was handed to end, then
// deletes the file it names, when that is one moved aside into the Windows folder.
void RunCleanupCopy(LPCSTR commandLine);
