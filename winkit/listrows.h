// Reading and walking the rows of the two list views.
#pragma once
#include <windows.h>
#include <commctrl.h>

// The item data of a list-view row; false when the row cannot be read.
bool RowData(HWND list, int row, LPARAM* data);
int RowCount(HWND list);
int SelectedCount(HWND list);
bool RowSelected(HWND list, int row);
// The first selected row, -1 when none.
int FirstSelectedRow(HWND list);
// Sets the row's state bits given by mask.
void SetRowState(HWND list, int row, UINT state, UINT mask);
