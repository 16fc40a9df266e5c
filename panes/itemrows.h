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

// Creates the item list's report columns from Settings ColWidth.
void CreateItemColumns();
// Reads the columns' widths into Settings ColWidth (0 for a column the
// list does not have), whatever the view.
void ReadItemColumnWidths();

// The column sort: compares two rows' values by the column's text.
int CALLBACK CompareRows(LPARAM data1, LPARAM data2, LPARAM column);
