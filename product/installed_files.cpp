#include "installed_files.h"

#include "paths.h"

bool ProductPaths::Find()
{
    windowsDir = WindowsDirectory();
    CString saverName;
    if (windowsDir.IsEmpty() || !saverName.LoadString(IDS_SAVER_FILE_NAME)) return false;
    saver = windowsDir + saverName;
    assetFolder = AssetFolderIn(windowsDir);
    uninstaller = AssetFilePath(windowsDir, UNINSTALLER_FILE_NAME);
    return true;
}

CString ProductPaths::Of(const ProductFile& file) const
{
    return file.role == FileRole::screenSaver ? saver : AssetFilePath(windowsDir, file.assetName);
}

CString AssetFolderIn(LPCSTR windowsDir) { return CString(windowsDir) + ASSET_FOLDER_NAME; }

CString AssetFilePath(LPCSTR windowsDir, LPCSTR fileName) { return AssetFolderIn(windowsDir) + "\\" + fileName; }
