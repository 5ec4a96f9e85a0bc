// Puts one embedded resource onto disk as one file, optionally keeping an installed copy whose
// file version is newer. Resources are found by (name, type) in the framework's resource module;
// each may be a string or an integer identifier (MAKEINTRESOURCE).
#pragma once

#include <windows.h>

// Writes the resource's bytes verbatim to `path`, replacing what was there, and flushes them to the
// disk before it closes the file: the one writer of embedded bytes. 1 when the file was written
// completely; 0 otherwise, and then no partly written file is left.
int ExtractResource(LPCSTR path, LPCSTR name, LPCSTR type);

// Installs the resource at `path` unless the file there has a strictly newer "FileVersion" (a file
// without one counts as 0). The bytes are written once, by ExtractResource, into a new file beside
// `path` (prefix "scs", in the same folder), and moved over the old file in one step, also when the
// old file is a running program (it is then renamed aside and removed at the next restart). 1 when
// `path` now holds the resource or a newer version of it. 0 when this file could not be installed:
// then the file at `path` is byte for byte what it was and no new copy is left behind. A read-only
// file or a folder at `path` stays (0 unless the file there is newer). The user's temporary folder
// is not used.
int InstallResourceFile(LPCSTR path, LPCSTR name, LPCSTR type);
