// The product's entry among the installed programs ("Apps & features", "Programs and Features"):
// written by the setup once the uninstaller is in place, removed by the uninstaller last. A 32-bit
// program on 64-bit Windows writes it below WOW6432Node by itself, which is where Windows looks for it.
#pragma once

#include <windows.h>

#include "installed_files.h"

// The entry's key below HKEY_LOCAL_MACHINE.
extern const char kUninstallKey[];

// Writes (or updates) the entry for the product installed at `paths`, dated today: its uninstaller,
// the screen saver's icon, the asset folder, the publisher's site and what the files the setup carries
// take. Its version is that of the installed screen saver (which may be newer than the one this setup
// carries); without a readable one the entry shows none. false when it could not be written completely.
bool RegisterProduct(const ProductPaths& paths);

// Removes the entry; true also when there was none.
bool UnregisterProduct();
