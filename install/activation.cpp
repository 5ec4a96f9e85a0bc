#include "activation.h"

#include "heap.h"
#include "user_rights.h"

const char kScreenSaverSection[] = "boot";
const char kScreenSaverKey[] = "SCRNSAVE.EXE";
const char kScreenSaverIni[] = "system.ini";

namespace {

const DWORD kShortPathBufferSize = MAX_PATH;
// The answer may grow between two calls (the file renamed or replaced meanwhile); a few rounds
// settle it, more would mean something keeps changing it.
const int kShortPathAttempts = 3;

}  // namespace

BOOL GetShortPath(LPCSTR longPath, CString& shortPath, ShortPathQuery query)
{
    // A result not smaller than the buffer is the size needed (with the terminator), and the
    // buffer was left unfilled: ask again with that much room instead of using it.
    DWORD size = kShortPathBufferSize;
    for (int attempt = 0; attempt < kShortPathAttempts; ++attempt) {
        HeapBlock buffer(size);
        if (!buffer) return FALSE;
        const DWORD length = query(longPath, static_cast<char*>(buffer.get()), size);
        if (length == 0) return FALSE;
        if (length < size) {
            shortPath = CString(static_cast<char*>(buffer.get()), static_cast<int>(length));
            return TRUE;
        }
        size = length;
    }
    return FALSE;
}

int ActivateScreenSaver(LPCSTR longPath)
{
    CString shortPath;
    if (!GetShortPath(longPath, shortPath)) return 0;
    // Both settings are the user's (Windows keeps system.ini's entry in the user's profile): made with
    // the user's own rights, or not at all.
    const UserRightsScope userRights;
    if (!userRights.Acting()) return 0;
    // Without a folder the profile API uses the file in the Windows directory.
    if (!::WritePrivateProfileStringA(kScreenSaverSection, kScreenSaverKey, shortPath, kScreenSaverIni)) return 0;
    // SPIF_SENDCHANGE is left out: no other program needs telling.
    if (!::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, NULL, SPIF_UPDATEINIFILE)) return 0;
    return 1;
}
