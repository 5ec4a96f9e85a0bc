#include "pinned_file.h"

#include "paths.h"

namespace {

bool ToWide(LPCSTR text, HeapBlock& wide)
{
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (needed <= 0) return false;
    wide.reset(needed * sizeof(WCHAR));
    return wide && ::MultiByteToWideChar(CP_ACP, 0, text, -1, static_cast<WCHAR*>(wide.get()), needed) == needed;
}

// As the file system compares names: letter by letter, case ignored.
bool SamePath(LPCSTR a, LPCSTR b)
{
    HeapBlock wideA(0), wideB(0);
    const BOOL ignoreCase = TRUE;
    return ToWide(a, wideA) && ToWide(b, wideB) &&
           ::CompareStringOrdinal(static_cast<WCHAR*>(wideA.get()), -1, static_cast<WCHAR*>(wideB.get()), -1, ignoreCase) ==
               CSTR_EQUAL;
}

bool StartsWith(LPCSTR text, LPCSTR prefix)
{
    const int length = ::lstrlenA(prefix);
    return ::lstrlenA(text) >= length && ::memcmp(text, prefix, length) == 0;
}

// The path the system reached through `handle`, every link followed, in the usual form (without the
// "\\?\" the system puts in front).
CString FinalPath(HANDLE handle)
{
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    // Asked with too little room, the system gives the room it needs (Wine without the terminator).
    DWORD size = MAX_PATH;
    for (int attempt = 0; attempt < 3; ++attempt) {
        HeapBlock buffer(size);
        if (!buffer) return CString();
        LPSTR path = static_cast<char*>(buffer.get());
        const DWORD length = ::GetFinalPathNameByHandleA(handle, path, size, flags);
        if (length == 0) return CString();
        if (length < size) {
            if (StartsWith(path, "\\\\?\\UNC\\")) return CString("\\\\") + (path + 8);
            if (StartsWith(path, "\\\\?\\")) return CString(path + 4);
            return CString(path);
        }
        size = length + 1;
    }
    return CString();
}

// A link in the place of what `handle` opened: a reparse point that stands for another name (a symbolic
// link, a junction). Other reparse points, such as a file kept in the cloud, are files like any other.
bool IsLink(HANDLE handle, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    return !::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)) || IsReparseTagNameSurrogate(tag.ReparseTag);
}

// Whether `handle` reached `expected` itself: a folder or a file as asked, no link in its place or on
// the way, and a file without a second name elsewhere.
bool Reached(HANDLE handle, LPCSTR expected, bool folder)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info) || IsLink(handle, info.dwFileAttributes)) return false;
    const bool isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder != folder || (!folder && info.nNumberOfLinks != 1)) return false;
    const CString reached = FinalPath(handle);
    return !reached.IsEmpty() && SamePath(WithTrailingBackslash(reached), WithTrailingBackslash(expected));
}

const DWORD kNoLinkFollowed = FILE_FLAG_OPEN_REPARSE_POINT;

}  // namespace

PinnedFile::OpenResult PinnedFile::OpenExisting(LPCSTR folder, LPCSTR name)
{
    const CString path = WithTrailingBackslash(folder) + name;
    file_.reset(::CreateFileA(path, GENERIC_READ | DELETE, FILE_SHARE_READ, NULL, OPEN_EXISTING, kNoLinkFollowed, NULL));
    if (!file_.valid()) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? pinnedAbsent : pinnedFailed;
    }
    if (Reached(file_.get(), path, false)) return pinnedOpen;
    file_.reset();
    return pinnedElsewhere;
}

PinnedFile::OpenResult PinnedFile::OpenForWriting(LPCSTR folder, LPCSTR name)
{
    // The folder is held while the file is opened: reading its entries, and sharing no right to delete,
    // keeps it from being renamed away meanwhile. So a link already there never gets a file made in its
    // target, and one swapped in later is found on the file's handle.
    const UniqueHandle held(::CreateFileA(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoLinkFollowed, NULL));
    if (!held.valid()) return pinnedFailed;
    if (!Reached(held.get(), folder, true)) return pinnedElsewhere;

    const CString path = WithTrailingBackslash(folder) + name;
    file_.reset(::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, kNoLinkFollowed, NULL));
    bool made = false;
    if (!file_.valid() && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        // Only a new name: a link of that name, even one leading nowhere, makes this fail.
        file_.reset(::CreateFileA(path, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, NULL, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | kNoLinkFollowed, NULL));
        made = file_.valid();
    }
    if (!file_.valid()) return pinnedFailed;
    if (Reached(file_.get(), path, false)) return pinnedOpen;
    if (made) Delete();
    file_.reset();
    return pinnedElsewhere;
}

BOOL PinnedFile::ReadAll(HeapArray<char>& bytes, DWORD limit) const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file_.get(), &size) || size.QuadPart > limit) return FALSE;
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    if (!bytes.resize(length)) return FALSE;
    DWORD read = 0;
    return (length == 0 || ::ReadFile(file_.get(), bytes.data(), length, &read, NULL)) && read == length;
}

BOOL PinnedFile::Replace(const void* data, DWORD size)
{
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!::SetFilePointerEx(file_.get(), start, NULL, FILE_BEGIN) || !::SetEndOfFile(file_.get())) return FALSE;
    DWORD written = 0;
    return (size == 0 || ::WriteFile(file_.get(), data, size, &written, NULL)) && written == size;
}

BOOL PinnedFile::Delete()
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof(disposition));
}

BOOL WritePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size)
{
    PinnedFile file;
    return file.OpenForWriting(folder, name) == PinnedFile::pinnedOpen && file.Replace(data, size);
}
