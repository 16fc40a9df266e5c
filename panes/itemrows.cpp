#include "panes/itemrows.h"

#include <commctrl.h>
#include <string.h>

#include <unordered_set>

#include "model/model.h"
#include "model/shellstate.h"
#include "panes/statusbar.h"
#include "store/putaway.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "winkit/listrows.h"
#include "winkit/shellcache.h"
#include "winkit/winutil.h"

namespace {

HWND Items()
{
    return ShellState.ItemList;
}

// Per pass: the values of the rows, so that "is there a row for this"
// costs no walk of the list.
struct RowValues {
    std::unordered_set<LPARAM> Values;
    bool Has(LPARAM value) const { return Values.count(value) != 0; }
};

void SetCellIfChanged(int row, int column, const char* text)
{
    char current[MaxText] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = current;
    item.cchTextMax = MaxText;
    SendMessageA(Items(), LVM_GETITEMTEXTA, row, (LPARAM)&item);
    if (strcmp(current, text) == 0)
        return;
    item.pszText = const_cast<char*>(text);
    SendMessageA(Items(), LVM_SETITEMTEXTA, row, (LPARAM)&item);
    ShellState.Diagnostics.ItemListWrites++;
}

void SetRowPosition(int row, POINT position)
{
    SendMessageA(Items(), LVM_SETITEMPOSITION32, row, (LPARAM)&position);
    ShellState.Diagnostics.ItemListWrites++;
}

int InsertRow(int index, const char* label, int image, LPARAM data)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(label);
    item.iImage = image;
    item.lParam = data;
    item.state = 0;
    item.stateMask = 0xF000;
    ShellState.Diagnostics.ItemListWrites++;
    return (int)SendMessageA(Items(), LVM_INSERTITEMA, 0, (LPARAM)&item);
}

void RedrawRow(int row)
{
    SendMessageA(Items(), LVM_REDRAWITEMS, row, row);
}

