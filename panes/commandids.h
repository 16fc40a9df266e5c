// The main window's command identifiers (menus, toolbar buttons, keys and
// the context menus), the toolbar's button names and bitmap, the child
// windows' ids and the global hot key's identifier: what the panes and the
// main window share. The resource script takes them through app/resource.h.
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

#ifndef RC_INVOKED
// Hot-key identifier of the global hot key; folders use their pane index.
const int GlobalHotKeyId = 0xBFF0;  // 49136
#endif
