#include "winkit/listrows.h"

bool RowData(HWND list, int row, LPARAM* data)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item))
        return false;
    *data = item.lParam;
    return true;
}

int RowCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

int SelectedCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
}

bool RowSelected(HWND list, int row)
{
    return (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int FirstSelectedRow(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

void SetRowState(HWND list, int row, UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
}
