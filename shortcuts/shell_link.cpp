#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "com_ids.h"
#include "handles.h"

namespace {

// The whole of `text` in UTF-16 in `wide`, or FALSE when the code page cannot convert all of it.
BOOL ToWide(const CString& text, HeapBlock& wide)
{
    const int withTerminator = -1;
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text, withTerminator, NULL, 0);
    if (needed <= 0) return FALSE;
    wide.reset(needed * sizeof(WCHAR));
    return wide && ::MultiByteToWideChar(CP_ACP, 0, text, withTerminator, static_cast<WCHAR*>(wide.get()), needed) == needed;
}

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

CString ShellLinkPath(int folderId, const CString& title)
{
    CString folder;
    if (!GetSpecialFolderPath(folderId, folder)) return CString();
    return folder + "\\" + title + ".lnk";
}

void CreateShellLink(int folderId, CString title, CString target)
{
    const CString linkPath = ShellLinkPath(folderId, title);
    if (linkPath.IsEmpty()) return;

    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(kClsidShellLink, NULL, CLSCTX_INPROC_SERVER, kIidShellLinkA, link.put_void()))) return;

    // A target the link object rejects still gets a link; the save decides.
    link->SetPath(target);

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(kIidPersistFile, file.put_void())) || !file) return;

    // A half-converted path would name some other file: save only the whole one. A path longer
    // than the system accepts simply makes the save fail.
    HeapBlock widePath(0);
    if (!ToWide(linkPath, widePath)) return;
    const BOOL rememberAsCurrentFile = TRUE;
    file->Save(static_cast<WCHAR*>(widePath.get()), rememberAsCurrentFile);
}

BOOL ShellLinkOpens(LPCSTR path, LPCSTR target)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(kClsidShellLink, NULL, CLSCTX_INPROC_SERVER, kIidShellLinkA, link.put_void())) ||
        FAILED(link->QueryInterface(kIidPersistFile, file.put_void())))
        return FALSE;
    HeapBlock widePath(0);
    if (!ToWide(path, widePath) || FAILED(file->Load(static_cast<WCHAR*>(widePath.get()), STGM_READ))) return FALSE;

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
