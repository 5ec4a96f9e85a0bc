// When the pointer ends the full-screen show.
#pragma once

#include <windows.h>

// True when the pointer has gone from where it rested (`rest`) to `now` farther than a nudge of the
// desk moves it, on a monitor of `dpi`: a few pixels at 96 DPI, and as many more as the monitor's
// scaling packs into the same distance, so that a nudge counts alike on every monitor.
bool PointerLeftRest(POINT rest, POINT now, int dpi);
