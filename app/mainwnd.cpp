#include "app/mainwnd.h"

#include <commctrl.h>
#include <objbase.h>
#include <stdio.h>

#include "app/dialogcommands.h"
#include "app/faults.h"
#include "app/resource.h"
#include "app/startup.h"
#include "app/taskactions.h"
#include "winkit/winutil.h"
#include "common/version.h"
#include "common/messages.h"
#include "dialogs/aboutdlg.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemlist.h"
#include "panes/itemrows.h"
#include "panes/newshortcuts.h"
#include "panes/statusbar.h"
#include "panes/toolbar.h"
#include "panes/trayicon.h"
#include "store/putaway.h"
#include "store/registry.h"
#include "tasks/refresh.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/listrows.h"

namespace {

// The splitter between the lists is being dragged.
BOOL Splitting = FALSE;
// The child that had the focus when the main window was deactivated.
HWND LastFocus = nullptr;
// Exit or the installer's quit has begun: a second start's request is
// refused, so that it waits for this program to be gone.
bool Ending = false;

HMENU EditMenu()
{
    return GetSubMenu(GetMenu(ShellState.MainWindow), 1);
}

bool RequireSelection()
{
    if (SelectedCount(ShellState.ItemList) > 0)
        return true;
    MessageBoxA(ShellState.MainWindow, "Select task(s) before performing this command.",
                "Corvanix Command", MB_ICONINFORMATION);
    return false;
}

bool IsMinimized()
{
    return IsIconic(ShellState.MainWindow) != 0;
}

void HideMainWindow()
{
    ShowWindow(ShellState.MainWindow, SW_HIDE);
    ShellState.Hidden = 1;
}

// ---------------------------------------------------------------- layout

// The least room the lists keep, however small the window or far the
// splitter: the folder pane a folder's small icon and some of its title,
// the item list a large icon with its title, or a few rows.
const int MinPaneWidth = 64;
const int MinItemListWidth = 96;
const int MinListHeight = 80;

// What the toolbar above the lists and the status bar below them take.
int TopReserve()
{
    if (!Settings.ToolBar)
        return 0;
    RECT bar = {};
    GetClientRect(ShellState.ToolbarWindow, &bar);
    return bar.bottom + 2;
}

int BottomReserve()
{
    if (!Settings.StatusBar)
        return 0;
    RECT part = {};
    SendMessageA(ShellState.StatusWindow, SB_GETRECT, 0, (LPARAM)&part);
    return part.bottom;
}

// Where the layout puts the splitter: the position asked for, but never so
// far that a list goes out of sight. The setting keeps what was asked, so
// the window made small for a while loses nothing.
int SplitterAt(int requested, int clientWidth)
{
    int widest = clientWidth - ShellState.FrameWidth - MinItemListWidth;
    int at = requested < widest ? requested : widest;
    return at > MinPaneWidth ? at : MinPaneWidth;
}

int ClientWidth()
{
    RECT client;
    GetClientRect(ShellState.MainWindow, &client);
    return client.right;
}

void OnSize(WPARAM kind, LPARAM size)
{
    if (kind == SIZE_MINIMIZED)
        return;
    RECT client;
    GetClientRect(ShellState.MainWindow, &client);
    int top = TopReserve();
    int height = (client.bottom - client.top) - BottomReserve() - top;
    int splitter = SplitterAt((int)Settings.nViewX, client.right - client.left);
    if (Settings.Folders) {
        MoveWindow(ShellState.FolderPane, client.left, client.top + top, client.left + splitter,
                   height, TRUE);
        MoveWindow(ShellState.ItemList, client.left + ShellState.FrameWidth + splitter,
                   client.top + top,
                   (client.right - client.left) - ShellState.FrameWidth - splitter, height, TRUE);
    } else {
        MoveWindow(ShellState.ItemList, client.left, client.top + top,
                   client.right - client.left, height, TRUE);
    }
    SendMessageA(ShellState.ToolbarWindow, WM_SIZE, kind, size);
    PlaceStatusBar(kind, size);
    SendMessageA(ShellState.ItemList, LVM_ARRANGE, LVA_DEFAULT, 0);
}

void Relayout()
{
    SendMessageA(ShellState.MainWindow, WM_SIZE, 0, 0);
}

// The width the menu bar needs on one line: the sum of its items.
int MenuBarWidth()
{
    HWND main = ShellState.MainWindow;
    HMENU menu = GetMenu(main);
    int width = 0;
    for (int item = 0; item < GetMenuItemCount(menu); item++) {
        RECT box;
        if (GetMenuItemRect(main, menu, (UINT)item, &box))
            width += box.right - box.left;
    }
    return width;
}

// The width of the status bar's first two parts, the count and the load,
// with its size grip.
int StatusBarWidth()
{
    int edges[2] = {};
    if (!Settings.StatusBar || SendMessageA(ShellState.StatusWindow, SB_GETPARTS, 2, (LPARAM)edges) < 2)
        return 0;
    return edges[1] + GetSystemMetrics(SM_CXVSCROLL);
}

// The width of the toolbar's buttons as arranged, so that none is cut off;
// an arrangement of every button the toolbar offers is held to half the
// screen.
int ToolbarWidth()
{
    HWND toolbar = ShellState.ToolbarWindow;
    int count = Settings.ToolBar ? (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
    RECT last = {};
    if (count <= 0 || !SendMessageA(toolbar, TB_GETITEMRECT, count - 1, (LPARAM)&last))
        return 0;
    int half = GetSystemMetrics(SM_CXSCREEN) / 2;
    return last.right < half ? last.right : half;
}

// The smallest window that keeps the menu on one line, the toolbar, both
// lists with room for a few rows, and the status bar's count and load.
void OnGetMinMaxInfo(MINMAXINFO* limits)
{
    if (!ShellState.StatusWindow || !ShellState.ToolbarWindow)
        return;  // still being made
    int width = MinPaneWidth + ShellState.FrameWidth + MinItemListWidth;
    for (int needed : {MenuBarWidth(), StatusBarWidth(), ToolbarWidth()})
        width = needed > width ? needed : width;
    RECT frame = {0, 0, width, TopReserve() + MinListHeight + BottomReserve()};
    HWND main = ShellState.MainWindow;
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongA(main, GWL_STYLE), TRUE,
                       (DWORD)GetWindowLongA(main, GWL_EXSTYLE));
    if (limits->ptMinTrackSize.x < frame.right - frame.left)
        limits->ptMinTrackSize.x = frame.right - frame.left;
    if (limits->ptMinTrackSize.y < frame.bottom - frame.top)
        limits->ptMinTrackSize.y = frame.bottom - frame.top;
}

bool OverSplitter(int x)
{
    int splitter = SplitterAt((int)Settings.nViewX, ClientWidth());
    return x >= splitter && x <= splitter + ShellState.FrameWidth;
}

void StartSplitting()
{
    SetCapture(ShellState.MainWindow);
    SetCursor(ShellState.CursorTable[CursorSizeWE]);
    Splitting = TRUE;
}

// A drag of the splitter begins with a press in the gap between the lists.
void OnLeftButtonDown(LPARAM position)
{
    if (OverSplitter((short)LOWORD(position)))
        StartSplitting();
}

void OnMouseMove(WPARAM keys, LPARAM position)
{
    int x = (short)LOWORD(position);
    // The button held down since a press elsewhere (on a row, say) does
    // not take the splitter along as the mouse crosses the gap.
    if (!Splitting && OverSplitter(x) && !(keys & MK_LBUTTON)) {
        StartSplitting();
        return;
    }
    if (Splitting && (keys & MK_LBUTTON)) {
        RECT client;
        GetClientRect(ShellState.MainWindow, &client);
        Settings.nViewX = (DWORD)SplitterAt(x, client.right);
        SendMessageA(ShellState.MainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        UpdateWindow(ShellState.MainWindow);
        return;
    }
    ReleaseCapture();
    SetCursor(ShellState.CursorTable[CursorArrow]);
    Splitting = FALSE;
}

// ---------------------------------------------------------------- showing and hiding

void OnGlobalHotKey()
{
    if (ShellState.Hidden) {
        ShowMainWindow();
    } else if (!IsMinimized() && (ShellState.Active || Settings.Top)) {
        HideMainWindow();
    } else {
        if (IsMinimized())
            ShowWindow(ShellState.MainWindow, SW_RESTORE);
        SetForegroundWindow(ShellState.MainWindow);
    }
}

void OnFolderHotKey(int index)
{
    if (index < 0 || index >= FolderCount() || !FolderAt(index))
        return;
    SetRowState(ShellState.FolderPane, index, LVIS_SELECTED,
                LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED);
}

// A second start sends its request, so that the answer can say whether it
// was taken: refused once Exit has begun. Taken, it is posted to be carried
// out by the message loop, as a hot key is: a message sent from another
// thread may arrive while a folder switch waits on another program.
bool PostedOnForLater(UINT message, WPARAM wParam)
{
    if (!InSendMessage())
        return false;
    PostMessageA(ShellState.MainWindow, message, wParam, 0);
    return true;
}

LRESULT OnHotKey(WPARAM id)
{
    if (Ending)
        return 0;
    if (PostedOnForLater(WM_HOTKEY, id))
        return RequestTaken;
    if ((int)id == GlobalHotKeyId)
        OnGlobalHotKey();
    else
        OnFolderHotKey((int)(INT_PTR)id);
    return RequestTaken;
}

// The shell's callback names our one icon and a mouse message; anything
// else did not come from the shell.
void OnTrayIcon(WPARAM icon, LPARAM mouseMessage)
{
    if (icon != TrayIconId)
        return;
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN)
        ShowMainWindow();
}

// The refresh thread has left a pass to apply (the message carries
// nothing: a second one, or one from another process, finds none).
void OnPassReady(WPARAM wParam, LPARAM lParam)
{
    if (wParam || lParam)
        return;
    RefreshPass* pass = TakeReadyPass();
    if (!pass)
        return;
    ApplyRefreshPass(pass);
}

void OnClose()
{
    if (!ShellState.IsNewShell && Settings.TaskBar)
        ShowWindow(ShellState.MainWindow, SW_MINIMIZE);
    else if (Settings.HotKey == 0 && !Settings.TaskBar)
        SendMessageA(ShellState.MainWindow, WM_COMMAND, IDM_EXIT, 0);
    else
        HideMainWindow();
}

void OnActivateApp(WPARAM active)
{
    if (active || !Settings.AutoClose || ShellState.Busy || IsMinimized())
        return;
    if (Settings.HotKey != 0 || (Settings.TaskBar && !ShellState.IsNewShell))
        HideMainWindow();
}

void OnActivate(WPARAM state)
{
    ShellState.Active = LOWORD(state) != WA_INACTIVE;
    if (!ShellState.Active) {
        HWND focus = GetFocus();
        if (focus && IsChild(ShellState.MainWindow, focus))
            LastFocus = focus;
    } else if (!HIWORD(state)) {
        HWND focus = LastFocus;
        SetFocus(focus && IsWindowVisible(focus) ? focus : ShellState.ItemList);
    }
}

// ---------------------------------------------------------------- ending

// The window's normal rectangle, also while it is minimised.
RECT CurrentWindowRectangle()
{
    RECT rectangle = {};
    HWND main = ShellState.MainWindow;
    if (IsIconic(main)) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(main, &placement);
        rectangle = placement.rcNormalPosition;
    } else {
        GetWindowRect(main, &rectangle);
    }
    return rectangle;
}

