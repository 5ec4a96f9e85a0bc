#include "internet_shortcut.h"

#include <shlobj.h>

#include "pinned_file.h"

BOOL GetFavoritesFolder(CString& folder)
{
    char favorites[MAX_PATH] = "";
    const BOOL dontCreate = FALSE;
    if (!::SHGetSpecialFolderPathA(NULL, favorites, CSIDL_FAVORITES, dontCreate)) return FALSE;
    folder = favorites;
    return TRUE;
}

CString InternetShortcutText(LPCSTR url)
{
    return CString("[DEFAULT]\r\nBASEURL=") + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n";
}

void CreateInternetShortcut(CString title, CString url)
{
    CString favorites;
    if (!GetFavoritesFolder(favorites)) return;
    const CString text = InternetShortcutText(url);
    WritePinnedFile(favorites, title + kInternetShortcutExtension, text, static_cast<DWORD>(text.GetLength()));
}
