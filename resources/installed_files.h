// What the setup installs below the Windows directory, by name: the screen saver there, everything
// else in the asset folder. Each bare name is spelled here only, and paths into the asset folder are
// made only by AssetFolderIn and AssetFilePath: the setup, the screen saver and the uninstaller
// all find the files the same way. (Macros, so that the resource scripts can use the names too.)
#ifndef MARIGOLD_INSTALLED_FILES_H
#define MARIGOLD_INSTALLED_FILES_H

// Also the setup's string IDS_SAVER_FILE_NAME, which is where the setup takes it from.
#define SAVER_FILE_NAME "Marigold.scr"

#define ASSET_FOLDER_NAME "marigoldfiles"
#define GHOST_FILE_NAME "ghost.bmp"
#define SKELETON_FILE_NAME "skeleton.bmp"
#define PUMPKIN1_FILE_NAME "pumpkin1.bmp"
#define PUMPKIN2_FILE_NAME "pumpkin2.bmp"
#define PUMPKIN3_FILE_NAME "pumpkin3.bmp"
#define BOOM_FILE_NAME "boom1.wav"
#define UNINSTALLER_FILE_NAME "uninstall.exe"

#ifndef RC_INVOKED
#include <windows.h>

#include "cstring.h"

// The asset folder below `windowsDir` (which ends in a backslash), without a backslash at its end.
CString AssetFolderIn(LPCSTR windowsDir);

// The file `fileName` of the asset folder below `windowsDir`.
CString AssetFilePath(LPCSTR windowsDir, LPCSTR fileName);
#endif

#endif
