#include "activation.h"

#include <utility>

#include "system_text.h"
#include "user_rights.h"

const char kScreenSaverSection[] = "boot";
const char kScreenSaverKey[] = "SCRNSAVE.EXE";
const char kScreenSaverIni[] = "system.ini";

bool GetShortPath(LPCSTR longPath, CString& shortPath, ShortPathQuery query)
{
    CString found = SystemText([longPath, query](LPSTR buffer, DWORD size) { return query(longPath, buffer, size); });
    if (found.IsEmpty()) return false;
    shortPath = std::move(found);
    return true;
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
