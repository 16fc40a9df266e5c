// Everything the program remembers between runs, in the current user's
// registry: the options, the Run history, the folders with their shortcuts
// and the main window's layout.
//
// The store knows what it last read or wrote (each value by a hash of its
// stored form), so that a save writes only what changed since; a key that
// something else changed meanwhile (its last-write time or its counts are
// not what the store left) is read again, or a folder's key written anew.
// A save goes through the journal of store/journal.h, so that it is never
// cut in half. A load takes at most MaxShortcutsPerFolder shortcuts of a
// folder; those beyond stay stored in its key, untouched by saves, and
// come in at a later start as room is made.
#pragma once
#include <windows.h>

#include <vector>

// The main window's layout as it is stored. The rectangle, the view and the
// column widths are Settings fields; the toolbar's arrangement travels
// here. The main window fills both in before a save and applies them after
// a load: the store itself knows no window.
struct LayoutRecord {
    // The toolbar's buttons from left to right, each by its command; 0 is a
    // separator. Whether the commands are buttons the toolbar knows is the
    // toolbar's to judge.
    std::vector<int> ToolbarButtons;
    // Whether an arrangement is stored at all: an empty one is a toolbar
    // the user emptied.
    bool ToolbarStored = false;
};

// Finishes a save that was cut short, then reads the options, the layout,
// the Run history, the folders and their shortcuts (a first start gets the
// folder "Main").
void LoadSettings(LayoutRecord* layout);
// Writes what changed since the last load or save.
void SaveSettings(const LayoutRecord& layout);
