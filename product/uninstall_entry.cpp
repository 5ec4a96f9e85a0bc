#include "uninstall_entry.h"

#include "registry_key.h"
#include "version_reader.h"

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" PRODUCT_NAME;

namespace {

// The installed screen saver's version: its text as shown, and major and minor from the packed form.
// An entry left by an earlier run must not keep a version that is no longer installed.
bool SetVersion(RegistryKey& key, LPCSTR saver)
{
    char text[64] = "";
    PackedVersion packed = 0;
    if (QueryVersionValue(saver, kFileVersionKey, text, sizeof(text), &packed) == 0)
        return key.DeleteValue("DisplayVersion") && key.DeleteValue("VersionMajor") && key.DeleteValue("VersionMinor");
    bool ok = key.SetString("DisplayVersion", text);
    ok = key.SetDword("VersionMajor", packed >> 24) && ok;
    ok = key.SetDword("VersionMinor", (packed >> 16) & 0xFF) && ok;
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

const DWORD kBytesPerKb = 1024;

// What the installed files take, as "Apps & features" shows it: the files the setup carries.
DWORD InstalledSizeKb()
{
    const HMODULE module = AfxGetResourceHandle();
    DWORD bytes = 0;
    for (const ProductFile& file : kProductFiles) {
        HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(file.resourceId), file.resourceType);
        bytes += found ? ::SizeofResource(module, found) : 0;
    }
    return (bytes + kBytesPerKb - 1) / kBytesPerKb;
}

}  // namespace

bool RegisterProduct(const ProductPaths& paths)
{
    RegistryKey key;
    if (!key.Create(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_SET_VALUE)) return false;
    // Windows runs these command lines as they stand: the path is quoted, it may hold blanks.
    const CString command = "\"" + paths.uninstaller + "\"";
    bool ok = key.SetString("DisplayName", kProductName);
    ok = SetVersion(key, paths.saver) && ok;
    ok = key.SetString("Publisher", kPublisherName) && ok;
    ok = key.SetString("DisplayIcon", paths.saver + ",0") && ok;
    ok = key.SetString("UninstallString", command) && ok;
    ok = key.SetString("QuietUninstallString", command + " " + kQuietRemovalSwitch) && ok;
    ok = key.SetString("URLInfoAbout", PublisherSiteUrl) && ok;
    ok = key.SetString("InstallLocation", paths.assetFolder) && ok;
    ok = key.SetString("InstallDate", Today()) && ok;
    ok = key.SetDword("EstimatedSize", InstalledSizeKb()) && ok;
    // There is nothing to change or repair: only removal is offered.
    ok = key.SetDword("NoModify", 1) && ok;
    ok = key.SetDword("NoRepair", 1) && ok;
    return ok;
}

bool UnregisterProduct()
{
    const LONG result = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
