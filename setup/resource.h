// Identifiers of the setup program's resources, commands and controls.
#pragma once

// Posted to the background window once the message loop runs: the setup
// flow starts.
#define IDM_SETUP_START         100

// WELCOME screen: its buttons end it with their ids (Cancel is IDCANCEL).
#define IDC_WELCOME_INSTALL     1039
#define IDC_WELCOME_REMOVE      3

// HOTKEY screen: the GETKEY control.
#define IDC_HOTKEY_KEY          1041

// Progress window (MODELESS): what is being done, and what it is done to;
// the two other lines stay empty.
#define IDC_PROGRESS_ACTION     1065
#define IDC_PROGRESS_SPARE1     1066
#define IDC_PROGRESS_ITEM       1067
#define IDC_PROGRESS_SPARE2     1068