void ShowEveryPutAwayWindow()
{
    for (int i = 0; i < FolderCount(); i++) {
        Folder* folder = FolderAt(i);
        if (folder)
            ShowAndClearContained(folder->Contained);
    }
    // Nobody will be left to send them once the answers come.
    SendWaitingShows();
}

void DestroyEverything()
{
    StopRefreshThread();
    RemoveFaultHandlers();
    DestroyWindow(ShellState.FolderPane);
    DestroyWindow(ShellState.ItemList);
    DestroyWindow(ShellState.MainWindow);
    DestroyMenu(ShellState.FolderMenu);
    DestroyMenu(ShellState.ItemMenu);
    for (int i = 0; i < IconEntries; i++)
        DestroyIcon(ShellState.IconTable[i]);
    for (int i = CursorCopy; i < CursorEntries; i++)
        DestroyCursor(ShellState.CursorTable[i]);
    DestroyFolderImages();
    ResetItemRows();
    UnregisterClassA(MainWindowClass, ShellState.Instance);
    UnregisterClassA("GETKEY", ShellState.Instance);
    LetGoOfInstance();
}

LRESULT OnExit()
{
    Ending = true;
    UnregisterHotKeys();
    ShowWindow(ShellState.MainWindow, SW_HIDE);
    if (IsMinimized())
        ShowWindow(ShellState.MainWindow, SW_RESTORE);
    SaveLayoutAndSettings();
    RunHistoryClear();
    ShowEveryPutAwayWindow();
    DeletePutAwayRecord();
    FreeAllFolders();
    // The pane's rows named the folders just freed.
    for (int row = 0; row < RowCount(ShellState.FolderPane); row++) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = 0;
        SendMessageA(ShellState.FolderPane, LVM_SETITEMA, 0, (LPARAM)&item);
    }
    if (ShellState.IsNewShell && Settings.TaskBar)
        RemoveTrayIcon();
    CloseHelp(ShellState.MainWindow);
    CoUninitialize();
    DestroyEverything();
    EndMessageLoop();
    return 1;
}

