#include <shlobj.h>

#include "activation.h"
#include "installed_files.h"
#include "paths.h"
#include "payloads.h"
#include "previous_saver.h"
#include "publisher.h"
#include "publisher_shortcuts.h"
#include "registration.h"
#include "resource_file.h"
#include "setup_app.h"

namespace {

const DWORD kBytesPerKb = 1024;

DWORD ResourceSize(const Payload& payload)
{
    const HMODULE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(payload.id), payload.type);
    return found ? ::SizeofResource(module, found) : 0;
}

// What the installed files take, as "Apps & features" shows it.
DWORD InstalledSizeKb()
{
    DWORD bytes = ResourceSize(kUninstallerPayload);
    for (const Payload& payload : kPayloads) bytes += ResourceSize(payload);
    return (bytes + kBytesPerKb - 1) / kBytesPerKb;
}

bool InstallPayload(const InstallOperations& operations, const Payload& payload, const CString& target)
{
    return operations.installFile(target, MAKEINTRESOURCEA(payload.id), payload.type) != 0;
}

// The entry among the installed programs, for an uninstaller in place. It shows the version of the
// screen saver that is installed now, so it is written once that file has been dealt with, and
// before the pictures, so that even a partly failed installation can be removed. Like the
// shortcuts, it does not decide the installation's result.
void RegisterProduct(const InstallOperations& operations, const CString& windowsDir, const CString& uninstaller,
                     const CString& saverPath)
{
    UninstallEntry entry;
    entry.uninstaller = uninstaller;
    entry.installedSaver = saverPath;
    entry.displayIcon = saverPath + ",0";
    entry.installLocation = AssetFolderIn(windowsDir);
    entry.aboutUrl = PublisherSiteUrl;
    entry.estimatedSizeKb = InstalledSizeKb();
    operations.registerUninstaller(entry);
}

void CreateShortcut(const PublisherShortcut& shortcut, LPCSTR target) { CreatePublisherShortcut(shortcut, target); }

}  // namespace

const InstallOperations kSystemInstallOperations = {
    CreateShortcut, InstallResourceFile, RegisterUninstaller, RecordPreviousScreenSaver, ActivateScreenSaver,
};

int CSetupApp::InstallAll() { return InstallAllWith(kSystemInstallOperations); }

int InstallAllWith(const InstallOperations& operations)
{
    CWaitCursor wait;

    // Without a Windows directory every path would land in the root of the current drive: stop first.
    const CString windowsDir = WindowsDirectory();
    if (windowsDir.IsEmpty()) return 0;

    CString saverName;
    saverName.LoadString(IDS_SAVER_FILE_NAME);
    const CString saverPath = windowsDir + saverName;

    // An existing folder is fine; a folder that cannot be made shows up as failing asset files.
    ::CreateDirectoryA(AssetFolderIn(windowsDir), NULL);

    for (const PublisherShortcut& shortcut : kPublisherShortcuts) operations.createShortcut(shortcut, PublisherSiteUrl);
    const CString uninstaller = AssetFilePath(windowsDir, kUninstallerPayload.fileName);
    const bool removable = InstallPayload(operations, kUninstallerPayload, uninstaller);

    for (const Payload& payload : kPayloads) {
        const bool isSaver = payload.fileName == NULL;
        const bool installed =
            InstallPayload(operations, payload, isSaver ? saverPath : AssetFilePath(windowsDir, payload.fileName));
        if (isSaver && removable) RegisterProduct(operations, windowsDir, uninstaller, saverPath);
        if (!installed) return 0;
    }
    // Removal puts back what was active before; a failure to remember it leaves the result alone.
    operations.recordPreviousScreenSaver(saverPath);
    return operations.activateScreenSaver(saverPath);
}
