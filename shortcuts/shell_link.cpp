#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "com_ids.h"
#include "com.h"
#include "heap.h"
#include "pinned_file.h"

namespace {

bool SameText(LPCSTR a, LPCSTR b) { return ::lstrcmpiA(a, b) == 0; }

// An address as the shell may hand it back: the same letters, perhaps with a slash at its end.
bool SameAddress(CString found, LPCSTR target)
{
    CString wanted(target);
    if (found.GetLength() == wanted.GetLength() + 1 && found[found.GetLength() - 1] == '/') wanted += '/';
    return SameText(found, wanted);
}

// Some shells (Wine's) keep an address given to a link as a file name below the folder the link was
// made from: "https://host" comes back as "<folder>\https:\host". The folder is not known here, so
// only the address's own part is compared.
bool IsAddressKeptAsFileName(const CString& found, LPCSTR target)
{
    CString asFileName("\\");
    char previous = '\0';
    for (LPCSTR p = target; *p; ++p) {
        const char c = *p == '/' ? '\\' : *p;
        if (!(c == '\\' && previous == '\\')) asFileName += c;
        previous = c;
    }
    const int start = found.GetLength() - asFileName.GetLength();
    return start >= 0 && SameText(static_cast<LPCSTR>(found) + start, asFileName);
}

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

// What the link object saves for a link to `target`: the bytes it would write into a file of its own.
bool SaveShellLink(LPCSTR target, HeapArray<char>& bytes)
{
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

}  // namespace

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
    if (!GetSpecialFolderPath(folderId, folder) || !SaveShellLink(target, bytes)) return;
    WritePinnedFile(folder, title + kShellLinkExtension, bytes.data(), static_cast<DWORD>(bytes.size()));
}

BOOL ShellLinkOpens(const char* bytes, DWORD size, LPCSTR target)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    ULONG written = 0;
    if (!MakeLinkObject(link, persist) || !MakeMemoryStream(stream) || FAILED(stream->Write(bytes, size, &written)) ||
        written != size || FAILED(stream->Seek(start, STREAM_SEEK_SET, NULL)) || FAILED(persist->Load(stream.get())))
        return FALSE;

    // A file-system target comes back as a path; an address as the display name of the target's item.
    char found[2048] = "";
    if (link->GetPath(found, sizeof(found), NULL, SLGP_RAWPATH) == S_OK && found[0])
        return SameAddress(found, target) || IsAddressKeptAsFileName(found, target) ? TRUE : FALSE;
    ShellIdList item;
    PWSTR name = NULL;
    if (FAILED(link->GetIDList(item.put())) || !item.get() ||
        FAILED(::SHGetNameFromIDList(item.get(), SIGDN_DESKTOPABSOLUTEPARSING, &name)) || !name)
        return FALSE;
    char text[2048] = "";
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof(text), NULL, NULL);
    ::CoTaskMemFree(name);
    return SameAddress(text, target) ? TRUE : FALSE;
}
