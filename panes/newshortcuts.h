// Shortcuts the user makes in the panes (from files dropped from the shell,
// and as copies and moves of rows) within a folder's limit, and the word to
// the user about what could not be made.
#pragma once
#include <windows.h>
#include <shellapi.h>

struct Folder;
struct RowSubject;

// What became of the files of a drop, or of the rows of a copy or move.
struct ShortcutTally {
    int Made = 0;
    int NoRoom = 0;   // not made: the folder was full
    int TooLong = 0;  // not made: a name or a text made from it would not fit whole
};

// Makes a shortcut of the folder for each dropped file, in order, placed at
// `position`. Files beyond the folder's room and names that would not be
// kept whole are counted, not made; a shell link whose target cannot be
// read ends the drop (the shortcuts made before it stay). A long drop shows
// the busy cursor and its progress in the status bar.
ShortcutTally AddDroppedFiles(HDROP drop, Folder* folder, POINT position);

// Moves or copies what a row of the item list stands for to the folder of
// a pane row (TransferToFolder), counting the shortcuts made and those the
// folder had no room for. A shortcut no longer of the current folder, or a
// window that has ended, is left alone.
bool TransferRow(const RowSubject& row, int paneIndex, bool move, ShortcutTally* tally);

// The caption of that box.
const char ShortcutTallyCaption[] = "Add Shortcuts";

// Tells the user, in one box, what was not made; nothing when all was.
// `things` names what was handed over ("file", "shortcut") and `done` what
// was to happen to it ("added", "copied", "moved").
void ReportShortcutTally(const ShortcutTally& tally, const char* things, const char* done);
