// The Shortcut Properties dialog: creates a shortcut in the current folder
// or edits one.
#pragma once
#include <windows.h>

struct Shortcut;

// Runs the dialog: in create mode for a new shortcut of the current folder,
// otherwise on the shortcut given, whose item-list row is row (-1 when it
// has none). Returns IDOK or IDCANCEL.
INT_PTR RunShortcutDialog(HWND owner, Shortcut* shortcut, BOOL createMode, int row);
