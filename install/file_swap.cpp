#include "file_swap.h"

const char kNewCopyPrefix[] = "scs";
const char kAsidePrefix[] = "old";

namespace {

const DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

// A read-only file must stay: Windows refuses to replace one, but it lets one be renamed (and Wine
// even replaces it), so the aside route below would get round the attribute. Folders are not ours.
bool IsReplaceableFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace

bool MoveAside(LPCSTR path, LPCSTR folder, CString& aside, MoveFileCall move)
{
    aside = folder ? CreateFileIn(folder, kAsidePrefix) : CreateFileBeside(path, kAsidePrefix);
    if (aside.IsEmpty()) return false;
    if (move(path, aside, kReplace)) return true;
    ::DeleteFileA(aside);
    return false;
}

CString CreateFileIn(LPCSTR folder, LPCSTR prefix)
{
    char created[MAX_PATH] = "";
    const UINT systemPicksTheNumber = 0;  // and creates the empty file, so the name stays ours
    if (!::GetTempFileNameA(folder, prefix, systemPicksTheNumber, created)) return CString();
    return CString(created);
}

CString FolderOf(LPCSTR path)
{
    // Walked character by character: in a double-byte code page the second byte of a character can
    // look like a backslash.
    LPCSTR nameStart = path;
    for (LPCSTR p = path; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') nameStart = p + 1;
    return CString(path, static_cast<int>(nameStart - path));
}

CString CreateFileBeside(LPCSTR path, LPCSTR prefix)
{
    const CString folder = FolderOf(path);
    return CreateFileIn(folder.IsEmpty() ? "." : static_cast<LPCSTR>(folder), prefix);
}

bool MoveIntoPlace(LPCSTR newCopy, LPCSTR target, MoveFileCall move)
{
    const DWORD attributes = ::GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && !IsReplaceableFile(attributes)) return false;
    if (move(newCopy, target, kReplace)) return true;
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;

    // A running program cannot be replaced, but it can be renamed.
    CString aside;
    if (!MoveAside(target, NULL, aside, move)) return false;
    if (!move(newCopy, target, kReplace)) {
        move(aside, target, kReplace);
        return false;
    }
    // The old copy may still run; then it goes at the next restart. Should even that be refused,
    // it stays under its aside name: the new copy is in place either way.
    if (!::DeleteFileA(aside)) move(aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}

RemovalResult RemoveNowOrAtRestart(LPCSTR path, LPCSTR asideFolder, MoveFileCall move)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (!IsReplaceableFile(attributes)) return RemovalResult::failed;
    if (::DeleteFileA(path)) return RemovalResult::removedNow;

    CString aside;
    if (!MoveAside(path, asideFolder, aside, move)) return RemovalResult::failed;
    if (::DeleteFileA(aside)) return RemovalResult::removedNow;  // it stopped running meanwhile
    if (move(aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return RemovalResult::removedAtRestart;
    move(aside, path, kReplace);  // nothing lost: back under its own name
    return RemovalResult::failed;
}

RemovalResult RemoveFileIfThere(LPCSTR path, LPCSTR asideFolder)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return RemovalResult::removedNow;
    return RemoveNowOrAtRestart(path, asideFolder);
}

RemovalResult RemoveFolderNowOrAtRestart(LPCSTR folder)
{
    if (::RemoveDirectoryA(folder) || ::GetLastError() == ERROR_DIR_NOT_EMPTY) return RemovalResult::removedNow;
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return RemovalResult::removedNow;
    return ::MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? RemovalResult::removedAtRestart : RemovalResult::failed;
}
