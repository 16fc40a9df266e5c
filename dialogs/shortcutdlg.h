// The Shortcut Properties dialog: creates a shortcut in the current folder
// or edits one.
#pragma once
#include <windows.h>

struct Shortcut;

// Runs the dialog: in create mode for a new shortcut of the current folder
// (shortcut and row are not used), otherwise on the shortcut given, whose
// item-list row is row (-1 when it has none or the caller does not know
// it). Returns 1 after OK (the shortcut stored, the item list asked to
// rebuild) and 0 otherwise: Cancel, the close box, or a new shortcut that
// could not be made.
INT_PTR RunShortcutDialog(HWND owner, Shortcut* shortcut, BOOL createMode, int row);

INT_PTR CALLBACK ShortcutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
