// The Internet shortcut (".url" file) that puts a web address among the user's favourites.
#pragma once

#include "cstring.h"

// Writes "<Favorites>\<title>.url" pointing at `url`, replacing a shortcut of the same name.
// Quiet by design: a missing Favorites folder or a file that cannot be written leaves things as
// they were, and nothing is reported.
void CreateInternetShortcut(CString title, CString url);

// "<Favorites>\<title>.url"; empty when there is no Favorites folder.
CString InternetShortcutPath(const CString& title);

// TRUE when the Internet shortcut at `path` opens `url` (the same letters, in any case).
BOOL InternetShortcutOpens(LPCSTR path, LPCSTR url);
