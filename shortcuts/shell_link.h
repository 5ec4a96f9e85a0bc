// Shell links (".lnk" files) in the user's special folders, made by the shell's link object.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "pinned_file.h"

const char kShellLinkExtension[] = ".lnk";

// Saves "<special folder>\<title>.lnk" with `target` as its target, replacing a link of the same name.
// `folderId` is a CSIDL_ value. COM must already be initialised on the calling thread. The link object
// saves into memory, and its bytes reach the file through a PinnedFile: a link in the file's place or
// the folder's is never followed. Quiet by design: a folder without a file-system path, a link object
// that cannot be made, a path the system cannot take or a link leaves no file behind, and nothing is
// reported.
void CreateShellLink(int folderId, CString title, CString target);

// Deletes "<special folder>\<title>.lnk" when its file holds exactly what CreateShellLink writes for
// `target` (the link object's bytes, made from the system folder, so that the setup and the
// uninstaller make the same), through a PinnedFile; anything else stays, its bytes only compared,
// never handed to the link object or any other parser. COM must be initialised on the calling thread.
PinnedRemoval RemoveShellLink(int folderId, LPCSTR title, LPCSTR target);
