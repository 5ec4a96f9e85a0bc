// The test build of the saver (MarigoldProbe.scr): after "/s" it takes
//   --probe=DIR          DIR\monitors.txt, when there, is the monitor list ("left top right bottom dpi"
//                        a line), read again at every layout; DIR\report.txt gets a few lines for each
//                        layout and a status line every --every frames
//   --fast=N             N frames per timer tick instead of one
//   --every=N            frames between status lines (30)
//   --buffer-limit=N     no frame buffer larger than N bytes can be had
// A layout's lines give each scene's place, size, buffer and which of its pictures are stand-ins for a
// missing or damaged file. Status lines give the frames drawn, the layouts made, the booms asked for,
// the process's GDI and USER objects, its committed private memory and what its heaps hold. A "syscommand" line
// names each system command that reached the default window procedure. DIR\display.txt ("0" off, "1"
// on, "2" dimmed) is told to the show as the display's state, then removed. The shipped saver has none of this.
#pragma once

#include "saver_window.h"

void ApplySaverProbe(const char* commandLine, SaverHooks& hooks);
