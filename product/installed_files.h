// What Marigold installs below the Windows directory, from one table: the uninstaller, the screen
// saver and its six assets, with where each comes from in the setup and where it goes. The setup
// installs them and the uninstaller removes them through this table; the screen saver finds its
// assets with AssetFilePath.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "product.h"
#include "resource_ids.h"

enum class FileRole {
    uninstaller,  // first: even an installation that fails later can be removed
    screenSaver,  // in the Windows directory, named by string IDS_SAVER_FILE_NAME
    asset,        // in the asset folder
};

struct ProductFile {
    FileRole role;
    unsigned resourceId;  // in the setup's resources
    LPCSTR resourceType;
    LPCSTR assetName;     // the name in the asset folder; NULL for the screen saver
};

// In the order the setup installs them: the uninstaller, then the seven files the installation stands
// or falls by (the first that fails stops the rest).
const ProductFile kProductFiles[] = {
    {FileRole::uninstaller, IDR_UNINSTALLER, RT_RCDATA, UNINSTALLER_FILE_NAME},
    {FileRole::screenSaver, IDR_SAVER, RT_RCDATA, NULL},
    {FileRole::asset, IDR_GHOST, "MYBITMAP", GHOST_FILE_NAME},
    {FileRole::asset, IDR_SKELETON, "MYBITMAP", SKELETON_FILE_NAME},
    {FileRole::asset, IDR_PUMPKIN1, "MYBITMAP", PUMPKIN1_FILE_NAME},
    {FileRole::asset, IDR_PUMPKIN2, "MYBITMAP", PUMPKIN2_FILE_NAME},
    {FileRole::asset, IDR_PUMPKIN3, "MYBITMAP", PUMPKIN3_FILE_NAME},
    {FileRole::asset, IDR_BOOM, "WAVE", BOOM_FILE_NAME},
};

// Where everything lies on this machine.
struct ProductPaths {
    CString windowsDir;   // with a backslash at its end
    CString saver;        // the screen saver
    CString assetFolder;  // without a backslash at its end
    CString uninstaller;

    // Fills the paths; false when the Windows directory or the screen saver's name cannot be had
    // (every path would then land in the root of the current drive).
    bool Find();
    // The full path of `file`.
    CString Of(const ProductFile& file) const;
};

// The asset folder below `windowsDir` (which ends in a backslash), without a backslash at its end.
CString AssetFolderIn(LPCSTR windowsDir);

// The file `fileName` of the asset folder below `windowsDir`.
CString AssetFilePath(LPCSTR windowsDir, LPCSTR fileName);
