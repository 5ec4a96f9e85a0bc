#include "own_file.h"

#include <stdlib.h>

#include "arguments.h"
#include "handles.h"
#include "heap.h"
#include "paths.h"

namespace {

const DWORD kDeleteAttempts = 100;
const DWORD kBetweenAttemptsMs = 100;  // the system lets go of an ended program's file within moments

// Whether `path` is a file moved aside directly into the Windows folder: "<Windows>\old????.tmp".
bool IsAsideInWindowsFolder(LPCSTR path)
{
    const CString windowsDir = WindowsDirectory();
    const int folderLength = windowsDir.GetLength();
    const int length = ::lstrlenA(path);
    const int prefixLength = ::lstrlenA(kAsidePrefix);
    const char extension[] = ".tmp";
    const int extensionLength = sizeof(extension) - 1;
    if (folderLength == 0 || length <= folderLength + prefixLength + extensionLength) return false;
    const CString folder(path, folderLength), name(path + folderLength);
    for (LPCSTR p = name; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') return false;
    return ::lstrcmpiA(folder, windowsDir) == 0 &&
           ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, prefixLength, kAsidePrefix, prefixLength) == CSTR_EQUAL &&
           ::lstrcmpiA(static_cast<LPCSTR>(name) + name.GetLength() - extensionLength, extension) == 0;
}

// Starts a copy of `ownAside` (the uninstaller moved aside) from the Windows folder, which deletes
// `ownAside` once this process has ended and is itself deleted when it ends. FALSE when it cannot be
// started; then no copy is left.
bool StartCleanupCopy(LPCSTR ownAside, LPCSTR windowsDir)
{
    const CString copy = CreateFileIn(windowsDir, kAsidePrefix);
    if (copy.IsEmpty()) return false;
    if (!::CopyFileA(ownAside, copy, FALSE)) {
        ::DeleteFileA(copy);
        return false;
    }
    // Handed to the copy: the system closes it when the copy ends, and the copy's file goes with it.
    SECURITY_ATTRIBUTES handedOn = {sizeof(handedOn), NULL, TRUE};
    const UniqueHandle goesOnClose(::CreateFileA(copy, DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_DELETE, &handedOn,
                                                 OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, NULL));
    if (!goesOnClose.valid()) {
        ::DeleteFileA(copy);
        return false;
    }
    HANDLE waitable = NULL;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &waitable, SYNCHRONIZE, TRUE, 0))
        return false;
    const UniqueHandle uninstaller(waitable);

    CString commandLine;
    commandLine.Format("\"%s\" %lu \"%s\"", static_cast<LPCSTR>(copy), static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(waitable)),
                       ownAside);
    STARTUPINFOA startup;
    ::ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started;
    HeapBlock writable(static_cast<SIZE_T>(commandLine.GetLength()) + 1);  // the call may change it
    if (!writable) return false;
    ::lstrcpyA(static_cast<char*>(writable.get()), commandLine);
    const BOOL inherit = TRUE;
    // It starts in the system folder, so that it holds no folder that is to be removed.
    if (!::CreateProcessA(copy, static_cast<char*>(writable.get()), NULL, NULL, inherit, 0, NULL, SystemDirectory(), &startup,
                          &started))
        return false;
    const UniqueHandle thread(started.hThread), process(started.hProcess);
    return true;
}

}  // namespace

bool SetOwnFileAside(LPCSTR path, LPCSTR windowsDir, CString& aside)
{
    aside = CString();
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    return MoveAside(path, windowsDir, aside);
}

RemovalResult LetGoOfOwnFile(LPCSTR aside, LPCSTR windowsDir, bool running)
{
    if (!*aside) return RemovalResult::removedNow;
    const bool gone = running ? StartCleanupCopy(aside, windowsDir) : ::DeleteFileA(aside) != FALSE;
    if (gone) return RemovalResult::removedNow;
    if (::MoveFileExA(aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return RemovalResult::removedAtRestart;
    return RemovalResult::failed;
}

void PutOwnFileBack(LPCSTR aside, LPCSTR path)
{
    if (!*aside) return;
    const CString folder = FolderOf(path);
    if (!folder.IsEmpty()) ::CreateDirectoryA(folder, NULL);
    ::MoveFileExA(aside, path, MOVEFILE_REPLACE_EXISTING);
}

bool IsCleanupCopy(LPCSTR self) { return IsAsideInWindowsFolder(self); }

void RunCleanupCopy(LPCSTR commandLine)
{
    HeapArray<CString> arguments;
    if (!SplitArguments(commandLine, arguments) || arguments.size() != 2 || !IsAsideInWindowsFolder(arguments[1])) return;
    const HANDLE uninstaller = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(::strtoul(arguments[0], NULL, 10)));
    ::WaitForSingleObject(uninstaller, INFINITE);
    for (DWORD attempt = 0; attempt < kDeleteAttempts; ++attempt) {
        if (::DeleteFileA(arguments[1]) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return;
        ::Sleep(kBetweenAttemptsMs);
    }
    ::MoveFileExA(arguments[1], NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
