#include "registration.h"

#include "handles.h"
#include "product.h"
#include "version_reader.h"

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" PRODUCT_NAME;

namespace {

bool SetText(HKEY key, LPCSTR name, const CString& value)
{
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(value)),
                            static_cast<DWORD>(value.GetLength() + 1)) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, LPCSTR name, DWORD value)
{
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool DeleteValue(HKEY key, LPCSTR name)
{
    const LONG result = ::RegDeleteValueA(key, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// The installed screen saver's version: its text as shown, and major and minor from the packed form.
// An entry left by an earlier run must not keep a version that is no longer installed.
bool SetVersion(HKEY key, LPCSTR saver)
{
    char text[64] = "";
    PackedVersion packed = 0;
    if (QueryVersionValue(saver, kFileVersionKey, text, sizeof(text), &packed) == 0)
        return DeleteValue(key, "DisplayVersion") && DeleteValue(key, "VersionMajor") && DeleteValue(key, "VersionMinor");
    bool ok = SetText(key, "DisplayVersion", text);
    ok = SetNumber(key, "VersionMajor", packed >> 24) && ok;
    ok = SetNumber(key, "VersionMinor", (packed >> 16) & 0xFF) && ok;
    return ok;
}

// Today's local date as the list of installed programs reads it: YYYYMMDD.
CString Today()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    CString date;
    date.Format("%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

}  // namespace

BOOL RegisterUninstaller(const UninstallEntry& entry)
{
    RegistryKey key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL,
                          key.put(), NULL) != ERROR_SUCCESS)
        return FALSE;
    // Windows runs these command lines as they stand: the path is quoted, it may hold blanks.
    const CString command = "\"" + entry.uninstaller + "\"";
    bool ok = SetText(key.get(), "DisplayName", kProductName);
    ok = SetVersion(key.get(), entry.installedSaver) && ok;
    ok = SetText(key.get(), "Publisher", kPublisherName) && ok;
    ok = SetText(key.get(), "DisplayIcon", entry.displayIcon) && ok;
    ok = SetText(key.get(), "UninstallString", command) && ok;
    ok = SetText(key.get(), "QuietUninstallString", command + " " + kQuietRemovalSwitch) && ok;
    ok = SetText(key.get(), "URLInfoAbout", entry.aboutUrl) && ok;
    ok = SetText(key.get(), "InstallLocation", entry.installLocation) && ok;
    ok = SetText(key.get(), "InstallDate", Today()) && ok;
    ok = SetNumber(key.get(), "EstimatedSize", entry.estimatedSizeKb) && ok;
    // There is nothing to change or repair: only removal is offered.
    ok = SetNumber(key.get(), "NoModify", 1) && ok;
    ok = SetNumber(key.get(), "NoRepair", 1) && ok;
    return ok ? TRUE : FALSE;
}

BOOL UnregisterUninstaller()
{
    const LONG result = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
