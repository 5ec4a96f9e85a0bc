#include "pinned_file.h"

#include <string.h>

#include "paths.h"
#include "system_functions.h"
#include "system_text.h"

namespace {

bool StartsWith(LPCSTR text, LPCSTR prefix)
{
    const int length = ::lstrlenA(prefix);
    return ::lstrlenA(text) >= length && ::memcmp(text, prefix, length) == 0;
}

// The path the system reached through `handle`, every link followed, in the usual form (without the
// "\\?\" the system puts in front).
CString FinalPath(HANDLE handle)
{
    // Asked with too little room, the system gives the room it needs (Wine without the terminator).
    const CString found = SystemText([handle](LPSTR buffer, DWORD size) {
        const DWORD length = ::GetFinalPathNameByHandleA(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        return length < size ? length : length + 1;
    });
    const LPCSTR path = found;
    if (StartsWith(path, "\\\\?\\UNC\\")) return CString("\\\\") + (path + 8);
    if (StartsWith(path, "\\\\?\\")) return CString(path + 4);
    return found;
}

// Whether `handle`, opened without following a link in its own place, is such a link.
bool IsLink(HANDLE handle, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    const bool tagKnown = ::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)) != FALSE;
    return IsLinkEntry(attributes, tagKnown, tagKnown ? tag.ReparseTag : 0);
}

// Whether `handle` reached `expected` itself: a folder or a file as asked, no link in its place, and a
// file without a second name elsewhere.
bool Reached(HANDLE handle, LPCSTR expected, bool folder)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info) || IsLink(handle, info.dwFileAttributes)) return false;
    const bool isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder != folder || (!folder && info.nNumberOfLinks != 1)) return false;
    return SamePath(FinalPath(handle), expected);
}

const DWORD kNoLinkFollowed = FILE_FLAG_OPEN_REPARSE_POINT;

// Where `folder` really is: its parent as the file system reaches it (an 8.3 spelling, a subst or
// mapped drive, a profile behind a junction all come out as the one place they are) and its own long
// name. The folder itself is not followed: a link in its place is told by the handle that holds it.
bool RealFolderPath(LPCSTR folder, CString& real)
{
    CString full = FullPath(folder);
    if (full.IsEmpty()) return false;
    while (full.GetLength() > 3 && full[full.GetLength() - 1] == '\\') full = CString(full, full.GetLength() - 1);
    LPCSTR leaf = NULL;
    for (LPCSTR p = full; *p; p = ::CharNextA(p))
        if (*p == '\\') leaf = p + 1;
    if (!leaf || !*leaf) return false;  // a drive's root has no parent to reach it through

    WIN32_FIND_DATAA entry;
    const HANDLE search = ::FindFirstFileA(full, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    const CString parentPath(full, static_cast<int>(leaf - static_cast<LPCSTR>(full)));
    const UniqueHandle parent(::CreateFileA(parentPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL));
    const CString reached = parent.valid() ? FinalPath(parent.get()) : CString();
    if (reached.IsEmpty()) return false;
    real = WithTrailingBackslash(reached) + entry.cFileName;
    return true;
}

bool IsAbsent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// `folder`, held so that it cannot be renamed away while a file in it is opened (its entries are read
// and no right to delete it is shared), and checked: no link in its place, and it is where the system
// names it. `real` receives where that is.
PinnedFile::OpenResult HoldFolder(LPCSTR folder, UniqueHandle& held, CString& real)
{
    held.reset(::CreateFileA(folder, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoLinkFollowed, NULL));
    if (!held.valid()) return IsAbsent(::GetLastError()) ? PinnedFile::OpenResult::absent : PinnedFile::OpenResult::failed;
    if (!RealFolderPath(folder, real)) return PinnedFile::OpenResult::failed;
    return Reached(held.get(), real, true) ? PinnedFile::OpenResult::open : PinnedFile::OpenResult::elsewhere;
}

const NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034L);
const NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003AL);

