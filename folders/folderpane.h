// The folder pane window: one row per folder; the selected row is the
// current folder.
#pragma once
#include <windows.h>

LRESULT CALLBACK FolderPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// The Delete command: deletes the selected folder after confirmation; the
// first folder is never deleted.
void DeleteSelectedFolder();
