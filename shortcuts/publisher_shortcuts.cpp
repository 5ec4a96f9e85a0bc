#include "publisher_shortcuts.h"

#include <objbase.h>
#include <objidl.h>

#include "com_ids.h"
#include "handles.h"
#include "internet_shortcut.h"
#include "shell_link.h"

namespace {

const char kInternetShortcutSection[] = "InternetShortcut";
const char kUrlKey[] = "URL";

CString ShortcutPath(const PublisherShortcut& shortcut)
{
    CString folder;
    if (shortcut.kind == internetShortcut) {
        char favorites[MAX_PATH] = "";
        if (!::SHGetSpecialFolderPathA(NULL, favorites, shortcut.folderId, FALSE)) return CString();
        folder = favorites;
    } else if (!GetSpecialFolderPath(shortcut.folderId, folder)) {
        return CString();
    }
    return folder + "\\" + shortcut.title + (shortcut.kind == internetShortcut ? ".url" : ".lnk");
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

bool InternetShortcutOpens(LPCSTR path, LPCSTR target)
{
    char url[2048] = "";
    ::GetPrivateProfileStringA(kInternetShortcutSection, kUrlKey, "", url, sizeof(url), path);
    return SameText(url, target);
}

bool ShellLinkOpens(LPCSTR path, LPCSTR target)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(kClsidShellLink, NULL, CLSCTX_INPROC_SERVER, kIidShellLinkA, link.put_void())) ||
        FAILED(link->QueryInterface(kIidPersistFile, file.put_void())))
        return false;
    WCHAR widePath[MAX_PATH] = L"";
    if (!::MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) || FAILED(file->Load(widePath, STGM_READ)))
        return false;

    // A file-system target comes back as a path; an address as the display name of the target's item.
    char found[2048] = "";
    if (link->GetPath(found, sizeof(found), NULL, SLGP_RAWPATH) == S_OK && found[0])
        return SameAddress(found, target) || IsAddressKeptAsFileName(found, target);
    ShellIdList item;
    PWSTR name = NULL;
    if (FAILED(link->GetIDList(item.put())) || !item.get() ||
        FAILED(::SHGetNameFromIDList(item.get(), SIGDN_DESKTOPABSOLUTEPARSING, &name)) || !name)
        return false;
    char text[2048] = "";
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof(text), NULL, NULL);
    ::CoTaskMemFree(name);
    return SameAddress(text, target);
}

}  // namespace

void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    if (shortcut.kind == internetShortcut)
        CreateInternetShortcut(shortcut.title, target);
    else
        CreateShellLink(shortcut.folderId, shortcut.title, target);
}

ShortcutRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const CString path = ShortcutPath(shortcut);
    if (path.IsEmpty() || ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return shortcutAbsent;
    const bool ours = shortcut.kind == internetShortcut ? InternetShortcutOpens(path, target) : ShellLinkOpens(path, target);
    if (!ours) return shortcutChanged;
    return ::DeleteFileA(path) ? shortcutRemoved : shortcutNotRemoved;
}
