// The Setup dialog: the program's options, the toolbar's own customisation
// and the colour of the two lists.
#pragma once
#include <windows.h>

#include <functional>

#include "common/hotkeycode.h"

// The options the dialog shows and, after OK, those chosen; and the work
// it has done while it is still open. The caller applies the options and
// registers the global hot key again after Cancel: the dialog changes
// nothing itself.
struct SetupDialogArgs {
    // In, and out after OK: the options, as Settings holds them. The
    // priority comes back unchanged when none is selected.
    DWORD Priority = 0;
    DWORD Top = 0;
    DWORD Progman = 0;
    HotKeyCode HotKey = 0;
    DWORD TaskBar = 0;
    DWORD AutoClose = 0;
    // In: whether the shell has a notification area; without one "TaskBar
    // Icon" is disabled.
    bool HasTray = true;
    // In: the list colour, which the colour chooser opens preset to; it
    // follows each colour confirmed there.
    COLORREF Color = 0;
    // Called by OK with the chosen combination before anything else is
    // read: registers it as the global hot key; false when it cannot be
    // had. A combination another program holds is named, and the dialog
    // stays open with the focus in the hot-key field.
    std::function<bool(HotKeyCode)> TakeHotKey;
    // Called with a colour confirmed in the colour chooser: it applies at
    // once, and stays after Cancel too.
    std::function<void(COLORREF)> ApplyColor;
    // Called by "Tool Bar...": runs the toolbar's own customisation, whose
    // arrangement applies at once.
    std::function<void()> CustomizeToolbar;
};

// Runs the dialog (template "SETUP") owned by owner; 1 after OK, 0 after
// Cancel or the close box.
INT_PTR RunSetupDialog(HWND owner, SetupDialogArgs& args);

// Runs the colour chooser preset to *color; true, with the chosen colour
// stored, when the user confirms it, false with *color unchanged otherwise.
bool ChooseListColor(HWND owner, COLORREF* color);
