#include "panes/itemrows.h"

#include <string.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "common/messages.h"
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

// What the item list module keeps: the records in list order (Rows[i] is
// the record of row i), the same records by what they stand for, the image
// lists and the image of each icon in them since the last rebuild (so that
// the windows of one program share one image), and the figures.
struct ItemListState {
    std::vector<std::unique_ptr<ItemRow>> Rows;
    std::unordered_map<HWND, ItemRow*> ByWindow;
    std::unordered_map<const Shortcut*, ItemRow*> ByShortcut;
    HIMAGELIST ImagesLarge = nullptr;
    HIMAGELIST ImagesSmall = nullptr;
    std::unordered_map<HICON, int> ImageOf;
    // A shortcut's icon -> the image of it with the arrow (-1: it cannot
    // be drawn).
    std::unordered_map<HICON, int> ArrowedImageOf;
    // What the rows showing the placeholder asked the loader for ("file|
    // index", as asked) -> their shortcuts, compared only: when an icon
    // comes, only its rows look at what is at hand.
    std::unordered_map<std::string, std::vector<const Shortcut*>> Waiting;
    // The rows in sight in the details view, [FirstShown, EndShown), taken
    // before a pass brings the cells up to date: a cell that changes is
    // repainted only there. A rebuild draws the whole list once it is done.
    int FirstShown = 0;
    int EndShown = 0;
    LONG Writes = 0;
    LONG Passes = 0;
    // Rows inserted or deleted so far: a pass arranges the icon views
    // only when it changed.
    LONG ComeOrGone = 0;
};

ItemListState State;

HWND Items()
{
    return ShellState.ItemList;
}

// Rows from `from` on have moved: their records learn their places.
void Renumber(size_t from)
{
    for (size_t i = from; i < State.Rows.size(); i++)
        State.Rows[i]->Index = (int)i;
}

void ForgetRow(const ItemRow* row)
{
    if (row->Kind == RowKind::Shortcut)
        State.ByShortcut.erase(row->Link);
    else
        State.ByWindow.erase(row->Window);
}

void ForgetAllRows()
{
    State.ByWindow.clear();
    State.ByShortcut.clear();
    State.Rows.clear();
}

// The list asks for the cells beside the label: each is the record's.
void SetCellsToRecord(int index)
{
    int columns = ShellState.IsNT ? 6 : 3;
    LVITEMA item = {};
    item.pszText = LPSTR_TEXTCALLBACKA;
    for (item.iSubItem = 1; item.iSubItem < columns; item.iSubItem++)
        SendMessageA(Items(), LVM_SETITEMTEXTA, index, (LPARAM)&item);
}

