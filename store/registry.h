// Everything the program remembers between runs, in the current user's
// registry: the options, the Run history, the folders with their shortcuts
// and the main window's layout.
#pragma once
#include <windows.h>

#include <vector>

// The main window's layout as it is stored. The rectangle, the view and the
// column widths are Settings fields; the toolbar's arrangement travels
// here. The main window fills both in before a save and applies them after
// a load: the store itself knows no window.
struct LayoutRecord {
    // The toolbar's buttons from left to right, each by its command; 0 is a
    // separator. Empty when nothing of that form is stored; whether the
    // commands are buttons the toolbar knows is the toolbar's to judge.
    std::vector<int> ToolbarButtons;
};

// Reads the options, the layout, the Run history, the folders and their
// shortcuts (a first start gets the folder "Main").
void LoadSettings(LayoutRecord* layout);
// Writes them all back.
void SaveSettings(const LayoutRecord& layout);
