// What the screen-saver command line asks for. Windows starts a screen saver with
//   /s            run full screen            /p HWND   preview inside HWND
//   /c[:HWND]     settings, owned by HWND    /a HWND   change password (old Windows only)
// in any case, with ':' or blanks before the handle. Anything else (or nothing) opens the settings;
// without a handle they belong to the window in front.
#pragma once

#include <cstdint>

enum class SaverMode { Run, Preview, Configure, Password };

struct SaverCommand {
    SaverMode mode = SaverMode::Configure;
    // The window handle as written on the command line; 0 when none was given. Handles are
    // decimal numbers; uintptr_t holds them on 32- and 64-bit Windows alike.
    std::uintptr_t window = 0;
    bool hasWindow = false;
    // A handle was written but is not a number (or does not fit): the caller ends quietly.
    bool badWindow = false;
};

SaverCommand ParseSaverCommandLine(const char* commandLine);
