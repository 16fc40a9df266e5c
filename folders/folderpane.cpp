#include "folders/folderpane.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>

#include "app/itemrows.h"
#include "app/mainwnd.h"
#include "app/shellstate.h"
#include "folders/itemlist.h"
#include "folders/model.h"
#include "folders/shelllink.h"

namespace {

LRESULT OnDropHover(HWND pane)
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(pane, &point);
    int row = HitRow(pane, point);
    SetDropHighlight(pane, row);
    return row >= 0 ? 1 : 0;
}

// Files dropped onto a folder row become shortcuts of that folder.
void OnDropFiles(HWND pane, HDROP drop)
{
    Folder* target = nullptr;
    ForEachDroppedFile(drop, pane, [&](const char* name, POINT, int row) {
        LPARAM value;
        if (row < 0 || !RowData(pane, row, &value) || !value)
            return false;
        target = (Folder*)value;
        SetRowState(pane, row, 0, LVIS_DROPHILITED);
        ShortcutFields fields;
        if (!ShortcutFromFile(name, &fields))
            return false;
        AddShortcutFromFields(target, fields);
        return true;
    });
    if (target && target == ShellState.CurrentFolder)
        RequestRefresh();
    DragFinish(drop);
}

} // namespace

LRESULT CALLBACK FolderPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPHOVER: return OnDropHover(pane);
    case WM_DROPFILES: OnDropFiles(pane, (HDROP)wParam); return 0;
    default: return CallWindowProcA(ShellState.FolderPaneDefaultProc, pane, message, wParam, lParam);
    }
}

void DeleteSelectedFolder()
{
    HWND pane = ShellState.FolderPane;
    int row = FirstSelectedRow(pane);
    if (row < 0)
        return;
    if (row == 0) {
        MessageBoxA(ShellState.MainWindow, "Can't delete all of the folders.", "Delete Folder",
                    MB_ICONERROR);
        return;
    }
    char title[MaxText] = "";
    LVITEMA item = {};
    item.pszText = title;
    item.cchTextMax = MaxText;
    SendMessageA(pane, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    char question[MaxText + 64];
    snprintf(question, sizeof question, "Confirm Delete of Folder \"%s\".", title);
    if (MessageBoxA(ShellState.MainWindow, question, "Delete Folder", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    LPARAM value;
    if (!RowData(pane, row, &value) || !value)
        return;
    Folder* folder = (Folder*)value;

    // Its windows come back on screen; the folder they were in is going.
    ShowAndClearContained(folder->Contained);
    // The row before takes over. The switch puts no window away into the
    // folder being deleted: whatever is on screen stays there.
    LPARAM previous;
    if (RowData(pane, row - 1, &previous) && previous) {
        ShellState.SwitchWithoutContain = folder == ShellState.CurrentFolder;
        SetRowState(pane, row - 1, LVIS_SELECTED | LVIS_FOCUSED, 0x000F);
        ShellState.SwitchWithoutContain = FALSE;
        ShellState.CurrentFolder = (Folder*)previous;
        ShellState.CurrentFolderIndex = row - 1;
    }
    ShowAndClearContained(folder->Contained);
    FreeFolder(folder);
    SendMessageA(pane, LVM_DELETEITEM, row, 0);
    RequestRefresh();
}
