#include "internet_shortcut.h"

#include <shlobj.h>

namespace {

// The user's Favorites folder, not made when missing; false when there is none.
bool GetFavoritesFolder(CString& folder)
{
    char favorites[MAX_PATH] = "";
    const BOOL dontCreate = FALSE;
    if (!::SHGetSpecialFolderPathA(NULL, favorites, CSIDL_FAVORITES, dontCreate)) return false;
    folder = favorites;
    return true;
}

// The whole text of the shortcut for `url`: four lines, each ended by CR LF.
CString InternetShortcutText(LPCSTR url)
{
    return CString("[DEFAULT]\r\nBASEURL=") + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n";
}

}  // namespace

void CreateInternetShortcut(CString title, CString url)
{
    CString favorites;
    if (!GetFavoritesFolder(favorites)) return;
    const CString text = InternetShortcutText(url);
    WritePinnedFile(favorites, title + kInternetShortcutExtension, text, static_cast<DWORD>(text.GetLength()));
}

PinnedRemoval RemoveInternetShortcut(LPCSTR title, LPCSTR url)
{
    CString favorites;
    if (!GetFavoritesFolder(favorites)) return PinnedRemoval::absent;
    const CString text = InternetShortcutText(url);
    return RemovePinnedFile(favorites, CString(title) + kInternetShortcutExtension, text, static_cast<DWORD>(text.GetLength()));
}
