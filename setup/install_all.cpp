#include "activation.h"
#include "previous_saver.h"
#include "resource_file.h"
#include "setup_app.h"
#include "uninstall_entry.h"

// The setup makes each change (in the order of ProductOperations: the files, the entry, the active screen
// saver, the shortcuts); the uninstaller takes it away (kSystemRemovalOperations).
const ProductOperations kSystemInstallOperations = {InstallResourceFile, NULL, NULL, NULL, NULL, NULL, RegisterProduct, NULL,
                                                    RecordPreviousScreenSaver, ActivateScreenSaver, NULL,
                                                    CreatePublisherShortcut, NULL, NULL};

int CSetupApp::InstallAll() { return InstallAllWith(kSystemInstallOperations); }

int InstallAllWith(const ProductOperations& operations)
{
    CWaitCursor wait;

    ProductPaths paths;
    if (!paths.Find()) return 0;
    // An existing folder is fine; a folder that cannot be made shows up as failing asset files.
    ::CreateDirectoryA(paths.assetFolder, NULL);

    for (const PublisherShortcut& shortcut : kPublisherShortcuts) operations.createShortcut(shortcut, PublisherSiteUrl);
    bool removable = false;
    for (const ProductFile& file : kProductFiles) {
        const bool installed = operations.installFile(paths.Of(file), MAKEINTRESOURCEA(file.resourceId), file.resourceType) != 0;
        // The uninstaller decides only whether there is an entry among the installed programs. The entry
        // shows the version of the screen saver installed now, so it is written once that file has been
        // dealt with, and before the pictures, so that even a partly failed installation can be removed.
        if (file.role == FileRole::uninstaller) {
            removable = installed;
            continue;
        }
        if (file.role == FileRole::screenSaver && removable) operations.registerProduct(paths);
        if (!installed) return 0;
    }
    // Removal puts back what was active before; a failure to remember it leaves the result alone.
    operations.recordPreviousScreenSaver(paths.saver);
    return operations.activateScreenSaver(paths.saver);
}
