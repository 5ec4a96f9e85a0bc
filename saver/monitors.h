// The monitors the system shows the desktop on, each with its DPI.
#pragma once

#include "heap.h"
#include "layout.h"

// Every monitor of the desktop (the primary screen alone if the system lists none) in `monitors`;
// false when there is no memory for the list.
bool SystemMonitors(HeapArray<Monitor>& monitors);
// The DPI of the monitor that shows `point` (screen coordinates), or of the nearest one.
int DpiAt(POINT point);
