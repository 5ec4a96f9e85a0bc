// Shell links (".lnk" files) in the user's special folders, made through the shell's link object.
#pragma once

#include "cstring.h"

// Saves "<special folder>\<title>.lnk" with `target` as its target, replacing a link of the same
// name. `folderId` is a CSIDL_ value. COM must already be initialised on the calling thread.
// Quiet by design: a folder without a file-system path, a link object that cannot be made, or a
// path the system cannot take leaves no file behind, and nothing is reported.
void CreateShellLink(int folderId, CString title, CString target);

// The file-system folder behind a shell special folder (`folderId` a CSIDL_ value), as the links are
// placed there. FALSE when the folder is unknown, has no file-system path (virtual folders), or the
// shell's allocator is unavailable (the item-ID list could not be given back, so it is not asked for).
BOOL GetSpecialFolderPath(int folderId, CString& path);

// "<special folder>\<title>.lnk"; empty when the folder has no file-system path.
CString ShellLinkPath(int folderId, const CString& title);

// TRUE when the link at `path` opens `target`: a web address may come back from the shell with a
// slash at its end, or (Wine's shell) kept as a file name below the folder the link was made from.
BOOL ShellLinkOpens(LPCSTR path, LPCSTR target);