// The installer asks us to end at once: nothing is saved, but no window
// that a folder put away may stay hidden with nobody left who knows it.
void OnQuitNow()
{
    Ending = true;
    ShowEveryPutAwayWindow();
    DeletePutAwayRecord();
    if (ShellState.IsNewShell && Settings.TaskBar)
        RemoveTrayIcon();
    // The installer is about to replace the help file the viewer may hold.
    CloseHelp(ShellState.MainWindow);
    StopRefreshThread();
    RemoveFaultHandlers();
    EndMessageLoop();
}

// ---------------------------------------------------------------- views and panes

void SetView(int command)
{
    static const struct {
        int Command;
        DWORD Style;
        DWORD View;
    } views[] = {
        {IDM_LARGEICONS, LVS_ICON, 0},
        {IDM_SMALLICONS, LVS_SMALLICON, 1},
        {IDM_LIST, LVS_LIST, 2},
        {IDM_DETAILS, LVS_REPORT, 3},
    };
    HMENU menu = GetMenu(ShellState.MainWindow);
    for (const auto& view : views) {
        bool chosen = view.Command == command;
        if (chosen) {
            LONG_PTR style = GetWindowLongPtrA(ShellState.ItemList, GWL_STYLE);
            if ((DWORD)(style & LVS_TYPEMASK) != view.Style) {
                SetWindowLongPtrA(ShellState.ItemList, GWL_STYLE,
                                  (style & ~(LONG_PTR)LVS_TYPEMASK) | view.Style);
                // The rows are laid out anew: nothing of the old view may stay.
                SendMessageA(ShellState.ItemList, LVM_ARRANGE, LVA_DEFAULT, 0);
                InvalidateRect(ShellState.ItemList, nullptr, TRUE);
            }
            Settings.View = view.View;
        }
        CheckMenuItem(menu, view.Command, chosen ? MF_CHECKED : MF_UNCHECKED);
        SendMessageA(ShellState.ToolbarWindow, TB_SETSTATE, view.Command,
                     MAKELPARAM(chosen ? TBSTATE_CHECKED : TBSTATE_ENABLED, 0));
    }
}

