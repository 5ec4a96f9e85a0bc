// The settings dialog ("/c"): sound on or off, how many pumpkins, how fast.
#pragma once

#include <windows.h>

// Shows the dialog owned by `owner` (may be NULL); OK stores the settings for this user.
void RunSettingsDialog(HINSTANCE instance, HWND owner);
