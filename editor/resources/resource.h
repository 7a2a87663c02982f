// Resource ids of the editor program.
#pragma once

#include "afxres.h"

// Dialogs and controls.
#define IDD_ABOUTBOX 100
#define IDD_SHORTCUTS 102
#define IDC_SHORTCUT_LIST 1001
#define IDC_ADD 1015
#define IDC_EDIT_ITEM 1016
#define IDC_ABOUT 1017
#define IDC_ADD_SCRIPT 1018
#define IDC_RUN_SCRIPT 1019
#define IDC_DELETE 1029
// The About box; its links share their ids with two buttons of the main window.
#define IDC_HOME_PAGE 1018
#define IDC_CONTACT 1019
#define IDC_EDITOR_VERSION 1032
#define IDC_LIBRARY_VERSION 1033
#define IDC_PRODUCT_VERSION 1034

// Controls without an id.
#define IDC_STATIC (-1)

// The edit dialog; each control with a help text names its string-table entry too.
#define IDD_EDIT_SHORTCUT 138
#define IDD_EDIT_SCRIPT 139
#define IDC_CAPTURE 1015
#define IDC_SHORTCUT_TEXT 1019
#define IDC_DESCRIPTION 1021
#define IDC_SCRIPT_TYPE 1022
#define IDC_LEFT_RIGHT 1028
#define IDC_ACTION 1030
#define IDC_TEST_SCRIPT 1038
#define IDC_SCRIPT 1039

// The Preferences dialog; each control also names its help text in the string table.
#define IDD_PREFERENCES 140
#define IDC_BEEP 1101
#define IDC_PASS_KEYS 1102
#define IDC_BEEP_TYPE 1103
#define IDC_PLAY 1104
#define IDC_RUN_AT_LOGON 1105
// The edit dialog's line that names a clash while capturing.
#define IDC_CLASH_NOTE 1106

// Menus, tool bar, icons.
#define IDR_TRAY_MENU 4
#define IDR_TOOLBAR 10
#define IDB_BANNER 150
// The banner and the tool-bar images drawn for 150 and 200 %.
#define IDB_BANNER_150 170
#define IDB_BANNER_200 171
#define IDB_TOOLBAR_24 172
#define IDB_TOOLBAR_32 173
#define IDI_BATCH 154
#define IDI_VBSCRIPT 155
#define IDI_JSCRIPT 156
#define IDI_SHORTCUT 159
#define IDI_TARVO 160

// System menu item (below 0xF000, low four bits clear).
#define IDM_ABOUTBOX 16
#define IDM_PREFERENCES 32
#define IDM_EXPORT 48
#define IDM_IMPORT 64

// Tool-bar commands; each also names the string-table entry of its tooltip.
#define ID_EDIT_ITEM 32772
#define ID_ADD_SHORTCUT 32774
#define ID_RUN_SCRIPT 32775
#define ID_DELETE_ITEM 32776
#define ID_ADD_BATCH 32777
#define ID_ADD_VBSCRIPT 32779
#define ID_ADD_JSCRIPT 32781
#define ID_PREFERENCES 32784

// Tray menu commands.
#define ID_TRAY_EXIT 141
#define ID_TRAY_SHOW 143
#define ID_TRAY_STOP 144
#define ID_TRAY_START 145
#define ID_TRAY_ABOUT 151
#define ID_TRAY_HELP 152
#define ID_TRAY_PREFERENCES 153

// Strings.
#define IDS_ABOUTBOX 101
#define IDS_NO_TEMP_DIRECTORY 103
#define IDS_SCRIPT_FAILED 104
#define IDS_PREFERENCES_MENU 105
#define IDS_EXPORT_MENU 106
#define IDS_IMPORT_MENU 107
#define IDS_ONLY_VALID_ENABLED 1029
#define IDS_CONFIRM_DELETE 57601
