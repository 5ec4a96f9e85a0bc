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

}  // namespace

BOOL ShellLinkBytes(LPCSTR target, HeapArray<char>& bytes)
{
    // Some shells (Wine's) keep an address given to a link as a file name below the current folder.
    // Made from the system folder, the bytes are the same whoever makes them, whatever folder the
    // program was started from.
    const CString systemFolder = SystemDirectory();
    const CurrentFolderScope current(systemFolder);
    if (systemFolder.IsEmpty() || !current.changed()) return FALSE;

    ComPtr<IShellLinkA> link;
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (!MakeLinkObject(link, persist) || !MakeMemoryStream(stream)) return FALSE;
    // A target the link object rejects still gets a link; the save decides.
    link->SetPath(target);
    const BOOL clearDirty = TRUE;
    STATSTG saved;
    if (FAILED(persist->Save(stream.get(), clearDirty)) || FAILED(stream->Stat(&saved, STATFLAG_NONAME)) ||
        saved.cbSize.QuadPart > MAXDWORD || !bytes.resize(static_cast<size_t>(saved.cbSize.QuadPart)))
        return FALSE;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, NULL)) &&
           SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) && read == bytes.size();
}

BOOL GetSpecialFolderPath(int folderId, CString& path)
{
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.put())) || !allocator) return FALSE;
    allocator.reset();

    ShellIdList folder;
    if (::SHGetSpecialFolderLocation(NULL, folderId, folder.put()) != S_OK || !folder.get()) return FALSE;

    char buffer[MAX_PATH] = "";
    if (!::SHGetPathFromIDListA(folder.get(), buffer) || buffer[0] == '\0') return FALSE;
    path = buffer;
    return TRUE;
}

void CreateShellLink(int folderId, CString title, CString target)
{
    CString folder;
    HeapArray<char> bytes;
    if (!GetSpecialFolderPath(folderId, folder) || !ShellLinkBytes(target, bytes)) return;
    WritePinnedFile(folder, title + kShellLinkExtension, bytes.data(), static_cast<DWORD>(bytes.size()));
}
