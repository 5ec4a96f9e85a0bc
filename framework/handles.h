// The owner of a kernel handle (see owner.h).
#pragma once

#include <windows.h>

#include "owner.h"

// A kernel handle closed with CloseHandle: a file, a mutex, a token (INVALID_HANDLE_VALUE or NULL
// means "none"). reset() gives the CloseHandle result.
struct KernelHandleTraits {
    typedef HANDLE Handle;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Holds(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != NULL; }
    static bool Free(HANDLE h) { return ::CloseHandle(h) != FALSE; }
};
typedef Owner<KernelHandleTraits> UniqueHandle;
