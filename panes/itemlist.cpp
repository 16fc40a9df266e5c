#include "panes/itemlist.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/messages.h"
#include "launch/launch.h"
#include "launch/shelllink.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/dropblock.h"
#include "panes/itemrows.h"
#include "panes/newshortcuts.h"
#include "store/putaway.h"
#include "winkit/faultguard.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"

namespace {

const size_t MaxDragItems = 500;

// The list view's own procedure, which the item list's passes on to.
WNDPROC DefaultProc = nullptr;

// The block of a file drop, as the shell lays it out: the offset of the
// file list, the drop point, whether it fell outside the client area, and
// whether the names are wide; the names follow, each terminated, and one
// more terminator ends them.
struct DropFilesBlock {
    DWORD FileListOffset;
    POINT Point;
    BOOL NonClient;
    BOOL Wide;
};
static_assert(sizeof(DropFilesBlock) == 20, "the drop block's header is 20 bytes");

// A row the drag took along: its place and what it stands for (the drag
// lets keys through, and a command they give may end the row meanwhile).
struct DragItem {
    int Row;
    RowSubject Subject;
};

// Everything one drag knows, from the press to the drop.
struct Drag {
    std::vector<DragItem> Items;
    bool CopyMode = false;
    Shortcut* LastShortcut = nullptr;
    HICON Image = nullptr;        // composed for the first item; owned
    HCURSOR PlainCursor = nullptr;
    bool Droppable = false;
    HWND Under = nullptr;         // the window under the cursor at the last move
    POINT CursorAt = {0, 0};      // screen coordinates at the last move
    POINT Release = {0, 0};       // client coordinates of the item list

