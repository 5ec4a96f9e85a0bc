#include "system_library.h"

#include "paths.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

bool g_systemOnlySearch = false;

// The DLLs the shell and COM load by name during a setup. Where the search cannot be narrowed, loading
// them from the system folder first means later loads by name find these copies already in memory.
const char* const kShellAndComLibraries[] = {
    "uxtheme.dll", "userenv.dll", "setupapi.dll", "apphelp.dll",  "propsys.dll",
    "dwmapi.dll",  "cryptbase.dll", "oleacc.dll", "clbcatq.dll", "version.dll",
};

}  // namespace

bool WindowsIsAtLeast(DWORD major, DWORD minor)
{
    OSVERSIONINFOEXA wanted;
    ::ZeroMemory(&wanted, sizeof(wanted));
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    ULONGLONG condition = 0;
    condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoA(&wanted, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

bool RestrictDllSearchToSystem()
{
    // Both calls are looked up at run time, so that systems without them still start; here rather than
    // in the tables of system_functions.h, which are built on this file.
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto setDllDirectory = GetSystemProc<decltype(&::SetDllDirectoryA)>(kernel, "SetDllDirectoryA");
    const auto setDefaultDllDirectories = GetSystemProc<decltype(&::SetDefaultDllDirectories)>(kernel, "SetDefaultDllDirectories");
    if (setDllDirectory) setDllDirectory("");  // "" takes the current folder out of the standard search

    // Vista with the update that brings SetDefaultDllDirectories cannot create the shell's link
    // object under a system-folder-only search, so it is used from Windows 7 on.
    if (setDefaultDllDirectories && WindowsIsAtLeast(6, 1) && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        g_systemOnlySearch = true;
        return true;
    }
    for (const char* library : kShellAndComLibraries) LoadSystemLibrary(library);
    return false;
}

CString SystemFilePath(LPCSTR fileName)
{
    const CString folder = SystemDirectory();
    if (folder.IsEmpty()) return CString();
    return folder + fileName;
}

HMODULE LoadSystemLibrary(LPCSTR fileName)
{
    const CString path = SystemFilePath(fileName);
    if (path.IsEmpty() || path.GetLength() >= MAX_PATH) return NULL;  // refused rather than cut
    // The DLL's own imports come from its folder too: through the altered search path where the
    // search could not be narrowed.
    return ::LoadLibraryExA(path, NULL, g_systemOnlySearch ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemAssembly(LPCSTR fileName)
{
    if (g_systemOnlySearch) return ::LoadLibraryExA(fileName, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadSystemLibrary(fileName);
}
