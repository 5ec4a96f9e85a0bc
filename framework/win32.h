// Folds a Win32 BOOL and GetLastError() into one value at the call site:
//   WinResult r = WinCall(::DeleteFileA(path)); if (!r) return r.error;
#pragma once

#include <windows.h>

struct WinResult {
    bool ok;
    DWORD error;  // GetLastError() right after the call; 0 on success
    explicit operator bool() const { return ok; }
};

inline WinResult WinCall(BOOL result)
{
    const DWORD error = result ? 0 : ::GetLastError();
    return WinResult{result != FALSE, error};
}
