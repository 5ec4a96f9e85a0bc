// The Internet shortcut (".url" file) that puts a web address among the user's favourites.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "pinned_file.h"

const char kInternetShortcutExtension[] = ".url";

// Writes "<Favorites>\<title>.url" pointing at `url`, replacing a shortcut of the same name, through a
// PinnedFile: a link in its place or in the folder's is never followed. Quiet by design: a missing
// Favorites folder, a file that cannot be written or a link leaves things as they were, and nothing
// is reported.
void CreateInternetShortcut(CString title, CString url);

// Deletes "<Favorites>\<title>.url" when its file holds exactly what CreateInternetShortcut writes for
// `url`, through a PinnedFile; anything else stays, its bytes only compared, never parsed.
PinnedRemoval RemoveInternetShortcut(LPCSTR title, LPCSTR url);