// Opens `name` inside the held folder itself: the folder's handle, not its path, says where, so a link
// put in the folder's place meanwhile leads nowhere. A link in the file's own place is not followed.
// The system's error code; ERROR_FILE_NOT_FOUND when there is nothing of that name.
DWORD OpenInFolder(HANDLE folder, LPCSTR name, ACCESS_MASK access, ULONG disposition, UniqueHandle& file)
{
    const auto create = Ntdll().ntCreateFile;
    if (!create) return ERROR_CALL_NOT_IMPLEMENTED;
    // One name of the folder: nothing that leads out of it, nor into a stream of a file.
    if (!*name || ::lstrcmpA(name, ".") == 0 || ::lstrcmpA(name, "..") == 0) return ERROR_INVALID_NAME;
    for (LPCSTR p = name; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') return ERROR_INVALID_NAME;
    HeapBlock wide(0);
    if (!ToWide(name, wide)) return ERROR_INVALID_NAME;
    const int length = ::lstrlenW(static_cast<WCHAR*>(wide.get()));
    if (length > MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;

    UNICODE_STRING objectName;
    objectName.Length = objectName.MaximumLength = static_cast<USHORT>(length * sizeof(WCHAR));
    objectName.Buffer = static_cast<WCHAR*>(wide.get());
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, NULL);
    IO_STATUS_BLOCK io;
    HANDLE opened = NULL;
    const NTSTATUS status = create(&opened, access | SYNCHRONIZE, &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ,
                                   disposition, FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT,
                                   NULL, 0);
    if (status >= 0) {
        file.reset(opened);
        return ERROR_SUCCESS;
    }
    return status == kNameNotFound || status == kPathNotFound ? ERROR_FILE_NOT_FOUND : ERROR_OPEN_FAILED;
}

}  // namespace

bool IsLinkEntry(DWORD attributes, bool tagKnown, DWORD tag)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (!tagKnown || IsReparseTagNameSurrogate(tag));
}

PinnedFile::OpenResult PinnedFile::OpenExisting(LPCSTR folder, LPCSTR name)
{
    UniqueHandle held;
    CString real;
    const OpenResult folderResult = HoldFolder(folder, held, real);
    if (folderResult != OpenResult::open) return folderResult;
    const DWORD error = OpenInFolder(held.get(), name, GENERIC_READ | DELETE, FILE_OPEN, file_);
    if (error != ERROR_SUCCESS) return error == ERROR_FILE_NOT_FOUND ? OpenResult::absent : OpenResult::failed;
    if (Reached(file_.get(), WithTrailingBackslash(real) + name, false)) return OpenResult::open;
    file_.reset();
    return OpenResult::elsewhere;
}

PinnedFile::OpenResult PinnedFile::OpenForWriting(LPCSTR folder, LPCSTR name)
{
    UniqueHandle held;
    CString real;
    const OpenResult folderResult = HoldFolder(folder, held, real);
    if (folderResult == OpenResult::absent) return OpenResult::failed;  // the folder is not made here
    if (folderResult != OpenResult::open) return folderResult;

    DWORD error = OpenInFolder(held.get(), name, GENERIC_READ | GENERIC_WRITE, FILE_OPEN, file_);
    bool made = false;
    if (error == ERROR_FILE_NOT_FOUND) {
        // Only a new name: a link of that name, even one leading nowhere, makes this fail.
        error = OpenInFolder(held.get(), name, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_CREATE, file_);
        made = error == ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS) return OpenResult::failed;
    if (Reached(file_.get(), WithTrailingBackslash(real) + name, false)) return OpenResult::open;
    if (made) Delete();
    file_.reset();
    return OpenResult::elsewhere;
}

bool PinnedFile::ReadAll(HeapArray<char>& bytes, DWORD limit) const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file_.get(), &size) || size.QuadPart > limit) return false;
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    if (!bytes.resize(length)) return false;
    DWORD read = 0;
    return (length == 0 || ::ReadFile(file_.get(), bytes.data(), length, &read, NULL)) && read == length;
}

bool PinnedFile::Replace(const void* data, DWORD size)
{
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!::SetFilePointerEx(file_.get(), start, NULL, FILE_BEGIN) || !::SetEndOfFile(file_.get())) return false;
    DWORD written = 0;
    return (size == 0 || ::WriteFile(file_.get(), data, size, &written, NULL)) && written == size;
}

bool PinnedFile::Delete()
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

bool WritePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size)
{
    PinnedFile file;
    return file.OpenForWriting(folder, name) == PinnedFile::OpenResult::open && file.Replace(data, size);
}

PinnedRemoval RemovePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size)
{
    PinnedFile file;
    switch (file.OpenExisting(folder, name)) {
    case PinnedFile::OpenResult::open: break;
    case PinnedFile::OpenResult::absent: return PinnedRemoval::absent;
    case PinnedFile::OpenResult::elsewhere: return PinnedRemoval::changed;
    case PinnedFile::OpenResult::failed: return PinnedRemoval::notRemoved;
    }
    HeapArray<char> found;
    // Anything longer is someone else's, and is not read at all.
    if (!file.ReadAll(found, size) || found.size() != size || (size && ::memcmp(found.data(), data, size) != 0))
        return PinnedRemoval::changed;
    return file.Delete() ? PinnedRemoval::removed : PinnedRemoval::notRemoved;
}
