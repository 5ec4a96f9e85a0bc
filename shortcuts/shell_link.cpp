#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "com_ids.h"
#include "com.h"
#include "heap.h"
#include "paths.h"
#include "pinned_file.h"

namespace {

bool MakeLinkObject(ComPtr<IShellLinkA>& link, ComPtr<IPersistStream>& persist)
{
    return SUCCEEDED(::CoCreateInstance(kClsidShellLink, NULL, CLSCTX_INPROC_SERVER, kIidShellLinkA, link.put_void())) &&
           SUCCEEDED(link->QueryInterface(kIidPersistStream, persist.put_void())) && persist;
}

// A stream in memory that grows as it is written and frees its memory when released.
bool MakeMemoryStream(ComPtr<IStream>& stream)
{
    const BOOL freeOnRelease = TRUE;
    return SUCCEEDED(::CreateStreamOnHGlobal(NULL, freeOnRelease, stream.put())) && stream;
}

// The process's current folder for the life of a scope, then the one before it again.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(LPCSTR folder)
    {
        const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, before_);
        if (length == 0 || length >= MAX_PATH) before_[0] = '\0';
        changed_ = before_[0] && ::SetCurrentDirectoryA(folder);
    }
    ~CurrentFolderScope() { if (changed_) ::SetCurrentDirectoryA(before_); }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

    bool changed() const { return changed_; }

private:
    char before_[MAX_PATH];
    bool changed_;
};

// The bytes of the link this program writes for `target`, as the link object saves them. Some shells
// (Wine's) keep an address given to a link as a file name below the current folder: made from the
// system folder, the bytes are the same whoever makes them, whatever folder the program was started
// from, so that the uninstaller can tell the setup's links by them.
bool ShellLinkBytes(LPCSTR target, HeapArray<char>& bytes)
{
    const CString systemFolder = SystemDirectory();
    const CurrentFolderScope current(systemFolder);
    if (systemFolder.IsEmpty() || !current.changed()) return false;

    ComPtr<IShellLinkA> link;
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (!MakeLinkObject(link, persist) || !MakeMemoryStream(stream)) return false;
    // A target the link object rejects still gets a link; the save decides.
    link->SetPath(target);
    const BOOL clearDirty = TRUE;
    STATSTG saved;
    if (FAILED(persist->Save(stream.get(), clearDirty)) || FAILED(stream->Stat(&saved, STATFLAG_NONAME)) ||
        saved.cbSize.QuadPart > MAXDWORD || !bytes.resize(static_cast<size_t>(saved.cbSize.QuadPart)))
        return false;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, NULL)) &&
           SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) && read == bytes.size();
}

// The file-system folder behind a shell special folder, as the links are placed there. false when the
// folder is unknown, has no file-system path (virtual folders), or the shell's allocator is
// unavailable (the item-ID list could not be given back, so it is not asked for).
bool GetSpecialFolderPath(int folderId, CString& path)
{
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.put())) || !allocator) return false;
    allocator.reset();

    ShellIdList folder;
    if (::SHGetSpecialFolderLocation(NULL, folderId, folder.put()) != S_OK || !folder.get()) return false;

    char buffer[MAX_PATH] = "";
    if (!::SHGetPathFromIDListA(folder.get(), buffer) || buffer[0] == '\0') return false;
    path = buffer;
    return true;
}

}  // namespace

void CreateShellLink(int folderId, CString title, CString target)
{
    CString folder;
    HeapArray<char> bytes;
    if (!GetSpecialFolderPath(folderId, folder) || !ShellLinkBytes(target, bytes)) return;
    WritePinnedFile(folder, title + kShellLinkExtension, bytes.data(), static_cast<DWORD>(bytes.size()));
}

PinnedRemoval RemoveShellLink(int folderId, LPCSTR title, LPCSTR target)
{
    CString folder;
    if (!GetSpecialFolderPath(folderId, folder)) return PinnedRemoval::absent;
    HeapArray<char> bytes;
    if (!ShellLinkBytes(target, bytes)) return PinnedRemoval::notRemoved;
    return RemovePinnedFile(folder, CString(title) + kShellLinkExtension, bytes.data(), static_cast<DWORD>(bytes.size()));
}
