#include "paths.h"

namespace {

typedef UINT(WINAPI* FolderQuery)(LPSTR buffer, UINT size);

CString SystemFolder(FolderQuery query)
{
    char folder[MAX_PATH] = "";
    const UINT length = query(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    return WithTrailingBackslash(folder);
}

}  // namespace

CString WithTrailingBackslash(LPCSTR folder)
{
    CString result(folder);
    if (result.IsEmpty() || result[result.GetLength() - 1] != '\\') result += '\\';
    return result;
}

CString WindowsDirectory() { return SystemFolder(::GetWindowsDirectoryA); }

CString SystemDirectory() { return SystemFolder(::GetSystemDirectoryA); }
