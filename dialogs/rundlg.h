// The Run dialog: starts any command, offering the commands run before.
#pragma once
#include <windows.h>

// Runs the dialog; returns the id of the process it started, 0 when it
// started none (Cancel or the close box).
INT_PTR RunRunDialog(HWND owner);

INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
