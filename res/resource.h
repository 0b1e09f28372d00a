// Resource ids shared by the resource script and the code.
#pragma once

// Dialogs
#define IDD_KVMIDI_DIALOG 102
#define IDD_SETTINGS 103
#define IDD_COMPORT_ERROR 138
#define IDD_STRING_PROMPT 139

// Menu, icons, bitmap
#define IDR_TRAY_MENU 134
#define IDI_KVMIDI 130
#define IDI_FRAME_1 131
#define IDI_FRAME_2 132
#define IDI_FRAME_3 133
#define IDB_LED_STRIP 137

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the About panel
#define IDC_TITLE 1014
#define IDC_REVISION 1044

// Controls of the text prompt
#define IDC_PROMPT_EDIT 1053
#define IDC_PROMPT_TEXT 1054

// Controls of the COM port error dialog
#define IDC_RETRY_PORT 1041
#define IDC_PORT_ERROR_ICON 1042
#define IDC_PORT_ERROR_TEXT 1043

// Tray menu commands (Exit is IDOK)
#define ID_ABOUT 32773
#define ID_SETTINGS 32774
#define ID_USAGE 32776
#define ID_RESTART 32777
#define ID_PROFILE_1 33001
#define ID_PROFILE_2 33002
#define ID_PROFILE_3 33003
#define ID_PROFILE_4 33004
#define ID_PROFILE_5 33005
#define ID_PROFILE_6 33006
#define ID_PROFILE_7 33007
#define ID_PROFILE_8 33008

// String table
#define IDS_ABOUTBOX 101
#define IDS_INVALID_IP 102
#define IDS_CONFIRM_BROADCAST 103
#define IDS_SOCKETS_INIT_FAILED 104
#define IDS_TEXT_COMMAND_CHARS 105
#define IDS_NOT_DEFINED 106
#define IDS_ERROR 107
#define IDS_VERSION 109
#define IDS_COM_DEVICE_RANGE 110
#define IDS_UNABLE_TO_OPEN 111
#define IDS_SET_PROFILE_NAME 112
#define IDS_ENTER_PROFILE_NAME 113
#define IDS_CONFIRM_DELETE_PROFILE 114
#define IDS_RENAME_PROFILE 115
#define IDS_PROFILE_N 116
#define IDS_SAVE_PROFILE_FIRST 117
