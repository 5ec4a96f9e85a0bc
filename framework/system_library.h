// Where the process takes its DLLs from. A setup usually starts from a download folder where anyone
// may have dropped a DLL, and the program's own folder comes first in the standard search; so the
// search is narrowed to the system folder before anything else runs, and the DLLs that are not
// part of the system's protected set are loaded by their full system path rather than imported.
#pragma once

#include <windows.h>

#include "cstring.h"

// Narrows the DLL search of this process to the system folder, as the first thing the program does.
// Returns true when the system-folder-only search is in force; false on systems that lack it (or
// where it is known to break the shell), where the current folder is dropped from the search and the
// DLLs the shell and COM load by name are taken from the system folder ahead of time instead.
bool RestrictDllSearchToSystem();

// Whether Windows is version major.minor or later (6.1 is Windows 7, 6.2 Windows 8), for what a
// system has without a function to look for.
bool WindowsIsAtLeast(DWORD major, DWORD minor);

// The full path of a file in the system folder; empty when the folder cannot be had.
CString SystemFilePath(LPCSTR fileName);

// A DLL from the system folder, by its full path: never one found beside the program or in the
// current folder. NULL when it cannot be loaded. The handle stays loaded for the life of the process.
HMODULE LoadSystemLibrary(LPCSTR fileName);

// A system DLL that an application manifest may redirect to a side-by-side version (the common
// controls). By name while the system-folder-only search is in force, so that the redirection
// applies; otherwise by its full system path.
HMODULE LoadSystemAssembly(LPCSTR fileName);

// An exported function as the type it is called through; NULL when the module or the name is missing.
template <class Proc>
Proc GetSystemProc(HMODULE module, LPCSTR name)
{
    if (!module) return NULL;
    // Function pointers pass through FARPROC unchanged; the intermediate cast keeps compilers quiet.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
