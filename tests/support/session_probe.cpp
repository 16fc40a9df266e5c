#include "session_probe.h"

#include <commctrl.h>

#include "model/model.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemrows.h"
#include "winkit/listrows.h"
#include "wait.h"

int ItemRowOf(LPARAM data)
{
    int row = RowOfWindow((HWND)data);
    return row >= 0 ? row : RowOfShortcut((const Shortcut*)data);
}

int ItemRowOf(HWND window)
{
    return ItemRowOf((LPARAM)window);
}

int ItemRowOf(const Shortcut* shortcut)
{
    return ItemRowOf((LPARAM)shortcut);
}

std::string ItemCell(int row, int column)
{
    char text[MaxText] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = MaxText;
    SendMessageA(ShellState.ItemList, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

int ItemRows()
{
    return RowCount(ShellState.ItemList);
}

std::vector<std::string> ItemLabels()
{
    std::vector<std::string> labels;
    for (int row = 0; row < ItemRows(); row++)
        labels.push_back(ItemCell(row, 0));
    return labels;
}

POINT ItemPosition(int row)
{
    POINT position = {};
    SendMessageA(ShellState.ItemList, LVM_GETITEMPOSITION, row, (LPARAM)&position);
    return position;
}

int ItemColumnCount()
{
    HWND header = (HWND)SendMessageA(ShellState.ItemList, LVM_GETHEADER, 0, 0);
    return header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

std::vector<std::string> AllItemCells()
{
    std::vector<std::string> cells;
    for (int row = 0; row < ItemRows(); row++)
        for (int column = 0; column < 6; column++)
            cells.push_back(ItemCell(row, column));
    return cells;
}

bool AllVisible(const std::vector<HWND>& windows, bool visible)
{
    for (HWND window : windows)
        if ((IsWindowVisible(window) != 0) != visible)
            return false;
    return true;
}

int AddFolder(const char* title)
{
    Folder* folder = CreateFolder(title, 0, 0);
    if (folder)
        AddFolderRow(folder);
    return FolderIndexOf(folder);
}

void SelectFolder(int paneIndex)
{
    SetRowState(ShellState.FolderPane, paneIndex, LVIS_SELECTED | LVIS_FOCUSED,
                LVIS_SELECTED | LVIS_FOCUSED);
}

void SelectItemRows(const std::vector<int>& rows)
{
    SetRowState(ShellState.ItemList, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        SetRowState(ShellState.ItemList, row, LVIS_SELECTED, LVIS_SELECTED);
}

bool WaitForList(bool (*cond)(LPARAM), LPARAM arg, DWORD timeoutMs)
{
    return WaitFor([&] { return cond(arg); }, timeoutMs, 10);
}
