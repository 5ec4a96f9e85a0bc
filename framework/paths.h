// Folders as the system names them, and names joined to them with exactly one backslash.
#pragma once

#include <windows.h>

#include "cstring.h"

// `folder` with exactly one backslash at its end ("C:\windows" and "C:\" alike).
CString WithTrailingBackslash(LPCSTR folder);

// The Windows directory, with a backslash at its end; empty when the system cannot give it.
CString WindowsDirectory();

// The system directory (for a 32-bit program on 64-bit Windows the one the system gives it), with a
// backslash at its end; empty when the system cannot give it.
CString SystemDirectory();
