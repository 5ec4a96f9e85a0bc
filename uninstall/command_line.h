// The uninstaller's command line.
#pragma once

#include <windows.h>

enum class RemovalRequest {
    interactive,  // no argument: ask first
    silent,       // "/S" (in either case), and nothing else: remove without any box
    invalid,      // any other argument: nothing is done
};

// What the command line (program name first, as GetCommandLine gives it) asks for.
RemovalRequest ParseRemovalRequest(LPCSTR commandLine);
