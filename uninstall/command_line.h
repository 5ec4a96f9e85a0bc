// The uninstaller's command line.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "heap.h"

enum class RemovalRequest {
    interactive,  // no argument: ask first
    silent,       // "/S" (in either case), and nothing else: remove without any box
    invalid,      // any other argument: nothing is done
};

// What the command line (program name first, as GetCommandLine gives it) asks for.
RemovalRequest ParseRemovalRequest(LPCSTR commandLine);

// The arguments after the program's own name, each without the quotes in it (a quoted stretch is part
// of one argument, blanks included). FALSE when there is no memory for them.
bool SplitArguments(LPCSTR commandLine, HeapArray<CString>& arguments);
