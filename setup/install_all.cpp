#include <shlobj.h>

#include "activation.h"
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

// The uninstaller and its entry among the installed programs. It comes before the product's files,
// so that even a partly failed installation can be removed; like the shortcuts, it does not decide
// the installation's result.
void InstallUninstaller(const InstallOperations& operations, const CString& windowsDir, const CString& saverPath)
{
    const CString uninstaller = windowsDir + kUninstallerPayload.relativePath;
    if (!operations.installFile(uninstaller, MAKEINTRESOURCEA(kUninstallerPayload.id), kUninstallerPayload.type)) return;
    UninstallEntry entry;
    entry.uninstaller = uninstaller;
    entry.displayIcon = saverPath + ",0";
    entry.installLocation = windowsDir + kAssetFolder;
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
    ::CreateDirectoryA(windowsDir + kAssetFolder, NULL);

    for (const PublisherShortcut& shortcut : kPublisherShortcuts) operations.createShortcut(shortcut, PublisherSiteUrl);
    InstallUninstaller(operations, windowsDir, saverPath);

    for (const Payload& payload : kPayloads) {
        const CString target = payload.relativePath ? windowsDir + payload.relativePath : saverPath;
        if (!operations.installFile(target, MAKEINTRESOURCEA(payload.id), payload.type)) return 0;
    }
    // Removal puts back what was active before; a failure to remember it leaves the result alone.
    operations.recordPreviousScreenSaver(saverPath);
    return operations.activateScreenSaver(saverPath);
}
