// The folder pane window: one row per folder, in the order of the folder
// list, each row's data its folder; the selected row is the current folder.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct Folder;

LRESULT CALLBACK FolderPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// Makes a new list view the folder pane: subclassed, its images the closed
// and the open folder. The pane is a report without a header whose one
// column, the titles, is kept as wide as the pane: titles never need a
// horizontal scroll bar.
void SetUpFolderPane(HWND pane);
// At Exit, with the pane.
void DestroyFolderImages();
// Forgets the pane of an earlier run (the tests start the program many
// times in one process).
void ResetFolderPane();

// Gives every folder of the list its row (after the load at start-up).
void FillFolderPane();
// Appends the row of a folder just added at the end of the list.
void AddFolderRow(Folder* folder);
// Shows a folder's title in its row again.
void UpdateFolderRow(int paneIndex);

// LVN_ITEMCHANGED from the pane: a row that becomes selected makes its
// folder the current one (the whole switch, also for the current folder's
// row selected again after it lost the selection); a row that loses the
// selection shows the closed folder again.
void OnFolderRowChanged(const NMLISTVIEW* change);

// LVN_ITEMCHANGING from the pane: false refuses the change. A right-click
// on the pane's empty space leaves the current folder selected; the click
// ends its hold on the selection once it reaches the main window
// (EndKeepingFolderSelection), before the folder menu opens.
bool FolderRowMayChange(const NMLISTVIEW* change);
void EndKeepingFolderSelection();

// At start-up: selects the first row, whose folder the load made current,
// putting nothing away.
void SelectFirstFolderRow();

// The folder switch to the folder of a pane row: the visible application
// windows are put away into the folder being left (unless putAway is
// false: that folder is being deleted), the folder entered becomes current
// and its windows come back, and the list is rebuilt.
void SwitchToFolder(int paneIndex, bool putAway = true);

// The Delete command: deletes the selected folder after confirmation; the
// first folder is never deleted.
void DeleteSelectedFolder();
