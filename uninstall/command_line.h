// The uninstaller's command line.
#pragma once

#include <windows.h>

// TRUE when the command line (program name first, as GetCommandLine gives it) asks for a silent
// removal: a "/S" argument, in either case.
BOOL IsSilentRequest(LPCSTR commandLine);
