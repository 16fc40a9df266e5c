// The item list's rows: its columns, its two image lists, the applying of a
// refresh pass gathered by the refresh thread, and the column sort.
#pragma once
#include <windows.h>

struct RefreshPass;

// On the interface thread: applies the pass to the model and the list,
// then frees it. A pass gathered before the latest rebuild request is
// dropped unapplied.
void ApplyRefreshPass(RefreshPass* pass);
void RefreshTaskList(const RefreshPass& pass);

// Sets the label of the item-list row that holds value (a shortcut of the
// current folder, or a Task's window). Rows move while a dialog is open
// (the refresh goes on): rowHint is where the row was last seen (-1 when
// not known); when that row holds something else now, the row that holds
// the value is looked for. Nothing happens when no row holds it.
void SetItemRowLabel(LPARAM value, int rowHint, const char* label);

// Creates the item list's report columns from Settings ColWidth.
void CreateItemColumns();
// Reads the columns' widths into Settings ColWidth (0 for a column the
// list does not have), whatever the view.
void ReadItemColumnWidths();

// The column sort: compares two rows' values by the column's text.
int CALLBACK CompareRows(LPARAM data1, LPARAM data2, LPARAM column);
