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
    if (!GetSpecialFolderPath(folderId, folder)) return;

    CString linkPath;
    linkPath.Format("%s\\%s", static_cast<LPCSTR>(folder), static_cast<LPCSTR>(title + ".lnk"));

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
