// A program's command line, split into its arguments.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "heap.h"

// The arguments after the program's own name in `commandLine` (as GetCommandLine gives it), each
// without the quotes in it: a quoted stretch is part of one argument, blanks included. false when
// there is no memory for them.
bool SplitArguments(LPCSTR commandLine, HeapArray<CString>& arguments);
