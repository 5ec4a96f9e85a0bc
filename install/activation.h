// Makes an installed screen-saver file the user's active screen saver.
#pragma once

#include <windows.h>

#include "cstring.h"

// Where Windows keeps the active screen saver: "SCRNSAVE.EXE" in the "boot" section of "system.ini"
// (the system maps it to the user's profile).
extern const char kScreenSaverSection[];
extern const char kScreenSaverKey[];
extern const char kScreenSaverIni[];

// Writes the short (8.3) form of `longPath` as "SCRNSAVE.EXE" in the "boot" section of "system.ini",
// then switches screen saving on and stores that in the user profile; both with the user's own rights
// (UserRightsScope), and not at all when those cannot be had. Each step runs only after the one
// before succeeded, and nothing done is undone. Returns 1 when all steps succeeded, 0 otherwise.
int ActivateScreenSaver(LPCSTR longPath);

// The system call that gives a short path; a parameter only so that tests can stand in for it.
typedef DWORD(WINAPI* ShortPathQuery)(LPCSTR longPath, LPSTR shortPath, DWORD bufferSize);

// The complete short path of an existing file, however long; false (and `shortPath` untouched) when
// the system cannot give it.
bool GetShortPath(LPCSTR longPath, CString& shortPath, ShortPathQuery query = ::GetShortPathNameA);
