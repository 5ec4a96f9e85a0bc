#include "removal.h"

#include "own_file.h"
#include "paths.h"
#include "previous_saver.h"
#include "saver_settings.h"
#include "uninstall_entry.h"

namespace {

// What the removal came to so far.
struct Tally {
    bool failed = false;
    bool atRestart = false;

    void Add(RemovalResult result)
    {
        failed = failed || result == RemovalResult::failed;
        atRestart = atRestart || result == RemovalResult::removedAtRestart;
    }
};

}  // namespace

// The uninstaller takes each change away (in the order of ProductOperations: the files, the entry, the
// active screen saver, the shortcuts, the settings); the setup made it (kSystemInstallOperations).
const ProductOperations kSystemRemovalOperations = {NULL, RemoveFileIfThere, SetOwnFileAside, LetGoOfOwnFile, PutOwnFileBack,
                                                    RemoveFolderNowOrAtRestart, NULL, UnregisterProduct, NULL, NULL,
                                                    RestorePreviousScreenSaver, NULL, RemovePublisherShortcut, RemoveSaverSettings};

RemovalOutcome RemoveProduct(LPCSTR self) { return RemoveProductWith(kSystemRemovalOperations, self); }

RemovalOutcome RemoveProductWith(const ProductOperations& operations, LPCSTR self)
{
    ProductPaths paths;
    if (!paths.Find()) return RemovalOutcome::notRemoved;
    // The screen saver chosen before goes back first: while Marigold is still the user's choice, its
    // file must stay, or the choice would name a file that is gone.
    if (!operations.restorePreviousScreenSaver(paths.saver)) return RemovalOutcome::notRemoved;
    Tally tally;
    for (const ProductFile& file : kProductFiles)
        if (file.role != FileRole::uninstaller) tally.Add(operations.removeFile(paths.Of(file), paths.windowsDir));
    // The user's shortcuts: one that cannot go (made read-only, say) stays, as one pointed elsewhere does.
    for (const PublisherShortcut& shortcut : kPublisherShortcuts) operations.removeShortcut(shortcut, PublisherSiteUrl);

    // What could not be removed stays whole, and so does the way to remove it: try again later. The
    // settings hold the screen saver that was active before, which that try may still need.
    if (tally.failed) return RemovalOutcome::notRemoved;
    operations.removeSettings();

    // The uninstaller's file goes aside into the Windows folder, which frees its name also while it
    // runs, so that the folder can go at once. It goes for good only with the entry: while the product
    // stays listed, the way to remove it stays whole.
    CString uninstallerAside;
    if (!operations.setUninstallerAside(paths.uninstaller, paths.windowsDir, uninstallerAside)) return RemovalOutcome::notRemoved;
    tally.Add(operations.removeFolder(paths.assetFolder));
    // The entry last: while anything of the product is left, it stays listed.
    const RemovalResult uninstaller = !tally.failed && operations.unregisterProduct()
        ? operations.letGoOfUninstaller(uninstallerAside, paths.windowsDir, SamePath(paths.uninstaller, self))
        : RemovalResult::failed;
    // A removal that stops here puts the uninstaller back where the entry says; so does one whose
    // uninstaller cannot go even at the next restart, rather than leave it aside under a name no one knows.
    if (uninstaller == RemovalResult::failed) {
        operations.putUninstallerBack(uninstallerAside, paths.uninstaller);
        return RemovalOutcome::notRemoved;
    }
    tally.Add(uninstaller);
    return tally.atRestart ? RemovalOutcome::removedAtRestart : RemovalOutcome::removed;
}

int RemovalExitCode(RemovalOutcome outcome)
{
    switch (outcome) {
    case RemovalOutcome::removed: return ERROR_SUCCESS;
    case RemovalOutcome::removedAtRestart: return ERROR_SUCCESS_REBOOT_REQUIRED;
    case RemovalOutcome::declined: return ERROR_INSTALL_USEREXIT;
    case RemovalOutcome::besideAnother: return ERROR_INSTALL_ALREADY_RUNNING;
    case RemovalOutcome::notUnderstood: return ERROR_INVALID_COMMAND_LINE;
    case RemovalOutcome::notRemoved: break;
    }
    return ERROR_INSTALL_FAILURE;
}
