// Identifiers of the setup's and the uninstaller's resources, for their resource scripts and their
// code (preprocessor constants, which the resource compiler reads too). Each program's title is
// AFX_IDS_APP_TITLE, the framework's.
#ifndef MARIGOLD_RESOURCE_IDS_H
#define MARIGOLD_RESOURCE_IDS_H

#include "framework_ids.h"

// The setup's texts.
#define IDS_ASK_INSTALL 101
// The installed screen saver's file name, in both programs.
#define IDS_SAVER_FILE_NAME 102
#define IDS_INSTALL_SUCCEEDED 103
#define IDS_INSTALL_FAILED 104

// The uninstaller's texts.
#define IDS_ASK_REMOVE 201
#define IDS_REMOVED 202
#define IDS_REMOVED_AT_RESTART 203
#define IDS_REMOVE_FAILED 204

// Each program's icon.
#define IDI_PROGRAM 128

// What the setup carries to install.
#define IDR_SAVER 129        /* RT_RCDATA */
#define IDR_UNINSTALLER 130  /* RT_RCDATA */
#define IDR_GHOST 149        /* "MYBITMAP" ... */
#define IDR_SKELETON 150
#define IDR_PUMPKIN1 154
#define IDR_PUMPKIN2 146
#define IDR_PUMPKIN3 147
#define IDR_BOOM 155         /* "WAVE" */

#endif
