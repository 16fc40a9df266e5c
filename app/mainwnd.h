// The main window: layout, splitter, menus, hot keys, tray icon, the
// notifications of its child windows and the dispatch of every command.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The view command for a Settings View value: 40013, 40024, 40014, 40025.
int ViewCommandOf(DWORD view);

// Brings the main window up: shown, restored and in front.
void ShowMainWindow();

// Fills in the layout (rectangle, column widths, toolbar arrangement) and
// saves it with everything else.
void SaveLayoutAndSettings();

// The text of the exception report for a message.
void ExceptionReportText(UINT message, WPARAM wParam, LPARAM lParam, char* buffer, int size);

// Runs the handling of one message; an exception escaping from it is
// reported in the "Exception Error" box owned by the window, and the
// message counts as handled (result 0).
template <class Handler>
LRESULT GuardedCall(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Handler handle)
{
    try {
        return handle(window, message, wParam, lParam);
    } catch (...) {
        char text[512];
        ExceptionReportText(message, wParam, lParam, text, sizeof text);
        MessageBoxA(window, text, "Exception Error", MB_ICONERROR);
        return 0;
    }
}
