#include "panes/folderpane.h"

#include <shellapi.h>
#include <stdio.h>

#include "common/messages.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/dropblock.h"
#include "panes/itemlist.h"
#include "panes/newshortcuts.h"
#include "store/putaway.h"
#include "tasks/taskenum.h"
#include "winkit/faultguard.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"

namespace {

const int ClosedFolderImage = 0;
const int OpenFolderImage = 1;

// The list view's own procedure, which the pane's passes on to, and the
// pane's images: the closed and the open folder.
WNDPROC DefaultProc = nullptr;
HIMAGELIST FolderImages = nullptr;

// The row being selected is that of the folder made current already: it
// is only marked as current, and nothing is put away.
bool SelectingCurrentRow = false;
// A right-click on the pane's empty space is under way: the current
// folder keeps its selection.
bool KeepingSelection = false;

void SetFolderImage(int row, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    SendMessageA(ShellState.FolderPane, LVM_SETITEMA, 0, (LPARAM)&item);
}

// The main window's caption names the current folder.
void ShowFolderTitle()
{
    if (!ShellState.CurrentFolder)
        return;
    char title[MaxText + 16];
    snprintf(title, sizeof title, "Corvanix - %s", ShellState.CurrentFolder->Title.Get());
    SetWindowTextA(ShellState.MainWindow, title);
}

// The current folder's row, marked as such.
void MarkCurrentRow(int row)
{
    ShellState.CurrentFolderIndex = row;
    SetFolderImage(row, OpenFolderImage);
    ShowFolderTitle();
}

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
    POINT point = {};
    DragQueryPoint(drop, &point);
    int row = HitRow(pane, point);
    LPARAM value;
    if (row < 0 || !RowData(pane, row, &value) || !value) {
        DragFinish(drop);
        return;
    }
    Folder* target = (Folder*)value;
    SetRowState(pane, row, 0, LVIS_DROPHILITED);
    ShortcutTally tally = AddDroppedFiles(drop, target, POINT{0, 0});
    if (target == ShellState.CurrentFolder)
        RequestRefresh();
    DragFinish(drop);
    ReportShortcutTally(tally, "file", "added");
}

// The titles' column spans the pane, whatever its width: a title longer
// than that is cut short with an ellipsis rather than scrolled.
void FitTitleColumn(HWND pane)
{
    RECT client;
    GetClientRect(pane, &client);
    if ((int)SendMessageA(pane, LVM_GETCOLUMNWIDTH, 0, 0) != client.right)
        SendMessageA(pane, LVM_SETCOLUMNWIDTH, 0, client.right);
}

// The list view takes the selection away before it reports the click that
// opens the folder menu; the title would name a folder that no row shows
// as current, and the menu would offer nothing to act on.
LRESULT OnRightButtonDown(HWND pane, WPARAM wParam, LPARAM lParam)
{
    POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    KeepingSelection = HitRow(pane, point) < 0;
    LRESULT result = CallWindowProcA(DefaultProc, pane, WM_RBUTTONDOWN, wParam, lParam);
    KeepingSelection = false;
    return result;
}

void SelectAsCurrent(int row, UINT mask)
{
    SelectingCurrentRow = true;
    SetRowState(ShellState.FolderPane, row, LVIS_SELECTED | LVIS_FOCUSED, mask);
    SelectingCurrentRow = false;
}

LRESULT OnSize(HWND pane, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(DefaultProc, pane, WM_SIZE, wParam, lParam);
    FitTitleColumn(pane);
    return result;
}

LRESULT HandleFolderPaneMessage(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPHOVER: return IsOwnDropHover(wParam, lParam) ? OnDropHover(pane) : 0;
    case WM_DROPFILES:
        if (IsDropBlock((HDROP)wParam))
            OnDropFiles(pane, (HDROP)wParam);
        return 0;
    case WM_SIZE: return OnSize(pane, wParam, lParam);
    case WM_RBUTTONDOWN: return OnRightButtonDown(pane, wParam, lParam);
    default: return PassListMessage(pane, DefaultProc, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK FolderPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(pane, message, wParam, lParam, HandleFolderPaneMessage);
}

void SetUpFolderPane(HWND pane)
{
    DefaultProc = (WNDPROC)SetWindowLongPtrA(pane, GWLP_WNDPROC, (LONG_PTR)FolderPaneProc);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    SendMessageA(pane, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    FitTitleColumn(pane);
    FolderImages = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR4, 2, 0);
    SendMessageA(pane, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)FolderImages);
    ImageList_AddIcon(FolderImages, ShellState.IconTable[IconView]);
    ImageList_AddIcon(FolderImages, ShellState.IconTable[IconOpenView]);
}

