// The main window: layout, splitter, menus, hot keys, tray icon, the
// notifications of its child windows and the dispatch of every command.
#pragma once
#include <windows.h>

#include "core/faultguard.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The view command for a Settings View value: 40013, 40024, 40014, 40025.
int ViewCommandOf(DWORD view);

// Brings the main window up: shown, restored and in front.
void ShowMainWindow();

// Fills in the layout (rectangle, column widths, toolbar arrangement) and
// saves it with everything else.
void SaveLayoutAndSettings();
