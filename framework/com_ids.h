// The COM class and interface ids the programs use, defined here instead of taken from the system's
// GUID library, which would bring every id Windows has along with the few needed.
#pragma once

#include <windows.h>

extern const CLSID kClsidShellLink;   // the shell's link object
extern const IID kIidShellLinkA;      // IShellLinkA
extern const IID kIidPersistFile;     // IPersistFile