    ~Drag()
    {
        if (Image)
            DestroyIcon(Image);
    }
};

void BuildFirstImage(Drag* drag, const RowSubject& subject)
{
    HICON copy = ShellState.IconTable[IconCopy];
    HICON move = ShellState.IconTable[IconMove];
    drag->PlainCursor = ShellState.CursorTable[drag->CopyMode ? CursorCopy : CursorMove];
    if (Shortcut* shortcut = subject.LiveShortcut()) {
        HICON base = GetShortcutIcon(shortcut);
        if (!base)
            base = DefaultIcon();
        if (drag->CopyMode) {
            drag->Image = OverlayIcon(base, copy, 32);
        } else {
            HICON arrowed = OverlayIcon(base, ShellState.IconTable[IconShortcut], 32);
            drag->Image = OverlayIcon(arrowed ? arrowed : base, move, 32);
            if (arrowed)
                DestroyIcon(arrowed);
        }
        return;
    }
    HICON base = WindowIcon(subject.Window);
    drag->Image = OverlayIcon(base ? base : DefaultIcon(), drag->CopyMode ? copy : move, 32);
}

void BuildManyImage(Drag* drag)
{
    HCURSOR many = ShellState.CursorTable[drag->CopyMode ? CursorCopyMany : CursorMoveMany];
    if (drag->Image)
        DestroyIcon(drag->Image);
    drag->Image = CopyIcon((HICON)many);
    drag->PlainCursor = many;
}

void RecordSelection(Drag* drag)
{
    ForEachSelectedItemRow([drag](const ItemRow& row) {
        if (Shortcut* shortcut = row.LiveShortcut())
            drag->LastShortcut = shortcut;
        else if (!row.LiveWindow())
            return true;
        if (drag->Items.size() >= MaxDragItems)
            return true;
        drag->Items.push_back({row.Index, row});
        if (drag->Items.size() == 1)
            BuildFirstImage(drag, row);
        else if (drag->Items.size() == 2)
            BuildManyImage(drag);
        return true;
    });
}

// The next mouse message, or else keyboard message, of this thread; the
// drag answers nothing else until it is over.
bool NextDragMessage(MSG* message)
{
    for (;;) {
        if (PeekMessageA(message, nullptr, WM_MOUSEFIRST, WM_MOUSEFIRST + 9, PM_REMOVE))
            return true;
        if (PeekMessageA(message, nullptr, WM_KEYFIRST, WM_KEYFIRST + 8, PM_REMOVE))
            return true;
        if (!WaitMessage())
            return false;
    }
}

void DispatchOther(MSG* message)
{
    TranslateMessage(message);
    DispatchMessageA(message);
}

// The window under the cursor, and whether a drop may go there.
void OnDragMove(Drag* drag)
{
    GetCursorPos(&drag->CursorAt);
    HWND under = WindowFromPoint(drag->CursorAt);
    drag->Under = under;
    HCURSOR notAllowed = ShellState.IsNT ? (HCURSOR)ShellState.IconTable[IconNot]
                                         : ShellState.CursorTable[CursorNot];
    if (under == ShellState.ItemList) {
        SendMessageA(under, WM_DROPHOVER, 0, 0);
        SetCursor(ShellState.IsNT && drag->Image ? (HCURSOR)drag->Image : drag->PlainCursor);
        drag->Droppable = true;
        return;
    }
    if (under == ShellState.FolderPane && SendMessageA(under, WM_DROPHOVER, 0, 0)) {
        SetCursor(drag->PlainCursor);
        drag->Droppable = true;
        return;
    }
    if (under && under != ShellState.FolderPane && drag->LastShortcut && IsWindow(under) &&
        (GetWindowLongA(under, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
        SetCursor(drag->PlainCursor);
        drag->Droppable = true;
        return;
    }
    SetCursor(notAllowed);
    drag->Droppable = false;
}

int ReleaseCoordinate(LPARAM position, bool high)
{
    WORD value = high ? HIWORD(position) : LOWORD(position);
    if (value == 65534 || value == 65535)
        return 0;
    return (short)value;
}

void RunDragLoop(Drag* drag)
{
    SetCapture(ShellState.ItemList);
    SetCursor(drag->PlainCursor);
    MSG message;
    while (NextDragMessage(&message)) {
        if (message.message == WM_MOUSEMOVE) {
            OnDragMove(drag);
        } else if (message.message == WM_LBUTTONUP) {
            drag->Release.x = ReleaseCoordinate(message.lParam, false);
            drag->Release.y = ReleaseCoordinate(message.lParam, true);
            break;
        } else {
            DispatchOther(&message);
        }
        if (GetCapture() != ShellState.ItemList)
            break;  // the capture was taken away: the drag is over
    }
    ReleaseCapture();
    SetCursor(ShellState.CursorTable[CursorArrow]);
}

// Onto a folder row: every item moves or is copied there, the shortcuts
// as far as the folder has room.
void DropOnFolderPane(Drag* drag)
{
    HWND pane = ShellState.FolderPane;
    POINT point = drag->CursorAt;
    ScreenToClient(pane, &point);
    int row = HitRow(pane, point);
    if (row < 0 || row == ShellState.CurrentFolderIndex)
        return;
    ShortcutTally tally;
    for (const DragItem& item : drag->Items)
        TransferRow(item.Subject, row, !drag->CopyMode, &tally);
    SyncPutAwayRecord();
    RequestRefresh();
    ReportShortcutTally(tally, "shortcut", drag->CopyMode ? "copied" : "moved");
}

void CopyShortcutAt(const Shortcut* source, POINT at, ShortcutTally* tally)
{
    if (ShortcutRoom(ShellState.CurrentFolder) == 0) {
        tally->NoRoom++;
        return;
    }
    Shortcut* copy = AddShortcut(ShellState.CurrentFolder);
    if (!copy)
        return;
    CopyShortcutFields(copy, source);
    std::string title = std::string("Copy of ") + source->Title.Get();
    copy->Title.Set(title.c_str());
    copy->Position = at;
    tally->Made++;
}

// A shortcut dropped onto another starts the target with both commands.
void StartWithDropped(Shortcut* target, Shortcut* dropped)
{
    std::string command = std::string(target->CommandLine.Get()) + " " + dropped->CommandLine.Get();
    dropped->ProcessId = LaunchCommand(command.c_str(), target->WorkingDirectory.Get(),
                                       target->ShowState, target->SeparateMemory, target->Priority);
}

void StoreShortcutPositions()
{
    HWND list = ShellState.ItemList;
    for (int index = 0; index < ItemRowCount(); index++) {
        Shortcut* shortcut = ItemRowAt(index)->LiveShortcut();
        POINT position = {};
        if (shortcut && SendMessageA(list, LVM_GETITEMPOSITION, index, (LPARAM)&position))
            shortcut->Position = position;
    }
}

void DropOnItemList(Drag* drag)
{
    HWND list = ShellState.ItemList;
    ShortcutTally tally;
    for (const DragItem& item : drag->Items) {
        Shortcut* dragged = item.Subject.LiveShortcut();
        int row = HitRow(list, drag->Release);
        if (row >= 0) {
            const ItemRow* onto = ItemRowAt(row);
            Shortcut* target = onto ? onto->LiveShortcut() : nullptr;
            if (target && dragged && target != dragged)
                StartWithDropped(target, dragged);
            break;
        }
        if (drag->CopyMode) {
            if (dragged)
                CopyShortcutAt(dragged, drag->Release, &tally);
            continue;
        }
        POINT at = drag->Release;
        SendMessageA(list, LVM_SETITEMPOSITION32, item.Row, (LPARAM)&at);
        if (dragged)
            dragged->Position = drag->Release;
    }
    SendMessageA(list, LVM_ARRANGE, LVA_DEFAULT, 0);
    StoreShortcutPositions();
    ReportShortcutTally(tally, "shortcut", "copied");
}

// Onto another application's window: the shortcut's program file, as the
// shell would drop it.
void PostFileDrop(HWND target, const Shortcut* shortcut, POINT screen)
{
    char file[MaxText];
    lstrcpynA(file, shortcut->CommandLine.Get(), MaxText);
    char* first = FirstArgument(file);
    if (!first)
        return;
    CharUpperA(first);
    size_t length = strlen(first);
    size_t size = sizeof(DropFilesBlock) + length + 2;
    if (size < 277)
        size = 277;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (!block)
        return;
    BYTE* data = (BYTE*)GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return;
    }
    POINT client = screen;
    ScreenToClient(target, &client);
    DWORD_PTR hit = HTCLIENT;
    SendMessageNoHang(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y), &hit);
    DropFilesBlock* header = (DropFilesBlock*)data;
    header->FileListOffset = sizeof(DropFilesBlock);
    header->Point = client;
    header->NonClient = hit != HTCLIENT;
    header->Wide = FALSE;
    memcpy(data + sizeof(DropFilesBlock), first, length);
    GlobalUnlock(block);
    if (!PostMessageA(target, WM_DROPFILES, (WPARAM)block, 0))
        GlobalFree(block);
}

void DropOnOtherWindow(Drag* drag)
{
    for (const DragItem& item : drag->Items)
        if (const Shortcut* shortcut = item.Subject.LiveShortcut())
            PostFileDrop(drag->Under, shortcut, drag->CursorAt);
}

// The first mouse move after the press decides: beyond a 2-pixel margin
// it is a drag.
bool DetectDrag(HWND window, int x, int y)
{
    RECT margin = {x - 2, y - 2, x + 2, y + 2};
    SetCapture(window);
    MSG message;
    while (NextDragMessage(&message)) {
        if (message.message == WM_MOUSEMOVE) {
            ReleaseCapture();
            POINT point = {(short)LOWORD(message.lParam), (short)HIWORD(message.lParam)};
            return !PtInRect(&margin, point);
        }
        if (message.message == WM_LBUTTONUP) {
            ReleaseCapture();
            return false;
        }
        DispatchOther(&message);
    }
    ReleaseCapture();
    return false;
}

void OnLeftButtonDown(HWND list, WPARAM keys, LPARAM position)
{
    POINT press = {(short)LOWORD(position), (short)HIWORD(position)};
    // Ctrl+press on a selected row toggles it off in the list; when the
    // press turns into a drag, it is the selection as it was that is
    // copied.
    int pressed = HitRow(list, press);
    bool controlOnSelected = (keys & MK_CONTROL) && pressed >= 0 && RowSelected(list, pressed);
    CallWindowProcA(DefaultProc, list, WM_LBUTTONDOWN, keys, position);
    LONG_PTR view = GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK;
    if (view == LVS_REPORT || view == LVS_LIST)
        return;
    bool toggledOff = controlOnSelected && !RowSelected(list, pressed);
    if (toggledOff)
        SetRowState(list, pressed, LVIS_SELECTED, LVIS_SELECTED);
    if (SelectedCount(list) == 0 || HitRow(list, press) < 0)
        return;

    Drag drag;
    drag.CopyMode = (keys & MK_CONTROL) != 0;
    RecordSelection(&drag);
    bool dragging = !drag.Items.empty() && DetectDrag(list, press.x, press.y);
    if (toggledOff && !dragging)
        SetRowState(list, pressed, 0, LVIS_SELECTED);  // a plain Ctrl+click after all
    if (!dragging)
        return;
    RunDragLoop(&drag);
    SetDropHighlight(ShellState.FolderPane, -1);
    SetDropHighlight(ShellState.ItemList, -1);
    if (!drag.Droppable)
        return;
    if (drag.Under == ShellState.FolderPane)
        DropOnFolderPane(&drag);
    else if (drag.Under == ShellState.ItemList)
        DropOnItemList(&drag);
    else if (drag.Under)
        DropOnOtherWindow(&drag);
}

LRESULT OnDropHover(HWND list)
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(list, &point);
    SetDropHighlight(list, HitRow(list, point));
    return 1;
}

