// The floor for the installation: writes the seven payloads below the Windows directory and the
// screen-saver entry in system.ini, with no version check, no shortcuts and no error recovery.
// With "--shortcuts" it first makes the four shortcuts too, with the same shell calls as the setup
// and nothing else: the floor for the setup's whole sequence, of which the shell links are most.
// Prints "install_us=<microseconds> result=<0|1>" for the work, timed inside the process.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "installed_files.h"
#include "paths.h"
#include "publisher_shortcuts.h"

namespace {

bool WritePayload(const CString& windowsDir, const ProductFile& payload)
{
    HRSRC found = ::FindResourceA(NULL, MAKEINTRESOURCEA(payload.resourceId), payload.resourceType);
    HGLOBAL loaded = found ? ::LoadResource(NULL, found) : NULL;
    const void* bytes = loaded ? ::LockResource(loaded) : NULL;
    if (!bytes) return false;
    const DWORD size = ::SizeofResource(NULL, found);

    const CString path = payload.assetName ? AssetFilePath(windowsDir, payload.assetName) : windowsDir + SAVER_FILE_NAME;
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes, size, &written, NULL) && written == size;
    return ::CloseHandle(file) && ok;
}

bool Install()
{
    const CString windowsDir = WindowsDirectory();
    if (windowsDir.IsEmpty()) return false;
    ::CreateDirectoryA(AssetFolderIn(windowsDir), NULL);
    for (const ProductFile& payload : kProductFiles)
        if (payload.role != FileRole::uninstaller && !WritePayload(windowsDir, payload)) return false;

    const CString saver = windowsDir + SAVER_FILE_NAME;
    char shortPath[MAX_PATH];
    const DWORD shortLength = ::GetShortPathNameA(saver, shortPath, MAX_PATH);
    if (shortLength == 0 || shortLength >= MAX_PATH) return false;
    return ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", shortPath, "system.ini") != FALSE;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool withShortcuts = argc > 1 && std::strcmp(argv[1], "--shortcuts") == 0;
    ::CoInitialize(NULL);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (withShortcuts)
        for (const PublisherShortcut& shortcut : kPublisherShortcuts) CreatePublisherShortcut(shortcut, PublisherSiteUrl);
    const bool ok = Install();
    ::QueryPerformanceCounter(&end);

    const long long us = (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
    std::printf("install_us=%lld result=%d\n", us, ok ? 1 : 0);
    return ok ? 0 : 1;
}
