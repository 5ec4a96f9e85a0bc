// Resource numbers shared by the C++ code and saver.rc. The Display control panel reads string 1
// (the saver's name) and icon 100.
#pragma once

#define IDS_DESCRIPTION 1
#define IDI_SAVER 100
#define IDD_SETTINGS 2003

#define IDC_SOUND 1001
#define IDC_PUMPKINS 1002
#define IDC_PUMPKINS_VALUE 1003
#define IDC_SPEED 1004
#define IDC_SPEED_VALUE 1005
#define IDC_DEFAULTS 1006