int RowIndexOf(LPARAM data)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return (int)SendMessageA(Items(), LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

// Appends a pair of icons to both image lists at the same index; -1, with
// neither list changed, when either refuses its icon (another process's
// icon may be gone by now).
int AppendImages(HICON large, HICON small)
{
    int inSmall = ImageList_AddIcon(ShellState.ItemImagesSmall, small);
    int inLarge = ImageList_AddIcon(ShellState.ItemImagesLarge, large);
    if (inSmall >= 0 && inLarge >= 0 && inSmall == inLarge) {
        ShellState.ImageCount = inLarge + 1;
        return inLarge;
    }
    if (inSmall >= 0)
        ImageList_Remove(ShellState.ItemImagesSmall, inSmall);
    if (inLarge >= 0)
        ImageList_Remove(ShellState.ItemImagesLarge, inLarge);
    return -1;
}

// The image of a pair of window icons, added the first time it is seen
// since the last rebuild: windows of one program share one image. Icons the
// lists refuse give the default icon's image.
int ImageOfIcons(HICON large, HICON small)
{
    auto known = ShellState.ItemImageOf.find(large);
    if (known != ShellState.ItemImageOf.end())
        return known->second;
    int image = AppendImages(large, small);
    if (image < 0)
        return large == DefaultIcon() ? 0 : ImageOfIcons(DefaultIcon(), DefaultIcon());
    ShellState.ItemImageOf[large] = image;
    return image;
}

int WindowImage(const WindowFacts& facts)
{
    HICON large = facts.IconLarge ? facts.IconLarge : DefaultIcon();
    return ImageOfIcons(large, facts.IconSmall ? facts.IconSmall : large);
}

void SetTaskCells(int row, const WindowFacts& facts)
{
    SetCellIfChanged(row, 1, StateTextOf(facts.Visible, facts.Iconic, facts.Zoomed));
    SetCellIfChanged(row, 2, PriorityText(facts.PriorityClass));
    if (!ShellState.IsNT)
        return;
    // A process whose times cannot be read shows empty cells.
    char text[MaxText] = "";
    if (facts.HaveTimes)
        StartedText(facts.Creation, text, MaxText);
    SetCellIfChanged(row, 3, text);
    if (facts.HaveTimes)
        DurationText(facts.Kernel, text, MaxText);
    SetCellIfChanged(row, 4, text);
    if (facts.HaveTimes)
        DurationText(facts.User, text, MaxText);
    SetCellIfChanged(row, 5, text);
}

void SetShortcutCells(int row, const Shortcut* shortcut)
{
    SetCellIfChanged(row, 1, "Shortcut");
    SetCellIfChanged(row, 2, ShortcutPriorityText(shortcut->Priority));
    if (!ShellState.IsNT)
        return;
    for (int column = 3; column <= 5; column++)
        SetCellIfChanged(row, column, "");
}

bool IsListedWindow(const WindowFacts& facts)
{
    // A window we have just put away may not have gone yet.
    if (!facts.Visible || !SeenVisible(facts.Window) || facts.Window == ShellState.MainWindow || facts.OwnProcess ||
        facts.Owned || IsShellClass(facts.ClassName))
        return false;
    if (ClassIs(facts.ClassName, "Progman") && !Settings.Progman)
        return false;
    return facts.Text[0] != 0;
}

// A window of a shortcut of the current folder takes the place of the
// shortcut's row: the new row goes where the shortcut's row is, so it
// stands there in every view once the shortcut's row gives way.
int InsertionIndexFor(const Shortcut* shortcut)
{
    int row = shortcut ? RowIndexOf((LPARAM)shortcut) : -1;
    return row >= 0 ? row : ShellState.ObjectCount;
}

// EnumList's row for a new application window.
void ListWindow(const WindowFacts& facts, RowValues& rows)
{
    Folder* current = ShellState.CurrentFolder;
    HWND window = facts.Window;

    Shortcut* byProcess = FindShortcutByProcessId(current, facts.ProcessId);
    Shortcut* byTitle = FindShortcutByTitle(current, facts.Text);
    Shortcut* standsFor = byProcess ? byProcess : (byTitle && !byTitle->Window ? byTitle : nullptr);

    int row = InsertRow(InsertionIndexFor(standsFor), facts.Text, WindowImage(facts), (LPARAM)window);
    if (row < 0)
        return;
    rows.Values.insert((LPARAM)window);
    SetRowPosition(row, POINT{0x7FFF, 0x7FFF});

    if (byProcess) {
        byProcess->Window = window;
        SetRowPosition(row, byProcess->Position);
    }
    bool filedElsewhere = false;
    for (int i = 0; i < FolderCount(); i++) {
        Folder* folder = FolderAt(i);
        Shortcut* shortcut = FindShortcutByTitle(folder, facts.Text);
        if (!shortcut)
            continue;
        if (!shortcut->Window)
            shortcut->Window = window;
        if (folder == current)
            SetRowPosition(row, shortcut->Position);
        else
            filedElsewhere |= TransferToFolder((LPARAM)window, i, false);
    }
    // The window joined another folder's list: the record of put-away
    // windows follows (only then: a pass runs several times a second).
    if (filedElsewhere)
        SyncPutAwayRecord();

    SetTaskCells(row, facts);
    RedrawRow(row);
    ShellState.ObjectCount++;
}

void ApplyEnumList(const RefreshPass& pass, RowValues& rows)
{
    for (const WindowFacts& facts : pass.Windows)
        if (IsListedWindow(facts) && !rows.Has((LPARAM)facts.Window))
            ListWindow(facts, rows);
}

void AddContainedRows(const RefreshPass& pass, const ContainedList* list, RowValues& rows)
{
    if (!list)
        return;
    for (const ContainedEntry* entry = list->Head; entry; entry = entry->Next) {
        const WindowFacts* facts = pass.Find(entry->Window);
        if (!facts || !facts->Text[0] || facts->OwnProcess || rows.Has((LPARAM)entry->Window) ||
            !IsWindow(entry->Window))
            continue;
        int row = InsertRow(ShellState.ObjectCount, facts->Text, WindowImage(*facts),
                            (LPARAM)entry->Window);
        if (row < 0)
            continue;
        rows.Values.insert((LPARAM)entry->Window);
        RedrawRow(row);
        ShellState.ObjectCount++;
    }
}

// How long a pass may spend on the images of shortcut rows (loading icons,
// drawing the arrow over them, adding them to the image lists), and one
// later slice: the rows left over show the default icon until the slices
// between messages have made their images, so that a folder of hundreds
// of shortcuts with icons of their own freezes nothing.
const DWORD RowImageBudgetMs = 100;
const DWORD RowImageSliceMs = 50;
const UINT_PTR RowImageTimer = 0x49434F4E;

// A shortcut's icon with the shortcut arrow drawn over it, at both sizes:
// made once for each icon, whichever shortcuts show it, and kept with the
// icons in the shell cache.
const ArrowedIcons& ArrowedIconsOf(HICON icon)
{
    if (const ArrowedIcons* known = FindArrowedIcons(icon))
        return *known;
    HICON smallArrow = (HICON)LoadImageA(ShellState.Instance, "SHORTCUT", IMAGE_ICON, 16, 16,
                                         LR_SHARED);
    ArrowedIcons made;
    made.Large = OverlayIcon(icon, ShellState.IconTable[IconShortcut], 32);
    made.Small = OverlayIcon(icon, smallArrow ? smallArrow : ShellState.IconTable[IconShortcut], 16);
    return KeepArrowedIcons(icon, made);
}

// The image of an icon with the arrow. Without mayWork, only what is at
// hand: -1 when the arrow is still to be drawn or the image to be added.
int ArrowedImage(HICON icon, bool mayWork)
{
    if (!mayWork && !FindArrowedIcons(icon))
        return -1;
    const ArrowedIcons& arrowed = ArrowedIconsOf(icon);
    HICON large = arrowed.Large ? arrowed.Large : icon;
    HICON small = arrowed.Small ? arrowed.Small : icon;
    if (!mayWork && !ShellState.ItemImageOf.count(large))
        return -1;
    return ImageOfIcons(large, small);
}

// The image of a shortcut row; -1, without mayWork, when its icon is still
// to be loaded too.
int ShortcutImage(Shortcut* shortcut, bool mayWork)
{
    HICON icon = shortcut->Icon;
    if (!icon) {
        if (!mayWork)
            return -1;
        icon = GetShortcutIcon(shortcut);
    }
    return ArrowedImage(icon ? icon : DefaultIcon(), mayWork);
}

// What a shortcut row shows until its own image is made.
int PlaceholderImage()
{
    return ArrowedImage(DefaultIcon(), true);
}

void CALLBACK MakePendingRowImages(HWND list, UINT, UINT_PTR timer, DWORD);

void SchedulePendingRowImages()
{
    SetTimer(Items(), RowImageTimer, 10, MakePendingRowImages);
}

int RowImage(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item) ? item.iImage : -1;
}