void TogglePane(HWND pane, DWORD* field, int command)
{
    HMENU menu = GetMenu(ShellState.MainWindow);
    if (*field) {
        CheckMenuItem(menu, command, MF_UNCHECKED);
        ShowWindow(pane, SW_HIDE);
        *field = 0;
    } else {
        CheckMenuItem(menu, command, MF_CHECKED);
        ShowWindow(pane, SW_SHOW);
        *field = 1;
    }
    if (command == IDM_FOLDERS)
        SendMessageA(ShellState.ToolbarWindow, TB_CHECKBUTTON, IDM_FOLDERS, MAKELPARAM(*field, 0));
    Relayout();
}

// ---------------------------------------------------------------- selection commands

void SelectAll()
{
    for (int row = 0; row < RowCount(ShellState.ItemList); row++)
        SetRowState(ShellState.ItemList, row, LVIS_SELECTED, LVIS_SELECTED);
}

void InvertSelection()
{
    for (int row = 0; row < RowCount(ShellState.ItemList); row++) {
        bool selected = RowSelected(ShellState.ItemList, row);
        SetRowState(ShellState.ItemList, row, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    }
}

void TransferSelection(int paneIndex, bool move)
{
    if (!RequireSelection())
        return;
    ShortcutTally tally;
    ForEachSelectedItemRow([&](const ItemRow& row) {
        TransferRow(row, paneIndex, move, &tally);
        return true;
    });
    SyncPutAwayRecord();
    RequestRefresh();
    ReportShortcutTally(tally, "shortcut", move ? "moved" : "copied");
}

void StartScreenSaver()
{
    Sleep(100);
    PostMessageA(ShellState.MainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

// ---------------------------------------------------------------- menus

void RebuildTransferMenus()
{
    HMENU edit = EditMenu();
    if (!edit)
        return;
    // ModifyMenu frees the submenus it replaces.
    ShellState.MoveToMenu = CreatePopupMenu();
    ShellState.CopyToMenu = CreatePopupMenu();
    ModifyMenuA(edit, 3, MF_BYPOSITION | MF_POPUP, (UINT_PTR)ShellState.MoveToMenu, "&Move To");
    ModifyMenuA(edit, 4, MF_BYPOSITION | MF_POPUP, (UINT_PTR)ShellState.CopyToMenu, "&Copy To");
    // The commands reach folders 0 to 64; folders beyond (a registry
    // edited by hand) are reached by dragging.
    for (int i = 0; i < FolderCount() && i <= IDM_MOVETO_LAST - IDM_MOVETO_FIRST; i++) {
        if (i == ShellState.CurrentFolderIndex)
            continue;
        Folder* folder = FolderAt(i);
        if (!folder)
            continue;
        AppendMenuA(ShellState.MoveToMenu, MF_STRING, IDM_MOVETO_FIRST + i, folder->Title.Get());
        AppendMenuA(ShellState.CopyToMenu, MF_STRING, IDM_COPYTO_FIRST + i, folder->Title.Get());
    }
    UINT enable = SelectedCount(ShellState.ItemList) > 0 ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(edit, 3, MF_BYPOSITION | enable);
    EnableMenuItem(edit, 4, MF_BYPOSITION | enable);
}

void OnInitMenuPopup(HMENU menu)
{
    if (menu == ShellState.FolderMenu) {
        UINT enable = SelectedCount(ShellState.FolderPane) > 0 ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(menu, IDM_FOLDER_DELETE, enable);
        EnableMenuItem(menu, IDM_FOLDER_PROPERTIES, enable);
        EnableMenuItem(menu, IDM_FOLDER_NEW, MF_ENABLED);
    } else if (menu == ShellState.ItemMenu) {
        int selected = SelectedCount(ShellState.ItemList);
        UINT enable = selected > 0 ? MF_ENABLED : MF_GRAYED;
        for (int command : {IDM_OPEN, IDM_HIDE, IDM_MINIMIZE, IDM_MAXIMIZE, IDM_CLOSE,
                            IDM_PROPERTIES})
            EnableMenuItem(menu, command, enable);
        EnableMenuItem(menu, IDM_RENAME, selected == 1 ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(menu, IDM_CREATESHORTCUT, MF_ENABLED);
    }
}

void ShowContextMenu(HMENU menu)
{
    DWORD position = GetMessagePos();
    TrackPopupMenu(menu, TPM_LEFTBUTTON, (short)LOWORD(position), (short)HIWORD(position), 0,
                   ShellState.MainWindow, nullptr);
}

// ---------------------------------------------------------------- notifications

void SendCommand(int command)
{
    SendMessageA(ShellState.MainWindow, WM_COMMAND, command, 0);
}

void OnListKeyDown(HWND list, const NMLVKEYDOWN* key)
{
    bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    bool inPane = list == ShellState.FolderPane;
    switch (key->wVKey) {
    case VK_TAB:
        SetFocus(inPane ? ShellState.ItemList : ShellState.FolderPane);
        break;
    case VK_RETURN:
        if (alt)
            SendCommand(inPane ? IDM_FOLDER_PROPERTIES : IDM_PROPERTIES);
        else if (!inPane)
            SendCommand(IDM_OPEN);
        break;
    case VK_ESCAPE:
        SendMessageA(ShellState.MainWindow, WM_HOTKEY, GlobalHotKeyId, 0);
        break;
    case VK_INSERT:
        SendCommand(inPane ? IDM_FOLDER_NEW : IDM_CREATESHORTCUT);
        break;
    case VK_DELETE:
        SendCommand(inPane ? IDM_FOLDER_DELETE : IDM_CLOSE);
        break;
    case 'A':
        if (!inPane && control)
            SendCommand(IDM_SELECTALL);
        break;
    case 'I':
        if (!inPane && control)
            SendCommand(IDM_INVERTSELECTION);
        break;
    }
}

LRESULT OnEndLabelEdit(const NMLVDISPINFOA* edit)
{
    if (!edit->item.pszText || edit->item.iItem < 0)
        return 0;
    const ItemRow* row = ItemRowAt(edit->item.iItem);
    if (!row)
        return 0;
    if (Shortcut* shortcut = row->LiveShortcut()) {
        RenameShortcut(shortcut, edit->item.pszText);
        return 1;
    }
    return RenameTask(row->Window, edit->item.pszText) ? 1 : 0;
}

void StartRename()
{
    int row = FirstSelectedRow(ShellState.ItemList);
    if (row < 0)
        return;
    SetFocus(ShellState.ItemList);
    SendMessageA(ShellState.ItemList, LVM_EDITLABELA, row, 0);
}

LRESULT OnNotify(NMHDR* header)
{
    HWND from = header->hwndFrom;
    bool fromItems = from == ShellState.ItemList;
    bool fromPane = from == ShellState.FolderPane;
    switch (header->code) {
    case NM_DBLCLK:
        if (fromItems)
            ActivateRowAtCursor();
        return 0;
    case NM_RCLICK:
        if (fromPane) {
            EndKeepingFolderSelection();
            ShowContextMenu(ShellState.FolderMenu);
        } else if (fromItems) {
            ShowContextMenu(ShellState.ItemMenu);
        }
        return 0;
    case LVN_ITEMCHANGING:
        return fromPane && !FolderRowMayChange((NMLISTVIEW*)header) ? TRUE : FALSE;
    case LVN_ITEMCHANGED:
        if (fromPane)
            OnFolderRowChanged((NMLISTVIEW*)header);
        return 0;
    case LVN_ENDLABELEDITA:
        return fromItems ? OnEndLabelEdit((NMLVDISPINFOA*)header) : 0;
    case LVN_GETDISPINFOA:
        if (fromItems)
            OnItemRowDisplayInfo((NMLVDISPINFOA*)header);
        return 0;
    case LVN_COLUMNCLICK:
        if (fromItems)
            SendMessageA(ShellState.ItemList, LVM_SORTITEMS,
                         (WPARAM)((NMLISTVIEW*)header)->iSubItem, (LPARAM)CompareRows);
        return 0;
    case LVN_KEYDOWN:
        if (fromItems || fromPane)
            OnListKeyDown(from, (NMLVKEYDOWN*)header);
        return 0;
    case TTN_NEEDTEXTA:
        ToolbarOnNeedText(header);
        return 0;
    case TBN_GETBUTTONINFOA:
        return ToolbarOnGetButtonInfo((NMTOOLBARA*)header);
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        return 1;
    case TBN_CUSTHELP:
        ShowHelpTopic(ShellState.MainWindow, "Toolbar");
        return 0;
    }
    return 0;
}

// ---------------------------------------------------------------- commands

void ShowAboutBox()
{
    RunBusy([] {
        AboutBoxArgs args;
        args.Version = CORVANIX_PRODUCT_VERSION_TEXT;
        RunAboutBox(ShellState.MainWindow, args);
    });
}

LRESULT OnCommand(int command)
{
    switch (command) {
    case IDM_EXIT: return OnExit();
    case IDM_HELP_CONTENTS: ShowHelpContents(ShellState.MainWindow); break;
    case IDM_ABOUT: ShowAboutBox(); break;
    case IDM_LARGEICONS:
    case IDM_SMALLICONS:
    case IDM_LIST:
    case IDM_DETAILS: SetView(command); break;
    case IDM_TOOLBAR: TogglePane(ShellState.ToolbarWindow, &Settings.ToolBar, command); break;
    case IDM_STATUSBAR: TogglePane(ShellState.StatusWindow, &Settings.StatusBar, command); break;
    case IDM_FOLDERS: TogglePane(ShellState.FolderPane, &Settings.Folders, command); break;
    case IDM_SCREENSAVER: StartScreenSaver(); break;
    case IDM_FOLDER_NEW: NewFolderCommand(); break;
    case IDM_FOLDER_DELETE: DeleteSelectedFolder(); break;
    case IDM_FOLDER_PROPERTIES: FolderPropertiesCommand(); break;
    case IDM_SETUP: SetupCommand(); break;
    case IDM_SELECTALL: SelectAll(); break;
    case IDM_INVERTSELECTION: InvertSelection(); break;
    case IDM_OPEN: if (RequireSelection()) OpenSelected(); break;
    case IDM_HIDE: if (RequireSelection()) HideSelected(); break;
    case IDM_SHOW: if (RequireSelection()) ShowSelected(); break;
    case IDM_MINIMIZE: if (RequireSelection()) MinimizeSelected(); break;
    case IDM_MAXIMIZE: if (RequireSelection()) MaximizeSelected(); break;
    case IDM_CLOSE: if (RequireSelection()) CloseSelected(); break;
    case IDM_PROPERTIES: if (RequireSelection()) RunBusy(PropertiesOfSelected); break;
    case IDM_RENAME: if (RequireSelection()) StartRename(); break;
    case IDM_CREATESHORTCUT: RunBusy([] { CreateShortcutCommand(ShellState.MainWindow); }); break;
    case IDM_RUN: RunProgramCommand(); break;
    default:
        if (command >= IDM_MOVETO_FIRST && command <= IDM_MOVETO_LAST)
            TransferSelection(command - IDM_MOVETO_FIRST, true);
        else if (command >= IDM_COPYTO_FIRST && command <= IDM_COPYTO_LAST)
            TransferSelection(command - IDM_COPYTO_FIRST, false);
        break;
    }
    return 0;
}

// ---------------------------------------------------------------- the procedure

// The program's own messages (common/messages.h), from whoever posted
// them: a second start and the installer send no parameters, and these
// are answered only as they are sent.
LRESULT OnPrivateMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWMAINWINDOW:
        if (wParam || lParam || Ending)
            return 0;
        if (!PostedOnForLater(message, 0))
            ShowMainWindow();
        return RequestTaken;
    case WM_QUITNOW:
        if (!wParam && !lParam)
            OnQuitNow();
        break;
    case WM_TRAYICON: OnTrayIcon(wParam, lParam); break;
    case WM_APPLYREFRESH: OnPassReady(wParam, lParam); break;
    }
    return 0;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: OnSize(wParam, lParam); return 0;
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_SETFOCUS: SetFocus(ShellState.ItemList); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    case WM_SYSCOLORCHANGE:
        for (HWND child : {ShellState.FolderPane, ShellState.ItemList, ShellState.StatusWindow,
                           ShellState.ToolbarWindow})
            PostMessageA(child, message, wParam, lParam);
        break;
    case WM_ACTIVATEAPP: OnActivateApp(wParam); return 0;
    case WM_NOTIFY: return OnNotify((NMHDR*)lParam);
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_INITMENU: RebuildTransferMenus(); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup((HMENU)wParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(lParam); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo((MINMAXINFO*)lParam); return 0;
    case WM_HOTKEY: return OnHotKey(wParam);
    default:
        if (message >= FirstMainWindowMessage && message <= LastMainWindowMessage)
            return OnPrivateMessage(message, wParam, lParam);
        if (message == TaskbarCreatedMessage()) {
            OnTaskbarCreated();
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(window, message, wParam, lParam, HandleMessage);
}

bool IsSplitting()
{
    return Splitting != FALSE;
}

void ResetMainWindow()
{
    Splitting = FALSE;
    LastFocus = nullptr;
    Ending = false;
}

int ViewCommandOf(DWORD view)
{
    switch (view) {
    case 0: return IDM_LARGEICONS;
    case 1: return IDM_SMALLICONS;
    case 2: return IDM_LIST;
    default: return IDM_DETAILS;
    }
}

void ShowMainWindow()
{
    HWND main = ShellState.MainWindow;
    if (ShellState.Hidden) {
        ShowWindow(main, SW_SHOW);
        if (IsIconic(main))
            ShowWindow(main, SW_RESTORE);
        SetForegroundWindow(main);
        ShellState.Hidden = 0;
    } else {
        if (IsIconic(main))
            ShowWindow(main, SW_RESTORE);
        SetForegroundWindow(main);
    }
}

void SaveLayoutAndSettings()
{
    Settings.Window = CurrentWindowRectangle();
    ReadItemColumnWidths();
    LayoutRecord layout;
    layout.ToolbarButtons = ToolbarArrangement();
    SaveSettings(layout);
}
