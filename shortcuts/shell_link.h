// Shell links (".lnk" files) in the user's special folders, made by the shell's link object.
#pragma once

#include <windows.h>

#include "cstring.h"

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

// TRUE when the link whose file holds `bytes` (`size` of them) opens `target`: a web address may come
// back from the shell with a slash at its end, or (Wine's shell) kept as a file name below the folder
// the link was made from. COM must be initialised on the calling thread.
BOOL ShellLinkOpens(const char* bytes, DWORD size, LPCSTR target);