// One slice: the shortcut rows that still show the placeholder get their
// own images, in row order, until the slice is used up.
void CALLBACK MakePendingRowImages(HWND list, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(list, timer);
    if (list != Items() || !ShellState.ItemImagesLarge)
        return;
    DWORD started = GetTickCount();
    Folder* current = ShellState.CurrentFolder;
    int placeholder = PlaceholderImage();
    for (int row = 0; row < RowCount(list); row++) {
        LPARAM data;
        if (!RowData(list, row, &data) || !HasShortcut(current, data) ||
            RowImage(list, row) != placeholder)
            continue;
        if (GetTickCount() - started >= RowImageSliceMs) {
            SchedulePendingRowImages();
            return;
        }
        int image = ShortcutImage((Shortcut*)data, true);
        if (image == placeholder)
            continue;
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = image;
        SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
    }
}

void AddShortcutRows(RowValues& rows)
{
    Folder* current = ShellState.CurrentFolder;
    DWORD started = GetTickCount();
    bool pending = false;
    for (Shortcut* shortcut = current ? current->First : nullptr; shortcut;
         shortcut = shortcut->Next) {
        if (shortcut->Window && !IsWindow(shortcut->Window)) {
            shortcut->ProcessId = 0;
            shortcut->Window = nullptr;
        }
        if (rows.Has((LPARAM)shortcut))
            continue;
        if (shortcut->Window && !shortcut->MultipleInstances)
            continue;
        int image = ShortcutImage(shortcut, GetTickCount() - started < RowImageBudgetMs);
        if (image < 0) {
            image = PlaceholderImage();
            pending = true;
        }
        int row = InsertRow(ShellState.ObjectCount, shortcut->Title.Get(), image,
                            (LPARAM)shortcut);
        if (row < 0)
            continue;
        rows.Values.insert((LPARAM)shortcut);
        SetRowPosition(row, shortcut->Position);
        RedrawRow(row);
        ShellState.ObjectCount++;
    }
    if (pending)
        SchedulePendingRowImages();
}

