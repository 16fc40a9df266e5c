// The Folder Properties dialog: makes a new folder, or edits the title, hot
// key and "List System Tasks" option of one.
#pragma once
#include <windows.h>

#include "common/hotkeycode.h"

struct Folder;

// Runs the dialog (template "VIEW") owned by owner; 1 after OK, 0 otherwise.
// In new-folder mode folder is null and paneIndex is the row the new folder
// will take, which chooses the hot key offered; OK appends the folder to the
// list and gives it its pane row. A full folder list is refused with a box
// and the dialog does not open. Otherwise the dialog edits folder, the
// folder of pane row paneIndex. The caller registers hot keys: the dialog
// registers none.
INT_PTR RunFolderDialog(HWND owner, Folder* folder, BOOL newFolderMode, int paneIndex);

// The hot key offered to the folder at a pane index: Ctrl+Alt+F1 for the
// first, F2 for the second, ..., none after F24.
HotKeyCode OfferedFolderHotKey(int paneIndex);

INT_PTR CALLBACK FolderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