// Files dropped from the shell: onto a shortcut row they start it with
// the first file; onto empty space each becomes a shortcut.
void OnDropFiles(HWND list, HDROP drop)
{
    POINT point = {};
    DragQueryPoint(drop, &point);
    int row = HitRow(list, point);
    if (row >= 0) {
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        char name[MaxText];
        UINT first = 0;
        while (first < count && !ReadDroppedName(drop, first, name))
            first++;
        // The other files are not for it.
        const ItemRow* onto = ItemRowAt(row);
        Shortcut* shortcut = onto ? onto->LiveShortcut() : nullptr;
        if (first < count && shortcut) {
            std::string command = std::string(shortcut->CommandLine.Get()) + " " + name;
            shortcut->ProcessId =
                LaunchCommand(command.c_str(), shortcut->WorkingDirectory.Get(),
                              shortcut->ShowState, shortcut->SeparateMemory, shortcut->Priority);
        }
        RequestRefresh();
        DragFinish(drop);
        return;
    }
    ShortcutTally tally = AddDroppedFiles(drop, ShellState.CurrentFolder, point);
    RequestRefresh();
    DragFinish(drop);
    ReportShortcutTally(tally, "file", "added");
}

} // namespace

bool ReadDroppedName(HDROP drop, UINT index, char* name)
{
    // A name that does not fit a path buffer is no file we could use.
    UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length == 0 || length >= (UINT)MaxText)
        return false;
    return DragQueryFileA(drop, index, name, MaxText) != 0;
}

