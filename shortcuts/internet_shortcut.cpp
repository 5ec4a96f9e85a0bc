#include "internet_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <share.h>
#include <stdio.h>

namespace {

// A C runtime stream; fclose on scope exit. A failed open leaves it empty, and then every write
// is skipped, so the caller needs no checks of its own.
class TextOutputStream {
public:
    // Text mode turns each "\n" into CR LF on disk; others may read and write the file meanwhile.
    explicit TextOutputStream(LPCSTR path) : file_(::_fsopen(path, "wt", _SH_DENYNO)) {}
    ~TextOutputStream() { if (file_) ::fclose(file_); }
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;

    // One line, pushed to the file at once.
    void WriteLine(LPCSTR text)
    {
        if (!file_) return;
        ::fputs(text, file_);
        ::fputc('\n', file_);
        ::fflush(file_);
    }

private:
    FILE* file_;
};

}  // namespace

CString InternetShortcutPath(const CString& title)
{
    // The shell fills at most MAX_PATH characters; the full path is then built at its real length.
    char favorites[MAX_PATH] = "";
    const BOOL dontCreate = FALSE;
    if (!::SHGetSpecialFolderPathA(NULL, favorites, CSIDL_FAVORITES, dontCreate)) return CString();
    return CString(favorites) + "\\" + title + ".url";
}

BOOL InternetShortcutOpens(LPCSTR path, LPCSTR url)
{
    char found[2048] = "";
    ::GetPrivateProfileStringA("InternetShortcut", "URL", "", found, sizeof(found), path);
    return ::lstrcmpiA(found, url) == 0;
}

void CreateInternetShortcut(CString title, CString url)
{
    const CString path = InternetShortcutPath(title);
    if (path.IsEmpty()) return;
    TextOutputStream shortcut(path);
    shortcut.WriteLine("[DEFAULT]");
    shortcut.WriteLine("BASEURL=" + url);
    shortcut.WriteLine("[InternetShortcut]");
    shortcut.WriteLine("URL=" + url);
}
