// Reading and walking the rows of the two list views.
#pragma once
#include <windows.h>
#include <commctrl.h>

// The item data of a list-view row; false when the row cannot be read.
bool RowData(HWND list, int row, LPARAM* data);
int RowCount(HWND list);
// The row whose item data is the value, -1 when none.
int RowOfData(HWND list, LPARAM data);
int SelectedCount(HWND list);
bool RowSelected(HWND list, int row);
// The first selected row, -1 when none.
int FirstSelectedRow(HWND list);
// Sets the row's state bits given by mask.
void SetRowState(HWND list, int row, UINT state, UINT mask);

// Calls act(row, data) for each selected row in index order, reading the
// row count afresh at every step (an act may add or remove rows); a row
// whose data cannot be read is skipped. The walk stops when act returns
// false.
template <class Act>
void ForEachSelectedRow(HWND list, Act act)
{
    for (int row = 0; row < RowCount(list); row++) {
        if (!RowSelected(list, row))
            continue;
        LPARAM data;
        if (!RowData(list, row, &data))
            continue;
        if (!act(row, data))
            break;
    }
}
