// Shell links (".lnk" files) in the user's special folders, made by the shell's link object.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "heap.h"

const char kShellLinkExtension[] = ".lnk";

// Saves "<special folder>\<title>.lnk" with `target` as its target, replacing a link of the same name.
// `folderId` is a CSIDL_ value. COM must already be initialised on the calling thread. The link object
// saves into memory, and its bytes reach the file through a PinnedFile: a link in the file's place or
// the folder's is never followed. Quiet by design: a folder without a file-system path, a link object
// that cannot be made, a path the system cannot take or a link leaves no file behind, and nothing is
// reported.
void CreateShellLink(int folderId, CString title, CString target);

// The file-system folder behind a shell special folder (`folderId` a CSIDL_ value), as the links are
// placed there. FALSE when the folder is unknown, has no file-system path (virtual folders), or the
// shell's allocator is unavailable (the item-ID list could not be given back, so it is not asked for).
BOOL GetSpecialFolderPath(int folderId, CString& path);

// The bytes of the shell link this program writes for `target`, as the link object saves them: a
// shortcut is ours when its file holds exactly these. Made with the system folder as the current
// folder, so that the setup and the uninstaller make the same. COM must be initialised on the
// calling thread. FALSE when the link object cannot make them.
BOOL ShellLinkBytes(LPCSTR target, HeapArray<char>& bytes);