// Inserts a row for the record at `index` (or after the last row when
// beyond it); null, with the record freed, when the list refuses it.
ItemRow* InsertRow(std::unique_ptr<ItemRow> record, int index, const char* label)
{
    if (index < 0 || index > (int)State.Rows.size())
        index = (int)State.Rows.size();
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(label);
    item.iImage = record->Image;
    item.lParam = (LPARAM)record.get();
    item.state = 0;
    item.stateMask = 0xF000;
    State.Writes++;
    int inserted = (int)SendMessageA(Items(), LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (inserted < 0)
        return nullptr;
    ItemRow* row = record.get();
    State.ComeOrGone++;
    State.Rows.insert(State.Rows.begin() + inserted, std::move(record));
    Renumber((size_t)inserted);
    if (row->Kind == RowKind::Shortcut)
        State.ByShortcut[row->Link] = row;
    else
        State.ByWindow[row->Window] = row;
    SetCellsToRecord(inserted);
    return row;
}

void SetRowPosition(const ItemRow* row, POINT position)
{
    SendMessageA(Items(), LVM_SETITEMPOSITION32, row->Index, (LPARAM)&position);
    State.Writes++;
}

void RedrawRow(const ItemRow* row)
{
    SendMessageA(Items(), LVM_REDRAWITEMS, row->Index, row->Index);
}

// A cell whose text changed is painted again where the details view shows
// its row; the other views show no cell beside the label.
void RepaintCell(const ItemRow* row, int column)
{
    State.Writes++;
    if (row->Index < State.FirstShown || row->Index >= State.EndShown)
        return;
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (SendMessageA(Items(), LVM_GETSUBITEMRECT, row->Index, (LPARAM)&cell))
        InvalidateRect(Items(), &cell, TRUE);
}

void SetCellText(ItemRow* row, int column, const char** field, const char* text)
{
    if (strcmp(*field, text) == 0)
        return;
    *field = text;
    RepaintCell(row, column);
}

void SetTimeText(ItemRow* row, int column, const char* text)
{
    char* field = row->Times[column - 3];
    if (strcmp(field, text) == 0)
        return;
    lstrcpynA(field, text, sizeof row->Times[0]);
    RepaintCell(row, column);
}

// Appends a pair of icons to both image lists at the same index; -1, with
// neither list changed, when either refuses its icon (another process's
// icon may be gone by now).
int AppendImages(HICON large, HICON small)
{
    int inSmall = ImageList_AddIcon(State.ImagesSmall, small);
    int inLarge = ImageList_AddIcon(State.ImagesLarge, large);
    if (inSmall >= 0 && inLarge >= 0 && inSmall == inLarge)
        return inLarge;
    if (inSmall >= 0)
        ImageList_Remove(State.ImagesSmall, inSmall);
    if (inLarge >= 0)
        ImageList_Remove(State.ImagesLarge, inLarge);
    return -1;
}

// The image of a pair of window icons, added the first time it is seen
// since the last rebuild: windows of one program share one image. Icons the
// lists refuse give the default icon's image.
int ImageOfIcons(HICON large, HICON small)
{
    auto known = State.ImageOf.find(large);
    if (known != State.ImageOf.end())
        return known->second;
    int image = AppendImages(large, small);
    if (image < 0)
        return large == DefaultIcon() ? 0 : ImageOfIcons(DefaultIcon(), DefaultIcon());
    State.ImageOf[large] = image;
    return image;
}

int WindowImage(const WindowFacts& facts)
{
    HICON large = facts.IconLarge ? facts.IconLarge : DefaultIcon();
    return ImageOfIcons(large, facts.IconSmall ? facts.IconSmall : large);
}

// Where the details view shows no row, no cell is repainted.
void TakeRowsInSight(bool rebuild)
{
    State.FirstShown = State.EndShown = 0;
    if (rebuild || (GetWindowLongPtrA(Items(), GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return;
    State.FirstShown = (int)SendMessageA(Items(), LVM_GETTOPINDEX, 0, 0);
    // The row cut off at the bottom too.
    State.EndShown = State.FirstShown + (int)SendMessageA(Items(), LVM_GETCOUNTPERPAGE, 0, 0) + 1;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A window row's facts from the pass.
void TakeWindowFacts(ItemRow* row, const WindowFacts& facts)
{
    if (row->Title != facts.Text)
        row->Title = facts.Text;
    SetCellText(row, 1, &row->State, StateTextOf(facts.Visible, facts.Iconic, facts.Zoomed));
    row->PriorityClass = facts.PriorityClass;
    SetCellText(row, 2, &row->Priority, PriorityText(facts.PriorityClass));
    if (!ShellState.IsNT)
        return;
    // Texts are made only for times that changed; a process whose times
    // cannot be read shows empty cells.
    bool haveHad = row->HaveTimes;
    row->HaveTimes = facts.HaveTimes;
    char text[24] = "";
    if (!haveHad || !facts.HaveTimes || !SameTime(row->Creation, facts.Creation)) {
        if (facts.HaveTimes)
            StartedText(facts.Creation, text, sizeof text);
        SetTimeText(row, 3, text);
    }
    if (!haveHad || !facts.HaveTimes || !SameTime(row->Kernel, facts.Kernel)) {
        if (facts.HaveTimes)
            DurationText(facts.Kernel, text, sizeof text);
        SetTimeText(row, 4, text);
    }
    if (!haveHad || !facts.HaveTimes || !SameTime(row->User, facts.User)) {
        if (facts.HaveTimes)
            DurationText(facts.User, text, sizeof text);
        SetTimeText(row, 5, text);
    }
    row->Creation = facts.Creation;
    row->Kernel = facts.Kernel;
    row->User = facts.User;
}

// A shortcut row's facts from its shortcut.
void TakeShortcutFacts(ItemRow* row, const Shortcut* shortcut)
{
    if (row->Title != shortcut->Title.Get())
        row->Title = shortcut->Title.Get();
    SetCellText(row, 1, &row->State, "Shortcut");
    row->PriorityClass = PriorityClassOf(shortcut->Priority);
    SetCellText(row, 2, &row->Priority, ShortcutPriorityText(shortcut->Priority));
    if (ShellState.IsNT)
        for (int column = 3; column <= 5; column++)
            SetTimeText(row, column, "");
}

std::unique_ptr<ItemRow> WindowRecord(RowKind kind, const WindowFacts& facts)
{
    std::unique_ptr<ItemRow> row(new ItemRow);
    row->Kind = kind;
    row->Window = facts.Window;
    row->Image = WindowImage(facts);
    return row;
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

// EnumList's rows: the windows no row shows yet are first matched to
// shortcuts by the model; a window a shortcut of the current folder stands
// for takes the place of the shortcut's row, so it stands there in every
// view once the shortcut's row gives way.
void ListNewWindows(const RefreshPass& pass)
{
    std::vector<const WindowFacts*> listed;
    std::vector<FoundWindow> found;
    for (const WindowFacts& facts : pass.Windows) {
        if (!State.ByWindow.count(facts.Window) && IsListedWindow(facts)) {
            listed.push_back(&facts);
            found.push_back({facts.Window, facts.ProcessId, facts.Text});
        }
    }
    WindowMatches matches = MatchFoundWindows(found);
    // Only when a window joined another folder's list: a pass runs several
    // times a second.
    if (matches.FiledElsewhere)
        SyncPutAwayRecord();

    for (size_t i = 0; i < listed.size(); i++) {
        const WindowFacts& facts = *listed[i];
        const WindowPlacement& placement = matches.Placements[i];
        ItemRow* row = InsertRow(WindowRecord(RowKind::Task, facts),
                                 RowOfShortcut(placement.TakesPlaceOf), facts.Text);
        if (!row)
            continue;
        SetRowPosition(row, placement.Placed ? placement.Position : POINT{0x7FFF, 0x7FFF});
        TakeWindowFacts(row, facts);
        RedrawRow(row);
    }
}

void AddContainedRows(const RefreshPass& pass, const ContainedList* list)
{
    if (!list)
        return;
    for (const ContainedEntry* entry = list->Head; entry; entry = entry->Next) {
        const WindowFacts* facts = pass.Find(entry->Window);
        if (!facts || !facts->Text[0] || facts->OwnProcess || State.ByWindow.count(entry->Window) ||
            !IsWindow(entry->Window))
            continue;
        ItemRow* row = InsertRow(WindowRecord(RowKind::PutAway, *facts), -1, facts->Text);
        if (row)
            RedrawRow(row);
    }
}

// Shortcut rows show their shortcut's icon with the arrow over it. The
// icons a folder's shortcuts name are extracted, and the arrow drawn over
// them, on the icon loader's thread (winkit/shellcache), the rows in sight
// asked for first; until then a row shows the default icon with the arrow.
// Whenever the loader has something, the rows still waiting take what is
// now at hand, their images added to the lists in one go. A row only ever
// takes the image of its own shortcut's icon, so icons loaded for a folder
// left since go into the cache and nowhere else.

void SetArrowMarkOnce()
{
    if (HaveArrowMark())
        return;
    HICON smallArrow = (HICON)LoadImageA(ShellState.Instance, "SHORTCUT", IMAGE_ICON, 16, 16,
                                         LR_SHARED);
    HICON largeArrow = ShellState.IconTable[IconShortcut];
    SetArrowMark(largeArrow, smallArrow ? smallArrow : largeArrow);
}

// The images of icons that have none yet, added to both lists at once; an
// icon that cannot be drawn gets -1.
void AddArrowedImagesOf(const std::vector<HICON>& icons)
{
    SetArrowMarkOnce();
    std::vector<HICON> adding;
    std::vector<const ArrowedPixels*> pixels;
    for (HICON icon : icons) {
        if (!icon || State.ArrowedImageOf.count(icon))
            continue;
        const ArrowedPixels* made = ArrowedPixelsOf(icon);
        State.ArrowedImageOf[icon] = -1;
        if (made) {
            adding.push_back(icon);
            pixels.push_back(made);
        }
    }
    int first = AddArrowedImages(State.ImagesLarge, State.ImagesSmall, pixels);
    for (size_t i = 0; first >= 0 && i < adding.size(); i++)
        State.ArrowedImageOf[adding[i]] = first + (int)i;
}

// What a shortcut row shows until its own image is made: the default icon
// with the arrow, or without when even that cannot be drawn.
int PlaceholderImage()
{
    AddArrowedImagesOf({DefaultIcon()});
    int image = State.ArrowedImageOf[DefaultIcon()];
    return image >= 0 ? image : ImageOfIcons(DefaultIcon(), DefaultIcon());
}

// The image of an icon that AddArrowedImagesOf has seen.
int ArrowedImageOf(HICON icon)
{
    auto known = State.ArrowedImageOf.find(icon);
    return known != State.ArrowedImageOf.end() && known->second >= 0 ? known->second
                                                                      : PlaceholderImage();
}

// The icon of a shortcut, when the cache has what it takes (the loader has
// extracted it, or it is loaded already); null while it is still to be
// extracted, with where from added to `wanted`.
HICON ShortcutIconAtHand(Shortcut* shortcut, std::vector<IconSource>* wanted)
{
    IconSource source;
    if (LoadShortcutIconAtHand(shortcut, &source.File, &source.Index))
        return shortcut->Icon;
    if (wanted)
        wanted->push_back(std::move(source));
    return nullptr;
}

// What a waiting row asked the loader for, as the key of Waiting.
std::string WaitingKey(const IconSource& source)
{
    return source.File + "|" + std::to_string(source.Index);
}

void SetRowImage(ItemRow* row, int image)
{
    row->ImagePending = false;
    if (row->Image == image)
        return;
    row->Image = image;
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row->Index;
    item.iImage = image;
    SendMessageA(Items(), LVM_SETITEMA, 0, (LPARAM)&item);
}

// Rows whose icons are at hand, each with its icon.
struct ReadyRows {
    std::vector<ItemRow*> Rows;
    std::vector<HICON> Icons;
};

// The images the ready rows' icons still need are added in one go, then
// each row takes its own.
void ShowReadyRows(const ReadyRows& ready)
{
    AddArrowedImagesOf(ready.Icons);
    for (size_t i = 0; i < ready.Rows.size(); i++)
        SetRowImage(ready.Rows[i], ArrowedImageOf(ready.Icons[i]));
}

// How long the interface thread spends at a time on learning where the
// waiting rows' icons come from: for a command without an icon file, that
// asks the shell which program opens it, a few milliseconds a question.
const DWORD IconQuestionSliceMs = 50;
const UINT_PTR IconQuestionTimer = 0x49434F4E;

// Asks what a waiting row's icon takes: the row takes its image when its
// icon is at hand, or waits for the loader, which is given what to load.
void AskRowIcon(ItemRow* row, Shortcut* shortcut, ReadyRows* ready,
                std::vector<IconSource>* wanted)
{
    row->IconAsked = true;
    if (HICON icon = ShortcutIconAtHand(shortcut, wanted)) {
        ready->Rows.push_back(row);
        ready->Icons.push_back(icon);
    } else {
        State.Waiting[WaitingKey(wanted->back())].push_back(shortcut);
    }
}

void CALLBACK AskIconQuestions(HWND list, UINT, UINT_PTR timer, DWORD);

void ScheduleIconQuestions()
{
    SetTimer(Items(), IconQuestionTimer, 10, AskIconQuestions);
}

// One slice: the waiting rows that have not asked yet ask, in row order;
// the loader gets their icons after what it has.
void CALLBACK AskIconQuestions(HWND list, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(list, timer);
    if (list != Items() || !State.ImagesLarge)
        return;
    DWORD started = GetTickCount();
    ReadyRows ready;
    std::vector<IconSource> wanted;
    for (const std::unique_ptr<ItemRow>& row : State.Rows) {
        Shortcut* shortcut = row->ImagePending && !row->IconAsked ? row->LiveShortcut() : nullptr;
        if (!shortcut)
            continue;
        if (GetTickCount() - started >= IconQuestionSliceMs) {
            ScheduleIconQuestions();
            break;
        }
        AskRowIcon(row.get(), shortcut, &ready, &wanted);
    }
    ShowReadyRows(ready);
    LoadFileIcons(wanted, false, Items(), WM_ROWICONS);
}

// The rows waiting for the icons taken from the loader take their images,
// if their icons are at hand now.
void ShowLoadedRowImages(const std::vector<IconSource>& taken)
{
    ReadyRows ready;
    bool unasked = false;
    for (const IconSource& source : taken) {
        auto waiting = State.Waiting.find(WaitingKey(source));
        if (waiting == State.Waiting.end())
            continue;
        for (const Shortcut* link : waiting->second) {
            auto found = State.ByShortcut.find(link);
            ItemRow* row = found != State.ByShortcut.end() ? found->second : nullptr;
            Shortcut* shortcut = row && row->ImagePending ? row->LiveShortcut() : nullptr;
            if (shortcut && TakeExtractedIcon(shortcut, source.File, source.Index)) {
                ready.Rows.push_back(row);
                ready.Icons.push_back(shortcut->Icon);
            } else if (row) {
                row->IconAsked = false;  // to look further, in the next slice
                unasked = true;
            }
        }
        State.Waiting.erase(waiting);
    }
    ShowReadyRows(ready);
    if (unasked)
        ScheduleIconQuestions();
}

// New shortcut rows show their images at once when their icons are at
// hand, and otherwise the placeholder while the loader extracts theirs, in
// row order. When no earlier row waits (after a rebuild, say), what the
// loader had still to load is for nobody and is dropped.
void AddShortcutRows()
{
    Folder* current = ShellState.CurrentFolder;
    std::vector<Shortcut*> fresh;
    for (Shortcut* shortcut = current ? current->First : nullptr; shortcut;
         shortcut = shortcut->Next) {
        if (State.ByShortcut.count(shortcut))
            continue;
        if (shortcut->Window && !shortcut->MultipleInstances)
            continue;
        fresh.push_back(shortcut);
    }
    bool instead = State.Waiting.empty();
    if (fresh.empty()) {
        if (instead && IconLoaderBusy())
            LoadFileIcons({}, true, Items(), WM_ROWICONS);
        return;
    }
    // The rows ask for their icons in the same slice's time; those left
    // over ask between messages.
    DWORD started = GetTickCount();
    ReadyRows ready;
    std::vector<IconSource> wanted;
    bool unasked = false;
    for (Shortcut* shortcut : fresh) {
        std::unique_ptr<ItemRow> record(new ItemRow);
        record->Kind = RowKind::Shortcut;
        record->Link = shortcut;
        record->Image = PlaceholderImage();
        record->ImagePending = true;
        ItemRow* row = InsertRow(std::move(record), -1, shortcut->Title.Get());
        if (!row)
            continue;
        SetRowPosition(row, shortcut->Position);
        if (GetTickCount() - started < IconQuestionSliceMs)
            AskRowIcon(row, shortcut, &ready, &wanted);
        else
            unasked = true;
        RedrawRow(row);
    }
    ShowReadyRows(ready);
    if (!wanted.empty() || instead)
        LoadFileIcons(wanted, instead, Items(), WM_ROWICONS);
    if (unasked)
        ScheduleIconQuestions();
}

// Whether the row stays, its facts brought up to date: a window's while it
// exists with a title, a shortcut's while it is one of the current
// folder's that no running window stands for (unless it runs several).
bool UpdateRow(const RefreshPass& pass, ItemRow* row)
{
    if (row->Kind == RowKind::Shortcut) {
        Shortcut* shortcut = row->LiveShortcut();
        if (!shortcut || (shortcut->Window && !shortcut->MultipleInstances))
            return false;
        TakeShortcutFacts(row, shortcut);
        return true;
    }
    // A window that ended since the gather goes with the next pass.
    const WindowFacts* facts = pass.Find(row->Window);
    if (!facts || !facts->Text[0])
        return false;
    TakeWindowFacts(row, *facts);
    return true;
}

// Brings every row's facts and cells up to date and drops the rows whose
// window or shortcut is gone, in one walk of the records.
void UpdateRows(const RefreshPass& pass)
{
    size_t kept = 0;
    for (size_t i = 0; i < State.Rows.size(); i++) {
        std::unique_ptr<ItemRow>& row = State.Rows[i];
        row->Index = (int)kept;
        if (!UpdateRow(pass, row.get())) {
            SendMessageA(Items(), LVM_DELETEITEM, kept, 0);
            State.Writes++;
            State.ComeOrGone++;
            ForgetRow(row.get());
            row.reset();
            continue;
        }
        if (kept != i)
            State.Rows[kept] = std::move(row);
        kept++;
    }
    State.Rows.resize(kept);
}

void DestroyImageLists()
{
    if (State.ImagesLarge)
        ImageList_Destroy(State.ImagesLarge);
    if (State.ImagesSmall)
        ImageList_Destroy(State.ImagesSmall);
    State.ImagesLarge = State.ImagesSmall = nullptr;
    State.ImageOf.clear();
    State.ArrowedImageOf.clear();
    State.Waiting.clear();
}

void RecreateImageLists()
{
    DestroyImageLists();
    // Grown in steps: growing by one image copies the whole list each time.
    State.ImagesLarge = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 16, 32);
    State.ImagesSmall = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 16, 32);
    SendMessageA(Items(), LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)State.ImagesLarge);
    SendMessageA(Items(), LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)State.ImagesSmall);
}

} // namespace

// ================================================================ rows

Shortcut* RowSubject::LiveShortcut() const
{
    return HasShortcut(ShellState.CurrentFolder, (LPARAM)Link) ? Link : nullptr;
}

HWND RowSubject::LiveWindow() const
{
    return Window && IsWindow(Window) ? Window : nullptr;
}

const char* ItemRow::Cell(int column) const
{
    switch (column) {
    case 1: return State;
    case 2: return Priority;
    case 3:
    case 4:
    case 5: return Times[column - 3];
    default: return "";
    }
}

int ItemRowCount()
{
    return (int)State.Rows.size();
}

const ItemRow* ItemRowAt(int index)
{
    if (index < 0 || index >= (int)State.Rows.size())
        return nullptr;
    return State.Rows[(size_t)index].get();
}

int RowOfWindow(HWND window)
{
    auto found = State.ByWindow.find(window);
    return found == State.ByWindow.end() ? -1 : found->second->Index;
}

int RowOfShortcut(const Shortcut* shortcut)
{
    auto found = State.ByShortcut.find(shortcut);
    return found == State.ByShortcut.end() ? -1 : found->second->Index;
}

int RowOfSubject(const RowSubject& subject)
{
    return subject.IsShortcut() ? RowOfShortcut(subject.Link) : RowOfWindow(subject.Window);
}

int NextSelectedItemRow(int after)
{
    return (int)SendMessageA(Items(), LVM_GETNEXTITEM, (WPARAM)after, LVNI_SELECTED);
}

namespace {

void SetLabel(int index, const char* label)
{
    if (index < 0)
        return;
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(label);
    SendMessageA(Items(), LVM_SETITEMTEXTA, index, (LPARAM)&item);
}

} // namespace

void SetRowLabel(const Shortcut* shortcut, const char* label)
{
    auto found = State.ByShortcut.find(shortcut);
    if (found == State.ByShortcut.end())
        return;
    found->second->Title = label;
    SetLabel(found->second->Index, label);
}

void SetRowLabel(HWND window, const char* label)
{
    SetLabel(RowOfWindow(window), label);
}

void OnItemRowDisplayInfo(NMLVDISPINFOA* info)
{
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return;
    const ItemRow* row = info->item.lParam ? (const ItemRow*)info->item.lParam
                                           : ItemRowAt(info->item.iItem);
    lstrcpynA(info->item.pszText, row ? row->Cell(info->item.iSubItem) : "", info->item.cchTextMax);
}

void ItemRowsSorted()
{
    // The list orders its rows its own way (rows that compare equal may
    // change places): the records read where they went, once per sort.
    std::unordered_map<const ItemRow*, std::unique_ptr<ItemRow>> unplaced;
    for (std::unique_ptr<ItemRow>& row : State.Rows)
        unplaced.emplace(row.get(), std::move(row));
    State.Rows.clear();
    for (int index = 0; index < RowCount(Items()); index++) {
        LPARAM data;
        auto found = RowData(Items(), index, &data) ? unplaced.find((const ItemRow*)data)
                                                    : unplaced.end();
        if (found == unplaced.end())
            continue;
        State.Rows.push_back(std::move(found->second));
        unplaced.erase(found);
    }
    for (auto& lost : unplaced)
        ForgetRow(lost.first);
    Renumber(0);
}

// ================================================================ passes

void RefreshTaskList(const RefreshPass& pass)
{
    HWND list = Items();
    bool rebuild = ShellState.RefreshRequested.exchange(0) != 0;
    if (rebuild) {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        ForgetAllRows();
        RecreateImageLists();
    }
    TakeRowsInSight(rebuild);
    PrunePendingShows();
    LONG comeOrGone = State.ComeOrGone;

    ListNewWindows(pass);
    Folder* current = ShellState.CurrentFolder;
    if (current) {
        AddContainedRows(pass, current->Contained);
        if (current->ListSystemTasks)
            AddContainedRows(pass, &SystemTaskList());
    }
    AddShortcutRows();
    UpdateRows(pass);

    if (rebuild || State.ComeOrGone != comeOrGone)
        SendMessageA(list, LVM_ARRANGE, LVA_DEFAULT, 0);
    if (rebuild) {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    UpdateWindow(list);
    UpdateStatusBar(ItemRowCount(), pass.Memory);
}

void ApplyRefreshPass(RefreshPass* pass)
{
    // A pass gathered before the folder, its shortcuts or the options
    // changed would list windows as they were: it is dropped, and the
    // refresh thread, seeing the request, gathers a new one at once.
    if (pass && ShellState.ItemList && pass->Generation == ShellState.RefreshGeneration) {
        RefreshTaskList(*pass);
        State.Passes++;
    }
    delete pass;
    FinishPendingPass();
}

void ResetItemRows()
{
    ForgetAllRows();
    DestroyImageLists();
    State.FirstShown = State.EndShown = 0;
    State.Writes = 0;
    State.Passes = 0;
}

LONG ItemListWrites()
{
    return State.Writes;
}

LONG PassesApplied()
{
    return State.Passes;
}

void OnRowIconsLoaded()
{
    std::vector<IconSource> taken = TakeLoadedIcons();
    if (State.ImagesLarge)
        ShowLoadedRowImages(taken);
}

int RowsAwaitingImages()
{
    int pending = 0;
    for (const std::unique_ptr<ItemRow>& row : State.Rows)
        pending += row->ImagePending;
    return pending;
}

// ================================================================ columns

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

// What a row sorts by in a column: the record's facts, as shown.
const char* SortText(const ItemRow* row, int column)
{
    switch (column) {
    case 0: return row->Title.c_str();
    case 2: return PriorityRank(row->PriorityClass);
    default: return row->Cell(column);
    }
}

} // namespace

int CALLBACK CompareRows(LPARAM row1, LPARAM row2, LPARAM column)
{
    if (!row1 || !row2)
        return 1;
    if (column < 0 || column > 5 || (column >= 3 && !ShellState.IsNT))
        return 0;
    int order = lstrcmpiA(SortText((const ItemRow*)row1, (int)column),
                          SortText((const ItemRow*)row2, (int)column));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}
