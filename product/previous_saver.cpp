#include "previous_saver.h"

#include "activation.h"
#include "paths.h"
#include "product.h"
#include "registry_key.h"
#include "system_functions.h"
#include "user_rights.h"

namespace {

const char kPreviousValue[] = "PreviousScreenSaver";

bool ScreenSavingOn()
{
    BOOL on = FALSE;
    return ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &on, 0) && on;
}

bool SwitchScreenSaving(bool on)
{
    return ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on ? TRUE : FALSE, NULL, SPIF_UPDATEINIFILE) != FALSE;
}

// false when there is no record (then nothing is known of what was there before).
bool ReadRecord(CString& previous)
{
    const UserRightsScope userRights;
    RegistryKey key;
    return userRights.Acting() && key.Open(HKEY_CURRENT_USER, kSettingsKey, KEY_QUERY_VALUE) && key.QueryString(kPreviousValue, previous);
}

// The attributes of `path` as 64-bit programs see it. On 64-bit Windows a 32-bit program looking into
// the system folder is shown the 32-bit one, where a 64-bit screen saver the user chose is not; the
// Display control panel (a 64-bit program there) runs it from the real one. Nothing may load a DLL
// while the redirection is off, so it is off for this one call only.
DWORD AttributesOutsideRedirection(LPCSTR path)
{
    const Kernel32Functions& kernel = Kernel32();
    const auto disable = kernel.wow64DisableFsRedirection;
    const auto revert = kernel.wow64RevertFsRedirection;
    PVOID redirection = NULL;
    const bool off = disable && revert && disable(&redirection);
    const DWORD attributes = ::GetFileAttributesA(path);
    if (off) revert(redirection);
    return attributes;
}

}  // namespace

CString ChosenScreenSaver()
{
    char value[MAX_PATH] = "";
    ::GetPrivateProfileStringA(kScreenSaverSection, kScreenSaverKey, "", value, MAX_PATH, kScreenSaverIni);
    return CString(value);
}

bool RecordPreviousScreenSaver(LPCSTR ourSaver)
{
    const CString chosen = ChosenScreenSaver();
    // In its long or its short (8.3) form, as the activation writes it.
    if (SamePath(chosen, ourSaver)) return true;
    const CString previous = ScreenSavingOn() ? chosen : CString();

    const UserRightsScope userRights;
    RegistryKey key;
    return userRights.Acting() && key.Create(HKEY_CURRENT_USER, kSettingsKey, KEY_SET_VALUE) &&
           key.SetString(kPreviousValue, previous);
}

bool RestorePreviousScreenSaver(LPCSTR ourSaver)
{
    if (!SamePath(ChosenScreenSaver(), ourSaver)) return true;
    CString previous;
    const DWORD attributes = ReadRecord(previous) && !previous.IsEmpty() ? AttributesOutsideRedirection(previous) : INVALID_FILE_ATTRIBUTES;
    // The user's settings, as the activation made them: with the user's own rights, or not at all.
    const UserRightsScope userRights;
    if (!userRights.Acting()) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ::WritePrivateProfileStringA(kScreenSaverSection, kScreenSaverKey, previous, kScreenSaverIni) &&
               SwitchScreenSaving(true);
    // A NULL value deletes the entry.
    return ::WritePrivateProfileStringA(kScreenSaverSection, kScreenSaverKey, NULL, kScreenSaverIni) && SwitchScreenSaving(false);
}
