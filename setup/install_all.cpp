#include <shlobj.h>

#include "activation.h"
#include "internet_shortcut.h"
#include "payloads.h"
#include "publisher.h"
#include "resource_file.h"
#include "setup_app.h"
#include "shell_link.h"

CString WithTrailingBackslash(LPCSTR folder)
{
    CString result(folder);
    if (result.IsEmpty() || result[result.GetLength() - 1] != '\\') result += '\\';
    return result;
}

int CSetupApp::InstallAll()
{
    CWaitCursor wait;

    // Without a Windows directory every path would land in the root of the current drive: stop first.
    char windowsDirBuffer[MAX_PATH] = "";
    const UINT length = ::GetWindowsDirectoryA(windowsDirBuffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    const CString windowsDir = WithTrailingBackslash(windowsDirBuffer);

    CString saverName;
    saverName.LoadString(IDS_SAVER_FILE_NAME);
    const CString saverPath = windowsDir + saverName;

    // An existing folder is fine; a folder that cannot be made shows up as failing asset files.
    ::CreateDirectoryA(windowsDir + kAssetFolder, NULL);

    CreateInternetShortcut("LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES", PublisherSiteUrl);
    CreateShellLink(CSIDL_DESKTOP, "LUMA VERT - FREE SOFTWARE, GAMES, TOOLS", PublisherSiteUrl);
    CreateShellLink(CSIDL_STARTMENU, "LUMAVERT", PublisherSiteUrl);
    CreateShellLink(CSIDL_PROGRAMS, "LUMAVERT - FREE SOFTWARE, GAMES, TOOLS", PublisherSiteUrl);

    for (const Payload& payload : kPayloads) {
        const CString target = payload.relativePath ? windowsDir + payload.relativePath : saverPath;
        if (!InstallResourceFile(target, MAKEINTRESOURCEA(payload.id), payload.type)) return 0;
    }
    return ActivateScreenSaver(saverPath);
}
