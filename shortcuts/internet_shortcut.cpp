#include "internet_shortcut.h"

#include <shlobj.h>

#include "pinned_file.h"

namespace {

bool SameText(LPCSTR a, LPCSTR b) { return ::lstrcmpiA(a, b) == 0; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// `length` characters from `text`, without the blanks around them.
CString Trimmed(const char* text, DWORD length)
{
    while (length && IsBlank(*text)) {
        ++text;
        --length;
    }
    while (length && IsBlank(text[length - 1])) --length;
    return CString(text, static_cast<int>(length));
}

}  // namespace

BOOL GetFavoritesFolder(CString& folder)
{
    char favorites[MAX_PATH] = "";
    const BOOL dontCreate = FALSE;
    if (!::SHGetSpecialFolderPathA(NULL, favorites, CSIDL_FAVORITES, dontCreate)) return FALSE;
    folder = favorites;
    return TRUE;
}

BOOL InternetShortcutOpens(const char* text, DWORD size, LPCSTR url)
{
    // The text as the profile functions read it: sections and keys in any case, blanks around them ignored.
    bool inShortcut = false;
    for (DWORD start = 0; start < size;) {
        DWORD end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
        const CString line = Trimmed(text + start, end - start);
        start = end + 1;
        if (line.IsEmpty()) continue;
        if (line[0] == '[') {
            inShortcut = SameText(line, "[InternetShortcut]");
            continue;
        }
        int equals = 0;
        while (equals < line.GetLength() && line[equals] != '=') ++equals;
        if (inShortcut && equals < line.GetLength() && SameText(Trimmed(line, equals), "URL")) {
            LPCSTR value = static_cast<LPCSTR>(line) + equals + 1;
            return SameText(Trimmed(value, ::lstrlenA(value)), url);
        }
    }
    return FALSE;
}

void CreateInternetShortcut(CString title, CString url)
{
    CString favorites;
    if (!GetFavoritesFolder(favorites)) return;
    const CString text = "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n";
    WritePinnedFile(favorites, title + kInternetShortcutExtension, text, static_cast<DWORD>(text.GetLength()));
}
