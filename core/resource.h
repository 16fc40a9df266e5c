// Identifiers of the main program's resources, menus, commands and controls.
#pragma once

// Commands on rows and folders (menus, toolbar buttons and keys).
#define IDM_OPEN              101
#define IDM_HIDE              102
#define IDM_SHOW              103
#define IDM_MINIMIZE          104
#define IDM_MAXIMIZE          105
#define IDM_CLOSE             106
#define IDM_CREATESHORTCUT    107
#define IDM_PROPERTIES        108
#define IDM_RENAME            109
#define IDM_FOLDER_NEW        110
#define IDM_FOLDER_DELETE     111
#define IDM_FOLDER_PROPERTIES 112

// Move To and Copy To folder i: base + i, for pane indices 0-64.
#define IDM_MOVETO_FIRST      200
#define IDM_MOVETO_LAST       264
#define IDM_COPYTO_FIRST      300
#define IDM_COPYTO_LAST       364

// Main menu commands.
#define IDM_SETUP             40005
#define IDM_EXIT              40006
#define IDM_HELP_CONTENTS     40010
#define IDM_ABOUT             40011
#define IDM_LARGEICONS        40013
#define IDM_LIST              40014
#define IDM_RUN               40023
#define IDM_SMALLICONS        40024
#define IDM_DETAILS           40025
#define IDM_TOOLBAR           40026
#define IDM_STATUSBAR         40027
#define IDM_SCREENSAVER       40036
#define IDM_SELECTALL         40037
#define IDM_INVERTSELECTION   40038
#define IDM_FOLDERS           40049

// Placeholders of the Edit menu's two submenus.
#define IDM_MOVETO_MENU       40050
#define IDM_COPYTO_MENU       40051

// Toolbar button names (tooltips and the customisation list).
#define IDS_HELP              7
#define IDS_RUN               8
#define IDS_OPEN              9
#define IDS_HIDE              10
#define IDS_MINIMIZE          11
#define IDS_MAXIMIZE          12
#define IDS_RENAME            13
#define IDS_CLOSE             14
#define IDS_PROPERTIES        15
#define IDS_LARGEICONS        16
#define IDS_SMALLICONS        17
#define IDS_LIST              18
#define IDS_DETAILS           19
#define IDS_SPARE             20
#define IDS_SETUP             21
#define IDS_ABOUT             22
#define IDS_EXIT              23
#define IDS_SCREENSAVER       24
#define IDS_SHOW              25
#define IDS_FOLDERLIST        26
#define IDS_CREATESHORTCUT    27

// The toolbar's bitmap: 20 images of 18 x 17.
#define IDB_TOOLBAR           125

// Child window ids.
#define IDC_STATUSWINDOW      100
#define IDC_TOOLBARWINDOW     113

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
