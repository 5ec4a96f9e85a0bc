// Identifiers of the setup executable's resources, shared by its resource script and its code
// (preprocessor constants, which the resource compiler reads too).
#ifndef MARIGOLD_SETUP_IDS_H
#define MARIGOLD_SETUP_IDS_H

#define IDS_ASK_INSTALL 101
#define IDS_SAVER_FILE_NAME 102
#define IDS_INSTALL_SUCCEEDED 103
#define IDS_INSTALL_FAILED 104
// The application title; the framework knows it as AFX_IDS_APP_TITLE (0xE000).
#define IDS_APP_TITLE 57344

#define IDI_SETUP 128

#define IDR_SAVER 129        /* RT_RCDATA */
#define IDR_UNINSTALLER 130  /* RT_RCDATA */
#define IDR_GHOST 149        /* "MYBITMAP" ... */
#define IDR_SKELETON 150
#define IDR_PUMPKIN1 154
#define IDR_PUMPKIN2 146
#define IDR_PUMPKIN3 147
#define IDR_BOOM 155         /* "WAVE" */

#endif