void DeleteRow(int row, LPARAM data, RowValues& rows)
{
    SendMessageA(Items(), LVM_DELETEITEM, row, 0);
    rows.Values.erase(data);
    ShellState.Diagnostics.ItemListWrites++;
    ShellState.ObjectCount--;
}

// Brings every row's changing cells up to date and drops the rows whose
// window or shortcut is gone.
void UpdateRows(const RefreshPass& pass, RowValues& rows)
{
    Folder* current = ShellState.CurrentFolder;
    for (int row = 0; row < RowCount(Items());) {
        LPARAM data;
        if (!RowData(Items(), row, &data)) {
            row++;
            continue;
        }
        if (HasShortcut(current, data)) {
            Shortcut* shortcut = (Shortcut*)data;
            if (shortcut->Window && !shortcut->MultipleInstances) {
                DeleteRow(row, data, rows);
                continue;
            }
            SetShortcutCells(row, shortcut);
            row++;
            continue;
        }
        const WindowFacts* facts = pass.Find((HWND)data);
        if (!facts || !facts->Text[0] || !IsWindow((HWND)data)) {
            DeleteRow(row, data, rows);
            continue;
        }
        SetTaskCells(row, *facts);
        row++;
    }
}

void RecreateImageLists()
{
    if (ShellState.ItemImagesLarge)
        ImageList_Destroy(ShellState.ItemImagesLarge);
    if (ShellState.ItemImagesSmall)
        ImageList_Destroy(ShellState.ItemImagesSmall);
    // Grown in steps: growing by one image copies the whole list each time.
    ShellState.ItemImagesLarge = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 16, 32);
    ShellState.ItemImagesSmall = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 16, 32);
    ShellState.ItemImageOf.clear();
    SendMessageA(Items(), LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)ShellState.ItemImagesLarge);
    SendMessageA(Items(), LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)ShellState.ItemImagesSmall);
}

RowValues CurrentRowValues()
{
    RowValues rows;
    int count = RowCount(Items());
    rows.Values.reserve((size_t)count * 2 + 16);
    for (int row = 0; row < count; row++) {
        LPARAM data;
        if (RowData(Items(), row, &data))
            rows.Values.insert(data);
    }
    return rows;
}

} // namespace

