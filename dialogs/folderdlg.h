// The Folder Properties dialog: the title, hot key and "List System Tasks"
// option of a new folder or of one being edited.
#pragma once
#include <windows.h>

#include <string>

#include "common/hotkeycode.h"

// What the dialog shows and, after OK, what the user chose. The caller
// makes or changes the folder and registers hot keys: the dialog does
// neither.
struct FolderDialogArgs {
    // In: a new folder (the caption "New Folder", an empty title, the box
    // clear), or a folder whose fields are given.
    bool NewFolder = false;
    // In: the folder's fields (for a new folder only the hot key offered);
    // out after OK: the fields chosen. A combination of modifiers without a
    // key comes back as no hot key.
    std::string Title;
    HotKeyCode HotKey = 0;
    DWORD ListSystemTasks = 0;
};

// Runs the dialog (template "VIEW") owned by owner; 1 after OK, 0
// otherwise.
INT_PTR RunFolderDialog(HWND owner, FolderDialogArgs& args);

// The hot key offered to the folder at a pane index: Ctrl+Alt+F1 for the
// first, F2 for the second, ..., none after F24.
HotKeyCode OfferedFolderHotKey(int paneIndex);
