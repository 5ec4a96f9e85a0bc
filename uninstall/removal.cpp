#include "removal.h"

#include "cstring.h"
#include "registry_key.h"
#include "installed_files.h"
#include "own_file.h"
#include "paths.h"
#include "payloads.h"
#include "previous_saver.h"
#include "product.h"
#include "publisher.h"
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
RemovalResult RemoveInstalledFile(LPCSTR path, LPCSTR asideFolder)
{
    return IsFile(path) ? RemoveNowOrAtRestart(path, asideFolder) : removedNow;
}

// Only an empty folder goes: what someone else put there stays. An empty folder that another process
// has as its current folder goes at the next restart (the system then removes it only if it is still
// empty).
RemovalResult RemoveProductFolder(LPCSTR folder)
{
    if (::RemoveDirectoryA(folder) || ::GetLastError() == ERROR_DIR_NOT_EMPTY || !IsFolder(folder)) return removedNow;
    return ::MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? removedAtRestart : removalFailed;
}

bool IsEmptyKey(HKEY root, LPCSTR subKey)
{
    RegistryKey key;
    if (!key.Open(root, subKey, KEY_QUERY_VALUE)) return false;
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
    if (!userRights.Acting()) return;
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

const RemovalOperations kSystemRemovalOperations = {
    RestorePreviousScreenSaver, RemoveInstalledFile, RemoveOwnFile, RemovePublisherShortcut, RemoveSettings,
    RemoveProductFolder, UnregisterUninstaller,
};

RemovalOutcome RemoveProduct(LPCSTR self) { return RemoveProductWith(kSystemRemovalOperations, self); }

RemovalOutcome RemoveProductWith(const RemovalOperations& operations, LPCSTR self)
{
    const CString windowsDir = WindowsDirectory();
    if (windowsDir.IsEmpty()) return productNotRemoved;
    const CString saverPath = windowsDir + SAVER_FILE_NAME;
    const CString assetFolder = AssetFolderIn(windowsDir);
    const CString uninstaller = AssetFilePath(windowsDir, kUninstallerPayload.fileName);

    // The screen saver chosen before goes back first: while Marigold is still the user's choice, its
    // file must stay, or the choice would name a file that is gone.
    if (!operations.restorePreviousScreenSaver(saverPath)) return productNotRemoved;
    Tally tally;
    tally.Add(operations.removeFile(saverPath, windowsDir));
    for (const Payload& payload : kPayloads)
        if (payload.fileName) tally.Add(operations.removeFile(AssetFilePath(windowsDir, payload.fileName), windowsDir));
    // The user's shortcuts: one that cannot go (made read-only, say) stays, as one pointed elsewhere does.
    for (const PublisherShortcut& shortcut : kPublisherShortcuts) operations.removeShortcut(shortcut, PublisherSiteUrl);

    // What could not be removed stays whole, and so does the way to remove it: try again later. The
    // settings hold the screen saver that was active before, which that try may still need.
    if (tally.failed) return productNotRemoved;
    operations.removeSettings();

    const bool removingItself = SameFile(uninstaller, self);
    const RemovalResult own = removingItself ? operations.removeOwnFile(uninstaller, windowsDir)
                                             : operations.removeFile(uninstaller, windowsDir);
    if (own == removalFailed) return productNotRemoved;
    if (own == removedAtRestart && !removingItself) tally.atRestart = true;
    tally.Add(operations.removeFolder(assetFolder));
    if (tally.failed) return productNotRemoved;

    // The entry last: while anything of the product is left, it stays listed.
    if (!operations.unregisterUninstaller()) return productNotRemoved;
    return tally.atRestart ? productRemovedAtRestart : productRemoved;
}

int RemovalExitCode(RemovalOutcome outcome)
{
    switch (outcome) {
    case productRemoved: return ERROR_SUCCESS;
    case productRemovedAtRestart: return ERROR_SUCCESS_REBOOT_REQUIRED;
    case removalDeclined: return ERROR_INSTALL_USEREXIT;
    case removalBesideAnother: return ERROR_INSTALL_ALREADY_RUNNING;
    case removalNotUnderstood: return ERROR_INVALID_COMMAND_LINE;
    case productNotRemoved: break;
    }
    return ERROR_INSTALL_FAILURE;
}
