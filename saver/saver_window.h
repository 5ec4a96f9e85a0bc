// The window the night is shown in: full screen over every monitor ("/s"), or a child filling the
// Display control panel's little preview window ("/p").
#pragma once

#include <windows.h>

#include "settings.h"

struct SaverWindowOptions {
    bool fullScreen = true;
    HWND previewParent = NULL;  // the window to draw in when not full screen
    SaverSettings settings;
};

// Shows the saver until it is told to stop; returns the process exit code.
int RunSaverWindow(HINSTANCE instance, const SaverWindowOptions& options);
