// The window the night is shown in: one topmost window over every monitor ("/s"), each monitor
// with its own scene, or a child filling the Display control panel's little preview window ("/p").
#pragma once

#include <windows.h>

#include "layout.h"
#include "monitors.h"
#include "render.h"
#include "settings.h"

class NightShow;

// What a test build of the saver replaces to watch it; the shipped saver keeps these.
struct SaverHooks {
    bool (*monitors)(HeapArray<Monitor>& monitors) = SystemMonitors;
    FrameBufferMaker makeFrameBuffer = MakeFrameBuffer;
    int framesPerTick = 1;  // frames drawn per tick of the timer: hours of showing in minutes
    // After each tick: the show, the frames drawn so far, how many times it was laid out and how many
    // booms it asked for.
    void (*afterTick)(const NightShow& show, unsigned long long frames, int layouts, unsigned long booms) = nullptr;
};

struct SaverWindowOptions {
    bool fullScreen = true;
    HWND previewParent = NULL;  // the window to draw in when not full screen
    SaverSettings settings;
    SaverHooks hooks;
};

// Shows the saver until it is told to stop; returns the process exit code.
int RunSaverWindow(HINSTANCE instance, const SaverWindowOptions& options);