void RefreshTaskList(const RefreshPass& pass)
{
    HWND list = Items();
    bool rebuild = ShellState.RefreshRequested.exchange(0) != 0;
    if (rebuild) {
        ShellState.ObjectCount = 0;
        ShellState.ImageCount = 0;
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        RecreateImageLists();
    }
    PrunePendingShows();
    RowValues rows = CurrentRowValues();
    ShellState.ObjectCount = RowCount(list);

    ApplyEnumList(pass, rows);
    Folder* current = ShellState.CurrentFolder;
    if (current) {
        AddContainedRows(pass, current->Contained, rows);
        if (current->ListSystemTasks)
            AddContainedRows(pass, &SystemTaskList(), rows);
    }
    AddShortcutRows(rows);
    UpdateRows(pass, rows);

    SendMessageA(list, LVM_ARRANGE, LVA_DEFAULT, 0);
    if (rebuild) {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    UpdateWindow(list);
    UpdateStatusBar(ShellState.ObjectCount, pass.Memory);
}

void ApplyRefreshPass(RefreshPass* pass)
{
    // A pass gathered before the folder, its shortcuts or the options
    // changed would list windows as they were: it is dropped, and the
    // refresh thread, seeing the request, gathers a new one at once.
    if (pass && ShellState.ItemList && pass->Generation == ShellState.RefreshGeneration) {
        RefreshTaskList(*pass);
        ShellState.Diagnostics.PassesApplied++;
    }
    delete pass;
    FinishPendingPass();
}

void CreateItemColumns()
{
    static const char* const headers[6] = {"Title", "State", "Priority", "Started", "Kernel", "User"};
    int columns = ShellState.IsNT ? 6 : 3;
    for (int i = 0; i < columns; i++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = 95;
        column.pszText = const_cast<char*>(headers[i]);
        column.iSubItem = i;
        SendMessageA(Items(), LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
    for (int i = 0; i < columns; i++)
        SendMessageA(Items(), LVM_SETCOLUMNWIDTH, i, MAKELPARAM(Settings.ColWidth[i], 0));
}

void ReadItemColumnWidths()
{
    // The header keeps the widths in every view; the list itself answers
    // them only in the details view.
    HWND header = (HWND)SendMessageA(Items(), LVM_GETHEADER, 0, 0);
    for (int column = 0; column < 6; column++) {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        bool known = header && SendMessageA(header, HDM_GETITEMA, column, (LPARAM)&item);
        Settings.ColWidth[column] = known ? (WORD)item.cxy : 0;
    }
}

// ================================================================ sorting

namespace {

const char* PriorityRank(DWORD priorityClass)
{
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return "0";
    case HIGH_PRIORITY_CLASS: return "2";
    case REALTIME_PRIORITY_CLASS: return "3";
    default: return "1";
    }
}

void SortText(LPARAM data, int column, char* text)
{
    text[0] = 0;
    if (HasShortcut(ShellState.CurrentFolder, data)) {
        const Shortcut* shortcut = (const Shortcut*)data;
        switch (column) {
        case 0: lstrcpynA(text, shortcut->Title.Get(), MaxText); break;
        case 1: lstrcpyA(text, "Shortcut"); break;
        case 2: lstrcpyA(text, PriorityRank(PriorityClassOf(shortcut->Priority))); break;
        }
        return;
    }
    HWND window = (HWND)data;
    if (column == 0) {
        ReadWindowText(window, text, MaxText);
        return;
    }
    if (column == 1) {
        lstrcpyA(text, StateText(window));
        return;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (column == 2) {
        lstrcpyA(text, PriorityRank(process ? GetPriorityClass(process) : 0));
    } else if (process) {
        FILETIME creation, exit, kernel, user;
        if (GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
            if (column == 3)
                StartedText(creation, text, MaxText);
            else if (column == 4)
                DurationText(kernel, text, MaxText);
            else if (column == 5)
                DurationText(user, text, MaxText);
        }
    }
    if (process)
        CloseHandle(process);
}

} // namespace

int CALLBACK CompareRows(LPARAM data1, LPARAM data2, LPARAM column)
{
    if (!data1 || !data2)
        return 1;
    if (column < 0 || column > 5 || (column >= 3 && !ShellState.IsNT))
        return 0;
    char text1[MaxText], text2[MaxText];
    SortText(data1, (int)column, text1);
    SortText(data2, (int)column, text2);
    int order = lstrcmpiA(text1, text2);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}
