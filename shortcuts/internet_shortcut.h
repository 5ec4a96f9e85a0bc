// The Internet shortcut (".url" file) that puts a web address among the user's favourites.
#pragma once

#include <windows.h>

#include "cstring.h"

const char kInternetShortcutExtension[] = ".url";

// Writes "<Favorites>\<title>.url" pointing at `url`, replacing a shortcut of the same name, through a
// PinnedFile: a link in its place or in the folder's is never followed. Quiet by design: a missing
// Favorites folder, a file that cannot be written or a link leaves things as they were, and nothing
// is reported.
void CreateInternetShortcut(CString title, CString url);

// The user's Favorites folder; FALSE when there is none.
BOOL GetFavoritesFolder(CString& folder);

// The whole text of the Internet shortcut this program writes for `url`: four lines, each ended by
// CR LF. A shortcut is ours when its file holds exactly these bytes.
CString InternetShortcutText(LPCSTR url);
