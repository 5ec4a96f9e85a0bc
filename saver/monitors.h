// The monitors the system shows the desktop on, each with its DPI.
#pragma once

#include <vector>

#include "layout.h"

// Every monitor of the desktop (the primary screen alone if the system lists none).
std::vector<Monitor> SystemMonitors();
