#include "removal.h"

#include "cstring.h"
#include "file_swap.h"
#include "handles.h"
#include "installed_files.h"
#include "paths.h"
#include "payloads.h"
#include "previous_saver.h"
#include "product.h"
#include "publisher.h"
#include "publisher_shortcuts.h"
#include "registration.h"
#include "user_rights.h"

namespace {

// What the removal came to so far.
struct Tally {
    bool failed = false;
    bool atRestart = false;

    void Add(RemovalResult result)
    {
        failed = failed || result == removalFailed;
        atRestart = atRestart || result == removedAtRestart;
    }
};

bool IsFile(LPCSTR path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(LPCSTR path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Files of the product's folder that are still in use go aside into `asideFolder`, so that the
// folder itself can go at once. A folder of the same name is not the product's: it stays.
void RemoveInstalledFile(LPCSTR path, LPCSTR asideFolder, Tally& tally)
{
    if (IsFile(path)) tally.Add(RemoveNowOrAtRestart(path, asideFolder));
}

bool IsEmptyKey(HKEY root, LPCSTR subKey)
{
    RegistryKey key;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0;
    DWORD values = 0;
    return ::RegQueryInfoKeyA(key.get(), NULL, NULL, NULL, &subKeys, NULL, NULL, &values, NULL, NULL, NULL, NULL) ==
               ERROR_SUCCESS &&
           subKeys == 0 && values == 0;
}

// The saver's settings (and what the setup remembered there), then the publisher's key when nothing
// else of the publisher is left in it; with the user's own rights, as the user's keys.
void RemoveSettings()
{
    const UserRightsScope userRights;
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    if (IsEmptyKey(HKEY_CURRENT_USER, kPublisherKey)) ::RegDeleteKeyA(HKEY_CURRENT_USER, kPublisherKey);
}

bool SameFile(LPCSTR a, LPCSTR b)
{
    char longA[MAX_PATH] = "";
    char longB[MAX_PATH] = "";
    return ::GetLongPathNameA(a, longA, MAX_PATH) && ::GetLongPathNameA(b, longB, MAX_PATH) && ::lstrcmpiA(longA, longB) == 0;
}

}  // namespace

RemovalOutcome RemoveProduct(LPCSTR self)
{
    const CString windowsDir = WindowsDirectory();
    if (windowsDir.IsEmpty()) return productNotRemoved;
    const CString saverPath = windowsDir + SAVER_FILE_NAME;
    const CString assetFolder = AssetFolderIn(windowsDir);
    const CString uninstaller = AssetFilePath(windowsDir, kUninstallerPayload.fileName);

    Tally tally;
    if (!RestorePreviousScreenSaver(saverPath)) tally.failed = true;
    RemoveInstalledFile(saverPath, windowsDir, tally);
    for (const Payload& payload : kPayloads)
        if (payload.fileName) RemoveInstalledFile(AssetFilePath(windowsDir, payload.fileName), windowsDir, tally);
    for (const PublisherShortcut& shortcut : kPublisherShortcuts)
        if (RemovePublisherShortcut(shortcut, PublisherSiteUrl) == shortcutNotRemoved) tally.failed = true;

    // What could not be removed stays whole, and so does the way to remove it: try again later.
    if (tally.failed) return productNotRemoved;
    RemoveSettings();
    if (!UnregisterUninstaller()) return productNotRemoved;

    // The running uninstaller cannot delete itself: it leaves the folder now and the disk at the next
    // restart. That copy is nothing the user needs to know about.
    if (IsFile(uninstaller)) {
        const bool removingItself = SameFile(uninstaller, self);
        Tally own;
        RemoveInstalledFile(uninstaller, windowsDir, own);
        if (own.failed) return productNotRemoved;
        if (own.atRestart && !removingItself) tally.atRestart = true;
    }
    // Only an empty folder goes: what someone else put there stays. An empty folder that another
    // process has as its current folder goes at the next restart (the system then removes it only if
    // it is still empty).
    if (!::RemoveDirectoryA(assetFolder) && ::GetLastError() != ERROR_DIR_NOT_EMPTY && IsFolder(assetFolder)) {
        if (!::MoveFileExA(assetFolder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return productNotRemoved;
        tally.atRestart = true;
    }
    return tally.atRestart ? productRemovedAtRestart : productRemoved;
}
