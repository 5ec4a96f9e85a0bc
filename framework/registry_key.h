// An open registry key and its values. RegCloseKey on scope exit (see owner.h).
#pragma once

#include <windows.h>

#include "cstring.h"
#include "owner.h"

struct RegistryKeyTraits : NullIsNone<HKEY> {
    static bool Free(HKEY key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }
};

class RegistryKey : public Owner<RegistryKeyTraits> {
public:
    // `subKey` of `root` with `access`, in place of any key held; false (and none held) when it
    // cannot be had. Create makes the key, and those above it, when missing.
    bool Open(HKEY root, LPCSTR subKey, REGSAM access);
    bool Create(HKEY root, LPCSTR subKey, REGSAM access);

    bool SetString(LPCSTR name, LPCSTR value);
    bool SetDword(LPCSTR name, DWORD value);
    // false when the value is missing or not of that type (a DWORD of exactly four bytes); `value`
    // is then left as it was.
    bool QueryString(LPCSTR name, CString& value) const;
    bool QueryDword(LPCSTR name, DWORD& value) const;
    // true also when there was no such value.
    bool DeleteValue(LPCSTR name);
};
