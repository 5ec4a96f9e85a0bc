// The product's entry among the installed programs ("Apps & features", "Programs and Features"):
// written by the setup once the uninstaller is in place, removed by the uninstaller. A 32-bit program
// on 64-bit Windows writes it below WOW6432Node by itself, which is where Windows looks for it.
#pragma once

#include <windows.h>

#include "cstring.h"

struct UninstallEntry {
    CString uninstaller;      // full path of uninstall.exe
    CString installedSaver;   // the screen saver now installed, whose version the entry shows
    CString displayIcon;      // "path,index" of the icon to show
    CString installLocation;  // the folder of the product's files
    CString aboutUrl;         // the publisher's site
    DWORD estimatedSizeKb;    // what the installed files take
};

// The entry's key below HKEY_LOCAL_MACHINE.
extern const char kUninstallKey[];

// Writes (or updates) the entry, dated today. Its version is that of the installed screen saver
// (which may be newer than the one this setup carries); without a readable one the entry shows none.
// FALSE when it could not be written completely.
BOOL RegisterUninstaller(const UninstallEntry& entry);

// Removes the entry; TRUE also when there was none.
BOOL UnregisterUninstaller();
