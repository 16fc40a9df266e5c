// The Shortcut Properties dialog: creates a shortcut in the current folder
// or edits one.
#pragma once
#include <windows.h>

// Runs the dialog for ShellState's CreateMode, EditedShortcut and
// EditedRow; returns IDOK or IDCANCEL.
INT_PTR RunShortcutDialog(HWND owner);
