// Puts one embedded resource onto disk as one file, optionally keeping an installed copy whose
// file version is newer. Resources are found by (name, type) in the framework's resource module;
// each may be a string or an integer identifier (MAKEINTRESOURCE).
#pragma once

#include <windows.h>

// Writes the resource's bytes verbatim to `path`, replacing what was there. 1 when the file was
// written completely; 0 otherwise, and then no partly written file is left behind.
int ExtractResource(LPCSTR path, LPCSTR name, LPCSTR type);

// Installs the resource at `path` unless the file there has a strictly newer "FileVersion". 1 when
// `path` now holds the resource or a newer version of it; 0 when this file could not be installed,
// in which case an existing file is left as it was.
int InstallResourceFile(LPCSTR path, LPCSTR name, LPCSTR type);
