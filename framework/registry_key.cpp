#include "registry_key.h"

#include "heap.h"

bool RegistryKey::Open(HKEY root, LPCSTR subKey, REGSAM access)
{
    reset();
    HKEY key = NULL;
    if (::RegOpenKeyExA(root, subKey, 0, access, &key) == ERROR_SUCCESS) reset(key);
    return valid();
}

bool RegistryKey::Create(HKEY root, LPCSTR subKey, REGSAM access)
{
    reset();
    HKEY key = NULL;
    if (::RegCreateKeyExA(root, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, &key, NULL) == ERROR_SUCCESS)
        reset(key);
    return valid();
}

bool RegistryKey::SetString(LPCSTR name, LPCSTR value)
{
    return ::RegSetValueExA(get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            static_cast<DWORD>(::lstrlenA(value) + 1)) == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(LPCSTR name, DWORD value)
{
    return ::RegSetValueExA(get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool RegistryKey::QueryString(LPCSTR name, CString& value) const
{
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(get(), name, NULL, &type, NULL, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
    HeapBlock buffer(size + 1);
    if (!buffer) return false;
    char* text = static_cast<char*>(buffer.get());
    if (::RegQueryValueExA(get(), name, NULL, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text[size] = '\0';  // what was stored need not end with its terminator
    value = text;
    return true;
}

bool RegistryKey::QueryDword(LPCSTR name, DWORD& value) const
{
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (::RegQueryValueExA(get(), name, NULL, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    value = data;
    return true;
}

bool RegistryKey::DeleteValue(LPCSTR name)
{
    const LONG result = ::RegDeleteValueA(get(), name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
