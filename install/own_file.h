// The uninstaller's own file. No program can delete its own file while it runs, and a deletion left
// for the next restart would make the machine look as if it needed one. So the running uninstaller
// frees its file's name by moving it aside into the Windows folder, and hands it to a copy of itself,
// started from there, which deletes it once the uninstaller has ended. The copy is opened so that the
// system deletes it when its last handle closes: the one handed to the copy, which ends with it.
// Both lie where only administrators can write, never in the user's temporary folder.
#pragma once

#include <windows.h>

#include "file_swap.h"

// Frees the name `path` by moving its file aside into `windowsDir` (on the same volume), which works
// even while it runs: `aside` then names it. Nothing there, or a folder of that name, is nothing to set
// aside (`aside` empty, true). false, and nothing changed, when the file cannot be moved.
bool SetOwnFileAside(LPCSTR path, LPCSTR windowsDir, CString& aside);

// Lets go of a file set aside: when it is the running program's own, through a copy as above
// (removedNow, the name being free already); any other file at once. Where that cannot be, it goes at
// the next restart (removedAtRestart); failed when not even that can be, and it is still aside.
RemovalResult LetGoOfOwnFile(LPCSTR aside, LPCSTR windowsDir, bool running);

// Puts a file set aside back under its name `path`, its folder made again if it went meanwhile.
void PutOwnFileBack(LPCSTR aside, LPCSTR path);

// Whether `self`, the running program's file, is such a copy: a file named as those moved aside are,
// directly in the Windows folder.
bool IsCleanupCopy(LPCSTR self);

// The copy's whole work, from its command line: waits for the uninstaller it was handed to end, then
// deletes the file it names, when that is one moved aside into the Windows folder.
void RunCleanupCopy(LPCSTR commandLine);
