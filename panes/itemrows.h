// The item list's rows: what a row is, the records the rows stand on, the
// columns, the two image lists, the applying of a refresh pass gathered by
// the refresh thread, and the column sort.
//
// Every row has a record of its own (ItemRow), kept by this module from the
// row's making to its end at one address; the row's item data is that
// record. The module keeps its records in list order and by what they stand
// for (window -> row, shortcut -> row), so nothing searches the list for a
// row or walks it to learn what it holds. The cells beside the label are
// drawn from the record (the list asks for them, LVN_GETDISPINFO), so a cell
// that changes costs the record's text and, when it is in sight, its
// repainting.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

struct RefreshPass;
struct Shortcut;

// What a row stands for, as a value that may outlive the row (a walk over
// the selection that opens dialogs, a drag): a window, or a shortcut of the
// current folder.
struct RowSubject {
    HWND Window = nullptr;     // a window row's
    Shortcut* Link = nullptr;  // a shortcut row's: compared only, until LiveShortcut vouches for it

    bool IsShortcut() const { return Link != nullptr; }
    // The shortcut while it is one of the current folder's: one deleted, or
    // of a folder left, since the row was made gives null.
    Shortcut* LiveShortcut() const;
    // A window row's window while it exists (null for a shortcut row).
    HWND LiveWindow() const;
};

enum class RowKind {
    Task,      // a window that a pass listed
    PutAway,   // a window of the current folder's put-away list, or of the system list
    Shortcut,  // a shortcut of the current folder
};

// One row of the item list, with the facts it shows and sorts on: as of the
// last pass for a window, as of the last pass or change for a shortcut.
struct ItemRow : RowSubject {
    RowKind Kind = RowKind::Task;
    int Index = -1;  // its place in the list
    int Image = -1;
    // A shortcut row showing the placeholder until its own image is made;
    // whether it has asked for its icon yet.
    bool ImagePending = false;
    bool IconAsked = false;
    // The window's text (the label keeps the text the row was made with),
    // or the shortcut's title.
    std::string Title;
    const char* State = "";     // "Hidden", "Minimized", "Maximized", "Normal" or "Shortcut"
    // The priority class of the window's process (0 when it could not be
    // read), or the one the shortcut starts its program with; and its word.
    DWORD PriorityClass = 0;
    const char* Priority = "";
    // The process's start and processor times, when they could be read.
    bool HaveTimes = false;
    FILETIME Creation = {}, Kernel = {}, User = {};
    char Times[3][24] = {};     // their texts: "Started", "Kernel", "User"

    // The text of column 1 to 5 ("" for any other).
    const char* Cell(int column) const;
};

// On the interface thread: applies the pass to the model and the list,
// then frees it. A pass gathered before the latest rebuild request is
// dropped unapplied.
void ApplyRefreshPass(RefreshPass* pass);
void RefreshTaskList(const RefreshPass& pass);

// The number of rows; the record of a row (null when there is none); the
// row of a window, of a shortcut, of a subject (-1 when it has none).
int ItemRowCount();
const ItemRow* ItemRowAt(int index);
int RowOfWindow(HWND window);
int RowOfShortcut(const Shortcut* shortcut);
int RowOfSubject(const RowSubject& subject);

// The next selected row after `after` (-1: the first), -1 when none.
int NextSelectedItemRow(int after);

// Calls act(row) for each selected row in index order; the walk stops when
// act returns false. An act may open a dialog, while which passes change
// the rows: the walk goes on after the row's index, and act keeps of the
// row only what it copies (a RowSubject).
template <class Act>
void ForEachSelectedItemRow(Act act)
{
    for (int index = NextSelectedItemRow(-1); index >= 0; index = NextSelectedItemRow(index)) {
        const ItemRow* row = ItemRowAt(index);
        if (row && !act(*row))
            break;
    }
}

// Gives the row of a shortcut, or of a window, a new label (the shortcut
// retitled, or the shortcut of a Task's program); nothing when it has no
// row. A shortcut's row sorts by the new title at once.
void SetRowLabel(const Shortcut* shortcut, const char* label);
void SetRowLabel(HWND window, const char* label);

// The icon loader has icons for the shortcut rows still showing the
// placeholder (WM_ROWICONS): they take their own images.
void OnRowIconsLoaded();

// The list asks for a cell beside a label (LVN_GETDISPINFO).
void OnItemRowDisplayInfo(NMLVDISPINFOA* info);
// The list has sorted itself (LVM_SORTITEMS): the records learn their
// places.
void ItemRowsSorted();

// Creates the item list's report columns from Settings ColWidth.
void CreateItemColumns();
// Reads the columns' widths into Settings ColWidth (0 for a column the
// list does not have), whatever the view.
void ReadItemColumnWidths();

// The column sort: compares two rows' records by the column's text.
int CALLBACK CompareRows(LPARAM row1, LPARAM row2, LPARAM column);

// Frees every record and both image lists, and puts the counters back: at
// Exit (after the list is gone), and before a start-up.
void ResetItemRows();

// Figures that only the tests and the benchmark read: every write a pass
// makes to the item list (rows inserted, deleted or moved, cells changed: a
// pass that finds nothing changed makes none), and the passes applied.
LONG ItemListWrites();
LONG PassesApplied();
// The shortcut rows that still show the placeholder.
int RowsAwaitingImages();
