// The main window: layout, splitter, menus, hot keys, tray icon, the
// notifications of its child windows and the dispatch of every command.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the splitter between the lists is being dragged.
bool IsSplitting();
// Forgets the splitter drag and the focus of an earlier run (the tests
// start the program many times in one process).
void ResetMainWindow();

// The view command for a Settings View value: 40013, 40024, 40014, 40025.
int ViewCommandOf(DWORD view);

// Brings the main window up: shown, restored and in front.
void ShowMainWindow();

// Fills in the layout (rectangle, column widths, toolbar arrangement) and
// saves it with everything else.
void SaveLayoutAndSettings();