int HitRow(HWND list, POINT client)
{
    LVHITTESTINFO hit = {};
    hit.pt = client;
    int row = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
    return (row >= 0 && (hit.flags & LVHT_ONITEM)) ? row : -1;
}

LRESULT PassListMessage(HWND list, WNDPROC listViewProc, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_SYSKEYDOWN || wParam != VK_RETURN)
        return CallWindowProcA(listViewProc, list, message, wParam, lParam);
    NMLVKEYDOWN notice = {};
    notice.hdr.hwndFrom = list;
    notice.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(list);
    notice.hdr.code = LVN_KEYDOWN;
    notice.wVKey = VK_RETURN;
    SendMessageA(GetParent(list), WM_NOTIFY, notice.hdr.idFrom, (LPARAM)&notice);
    return 0;
}

void SetDropHighlight(HWND list, int row)
{
    // Only the rows that have the highlight lose it: the drag asks at every
    // mouse move, and a walk of hundreds of rows each time would drag.
    for (int lit = -1;;) {
        lit = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)lit, LVNI_DROPHILITED);
        if (lit < 0)
            break;
        if (lit != row)
            SetRowState(list, lit, 0, LVIS_DROPHILITED);
    }
    if (row >= 0)
        SetRowState(list, row, LVIS_DROPHILITED, LVIS_DROPHILITED);
    UpdateWindow(list);
}

bool IsOwnDropHover(WPARAM wParam, LPARAM lParam)
{
    return !wParam && !lParam && !InSendMessage() && GetCapture() == ShellState.ItemList;
}

// The list sorts itself; the records learn their new places.
static LRESULT OnSortItems(HWND list, WPARAM wParam, LPARAM lParam)
{
    LRESULT sorted = CallWindowProcA(DefaultProc, list, LVM_SORTITEMS, wParam, lParam);
    ItemRowsSorted();
    return sorted;
}

static LRESULT HandleItemListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: OnLeftButtonDown(list, wParam, lParam); return 0;
    case WM_DROPHOVER: return IsOwnDropHover(wParam, lParam) ? OnDropHover(list) : 0;
    case LVM_SORTITEMS: return OnSortItems(list, wParam, lParam);
    case WM_ROWICONS: OnRowIconsLoaded(); return 0;
    case WM_DROPFILES:
        if (IsDropBlock((HDROP)wParam))
            OnDropFiles(list, (HDROP)wParam);
        return 0;
    default: return PassListMessage(list, DefaultProc, message, wParam, lParam);
    }
}

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(list, message, wParam, lParam, HandleItemListMessage);
}

void SubclassItemList(HWND list)
{
    DefaultProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ItemListProc);
}

void ResetItemListWindow()
{
    DefaultProc = nullptr;
}

void ApplyListColors()
{
    COLORREF color = Settings.Color;
    int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
    COLORREF text = sum >= 384 ? RGB(0, 0, 0) : RGB(255, 255, 255);
    for (HWND list : {ShellState.FolderPane, ShellState.ItemList}) {
        SendMessageA(list, LVM_SETBKCOLOR, 0, (LPARAM)color);
        SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, (LPARAM)color);
        SendMessageA(list, LVM_SETTEXTCOLOR, 0, (LPARAM)text);
    }
}

bool ConfirmDeleteShortcut(Shortcut* shortcut)
{
    char question[MaxText + 64];
    snprintf(question, sizeof question, "Confirm Delete of Shortcut \"%s\".", shortcut->Title.Get());
    int answer = MessageBoxA(ShellState.MainWindow, question, "Delete Shortcut",
                             MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES)
        RemoveShortcut(ShellState.CurrentFolder, shortcut);
    return true;
}

void RenameShortcut(Shortcut* shortcut, const char* text)
{
    shortcut->Title.Set(text);
    SetRowLabel(shortcut, shortcut->Title.Get());
}
