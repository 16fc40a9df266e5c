// The controls of the main program's dialogs, by dialog. The resource
// script takes them through app/resource.h.
#pragma once

// About box.
#define IDC_ABOUT_NAME        100
#define IDC_ABOUT_VERSION     1002

// Task Properties dialog.
#define IDC_TASK_SHORTCUT     3
#define IDC_TASK_HELP         5
#define IDC_TASK_DETAILS      1048
#define IDC_TASK_ICON         1156
#define IDC_TASK_PRIORITY     1158
#define IDC_TASK_TITLE        1168

// Shortcut Properties dialog.
#define IDC_SHORTCUT_TITLE     1040
#define IDC_SHORTCUT_COMMAND   1018
#define IDC_SHORTCUT_DIRECTORY 1017
#define IDC_SHORTCUT_ICONFILE  1048
#define IDC_SHORTCUT_ICONS     1049
#define IDC_SHORTCUT_NORMAL    1014
#define IDC_SHORTCUT_MINIMIZED 1006
#define IDC_SHORTCUT_MAXIMIZED 1015
#define IDC_SHORTCUT_PRIORITY  1149
#define IDC_SHORTCUT_MULTIPLE  1150
#define IDC_SHORTCUT_CONTAIN   1151
#define IDC_SHORTCUT_SEPARATE  1148
#define IDC_SHORTCUT_BROWSE    1043
#define IDC_SHORTCUT_HELP      5

// Run dialog.
#define IDC_RUN_LABEL          102
#define IDC_RUN_COMMAND        1032
#define IDC_RUN_PRIORITY       1147
#define IDC_RUN_SEPARATE       1145
#define IDC_RUN_BROWSE         1033
#define IDC_RUN_HELP           5
// Folder Properties dialog.
#define IDC_FOLDER_HELP       5
#define IDC_FOLDER_TITLE      1040
#define IDC_FOLDER_HOTKEY     1041
#define IDC_FOLDER_SYSTEM     1044

// Setup dialog.
#define IDC_SETUP_HELP        5
#define IDC_SETUP_TOOLBAR     6
#define IDC_SETUP_COLOR       7
#define IDC_SETUP_PRIORITY    1026
#define IDC_SETUP_AUTOCLOSE   1028
#define IDC_SETUP_TASKBAR     1033
#define IDC_SETUP_HOTKEY      1038
#define IDC_SETUP_TOP         1050
#define IDC_SETUP_PROGMAN     1051
