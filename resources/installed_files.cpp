#include "installed_files.h"

CString AssetFolderIn(LPCSTR windowsDir) { return CString(windowsDir) + ASSET_FOLDER_NAME; }

CString AssetFilePath(LPCSTR windowsDir, LPCSTR fileName) { return AssetFolderIn(windowsDir) + "\\" + fileName; }