void DestroyFolderImages()
{
    ImageList_Destroy(FolderImages);
}

void ResetFolderPane()
{
    DefaultProc = nullptr;
    FolderImages = nullptr;
}

void AddFolderRow(Folder* folder)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = RowCount(ShellState.FolderPane);
    item.pszText = const_cast<char*>(folder->Title.Get());
    item.iImage = ClosedFolderImage;
    item.lParam = (LPARAM)folder;
    SendMessageA(ShellState.FolderPane, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

void FillFolderPane()
{
    SendMessageA(ShellState.FolderPane, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < FolderCount(); i++)
        AddFolderRow(FolderAt(i));
}

void UpdateFolderRow(int paneIndex)
{
    Folder* folder = FolderAt(paneIndex);
    if (!folder)
        return;
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(folder->Title.Get());
    SendMessageA(ShellState.FolderPane, LVM_SETITEMTEXTA, paneIndex, (LPARAM)&item);
    if (folder == ShellState.CurrentFolder)
        ShowFolderTitle();
}

void OnFolderRowChanged(const NMLISTVIEW* change)
{
    if (!(change->uChanged & LVIF_STATE) || change->iItem < 0)
        return;
    bool selected = (change->uNewState & LVIS_SELECTED) != 0;
    bool wasSelected = (change->uOldState & LVIS_SELECTED) != 0;
    if (!selected) {
        SetFolderImage(change->iItem, ClosedFolderImage);
        return;
    }
    // Only a row that becomes selected switches; focus changes do not.
    if (wasSelected)
        return;
    // The current folder's row selected again after it lost the selection
    // runs the whole switch, as any other row does.
    if (SelectingCurrentRow)
        MarkCurrentRow(change->iItem);
    else
        SwitchToFolder(change->iItem);
}

bool FolderRowMayChange(const NMLISTVIEW* change)
{
    bool deselects = (change->uChanged & LVIF_STATE) && (change->uOldState & LVIS_SELECTED) &&
                     !(change->uNewState & LVIS_SELECTED);
    return !(KeepingSelection && deselects);
}

void EndKeepingFolderSelection()
{
    KeepingSelection = false;
}

void SelectFirstFolderRow()
{
    if (FolderCount() > 0)
        SelectAsCurrent(0, LVIS_SELECTED | LVIS_FOCUSED);
}

void SwitchToFolder(int paneIndex, bool putAway)
{
    ShellState.CurrentFolderIndex = paneIndex;
    LPARAM data;
    if (!RowData(ShellState.FolderPane, paneIndex, &data))
        return;
    SetFolderImage(paneIndex, OpenFolderImage);

    Folder* folder = (Folder*)data;
    if (folder) {
        RunBusy([folder, putAway] {
            {
                // The hides and shows of one switch go together: a window
                // put away and shown again gets neither, and each owner one
                // acknowledgement.
                ShowRequestBatch requests;
                if (putAway)
                    EnumerateTasks(EnumContain);
                ShellState.CurrentFolder = folder;
                ShowFolderWindows(folder);
            }
            // The shows are on their way: the record lets go of their windows.
            SyncPutAwayRecord();
            RequestRefresh();
        });
    }
    ShowFolderTitle();
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
    if (FolderAt(row - 1)) {
        SwitchToFolder(row - 1, folder != ShellState.CurrentFolder);
        SelectAsCurrent(row - 1, 0x000F);
    }
    ShowAndClearContained(folder->Contained);
    RemoveFolder(folder);
    SendMessageA(pane, LVM_DELETEITEM, row, 0);
    // The folders after it have moved up one place.
    SyncPutAwayRecord();
    RequestRefresh();
}
