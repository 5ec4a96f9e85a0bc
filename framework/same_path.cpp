// Whether two paths name the same place, apart from the folders of paths.cpp: the programs that only
// read the Windows folder need none of the calls this makes.
#include "paths.h"

#include "system_text.h"

namespace {

// The long form of a full path; where it is not on the disk, the path as it is.
CString LongForm(const CString& full)
{
    CString found = SystemText([&full](LPSTR buffer, DWORD size) { return ::GetLongPathNameA(full, buffer, size); });
    return found.IsEmpty() ? full : found;
}

// `path` in UTF-16 in `wide`; its length without a backslash at its end, -1 when it cannot be converted.
int WideLength(LPCSTR path, HeapBlock& wide)
{
    if (!ToWide(path, wide)) return -1;
    const WCHAR* text = static_cast<WCHAR*>(wide.get());
    int length = ::lstrlenW(text);
    if (length > 0 && text[length - 1] == L'\\') --length;
    return length;
}

// As the file system compares names: character by character, case ignored. A backslash at the end of
// either is left out.
bool SameName(LPCSTR a, LPCSTR b)
{
    HeapBlock wideA(0), wideB(0);
    const int lengthA = WideLength(a, wideA), lengthB = WideLength(b, wideB);
    const BOOL ignoreCase = TRUE;
    return lengthA >= 0 && lengthB >= 0 &&
           ::CompareStringOrdinal(static_cast<WCHAR*>(wideA.get()), lengthA, static_cast<WCHAR*>(wideB.get()), lengthB, ignoreCase) ==
               CSTR_EQUAL;
}

}  // namespace

CString FullPath(LPCSTR path)
{
    return SystemText([path](LPSTR buffer, DWORD size) { return ::GetFullPathNameA(path, size, buffer, NULL); });
}

bool SamePath(LPCSTR a, LPCSTR b)
{
    const CString fullA = FullPath(a), fullB = FullPath(b);
    if (fullA.IsEmpty() || fullB.IsEmpty()) return false;
    // Two spellings that are already alike need no look at the disk.
    return SameName(fullA, fullB) || SameName(LongForm(fullA), LongForm(fullB));
}

bool ToWide(LPCSTR text, HeapBlock& wide)
{
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (needed <= 0) return false;
    wide.reset(needed * sizeof(WCHAR));
    return wide && ::MultiByteToWideChar(CP_ACP, 0, text, -1, static_cast<WCHAR*>(wide.get()), needed) == needed;
}
