// The About box: the program's name and version.
#pragma once
#include <windows.h>

// Runs the modal About box owned by the main window; always 1.
INT_PTR RunAboutBox();

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
