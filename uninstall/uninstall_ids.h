// Identifiers of the uninstaller's resources, shared by its resource script and its code.
#ifndef MARIGOLD_UNINSTALL_IDS_H
#define MARIGOLD_UNINSTALL_IDS_H

#define IDS_ASK_REMOVE 201
#define IDS_REMOVED 202
#define IDS_REMOVED_AT_RESTART 203
#define IDS_REMOVE_FAILED 204
// The application title; the framework knows it as AFX_IDS_APP_TITLE (0xE000).
#define IDS_APP_TITLE 57344

#define IDI_UNINSTALL 128

#endif
