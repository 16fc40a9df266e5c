// The live task list on real windows of real processes: which windows get
// rows, the folder sets of windows, shortcuts giving way to their
// programs' windows, sorting, and applications that hang.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/resource.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/itemrows.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "winkit/listrows.h"
#include "app_session.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "wait.h"

namespace {

class TaskListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        Settings.View = 3;  // details: every column visible
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.WaitForPasses(1));
    }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }

    // Waits until the window has (or has no) row.
    bool WaitForRow(HWND window, bool present = true, DWORD timeoutMs = 5000)
    {
        return WaitFor([&] { return (ItemRowOf(window) >= 0) == present; }, timeoutMs, 10);
    }
    bool WaitForRow(const Shortcut* shortcut, bool present = true, DWORD timeoutMs = 5000)
    {
        return WaitForRow((HWND)shortcut, present, timeoutMs);
    }
    bool WaitVisible(HWND window, bool visible, DWORD timeoutMs = 5000)
    {
        return WaitFor([&] { return (IsWindowVisible(window) != 0) == visible; }, timeoutMs);
    }

    AppSession session;
};

TEST_F(TaskListTest, AWindowGetsARowOnlyOnceItHasATitle)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Nameless --empty-title"));
    HWND window = app.Created("Nameless");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(session.WaitForPasses(2));
    EXPECT_LT(ItemRowOf(window), 0);

    ASSERT_TRUE(app.SetTitle(window, "Now Named"));
    ASSERT_TRUE(WaitForRow(window));
    int row = ItemRowOf(window);
    EXPECT_EQ(ItemCell(row, 0), "Now Named");
    EXPECT_EQ(ItemCell(row, 1), "Normal");
    EXPECT_EQ(ItemCell(row, 2), "Normal");
    // Windows NT: the started and processor-time columns are filled.
    ASSERT_EQ(ItemColumnCount(), 6);
    // Month, day, the year in two digits, two blanks, hour and minute: "12/07/26  10:01".
    std::string started = ItemCell(row, 3);
    unsigned month = 0, day = 0, year = 0, hour = 0, minute = 0;
    EXPECT_EQ(sscanf(started.c_str(), "%u/%u/%u  %u:%u", &month, &day, &year, &hour, &minute), 5)
        << started;
    SYSTEMTIME now;
    GetSystemTime(&now);
    EXPECT_EQ(year, now.wYear % 100u);
    EXPECT_NE(started.find("  "), std::string::npos);
    EXPECT_NE(ItemCell(row, 4).find(':'), std::string::npos);

    // A title that becomes empty ends the row.
    ASSERT_TRUE(app.SetTitle(window, ""));
    EXPECT_TRUE(WaitForRow(window, false));
}

TEST_F(TaskListTest, OurOwnWindowsAreNeverListedContainedOrRecorded)
{
    HWND ours = CreateWindowExA(0, "STATIC", "Our Own Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(ours, nullptr);
    ASSERT_TRUE(session.WaitForPasses(2));
    EXPECT_LT(ItemRowOf(ShellState.MainWindow), 0);
    EXPECT_LT(ItemRowOf(ours), 0);
    EXPECT_FALSE(SystemTaskList().Contains(ShellState.MainWindow));

    int games = AddFolder("Games");
    SelectFolder(games);
    EXPECT_TRUE(IsWindowVisible(ShellState.MainWindow));
    EXPECT_TRUE(IsWindowVisible(ours));
    EXPECT_FALSE(FolderAt(0)->Contained->Contains(ShellState.MainWindow));
    EXPECT_FALSE(FolderAt(0)->Contained->Contains(ours));
    DestroyWindow(ours);
}

TEST_F(TaskListTest, SystemDialogsAreNotListedButArePutAwayWithTheFolder)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"A Dialog\" --dialog --window \"Plain Window\""));
    HWND dialog = app.Window("A Dialog");
    HWND plain = app.Window("Plain Window");
    ASSERT_TRUE(dialog && plain);
    ASSERT_TRUE(WaitForRow(plain));
    EXPECT_LT(ItemRowOf(dialog), 0);

    int games = AddFolder("Games");
    SelectFolder(games);
    EXPECT_TRUE(WaitVisible(dialog, false));
    EXPECT_TRUE(WaitVisible(plain, false));
    SelectFolder(0);
    EXPECT_TRUE(WaitVisible(dialog, true));
    EXPECT_TRUE(WaitVisible(plain, true));
}

TEST_F(TaskListTest, OwnedToolTipAndShellWindowsAreNotListed)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Owner --window \"Owned One\" --owned "
                          "--window \"Tip Window\" --class tooltips_class32 "
                          "--window \"Fake Tray\" --class Shell_TrayWnd "
                          "--window \"Wine Tray\" --class __winex11_standalone_tray"));
    HWND owner = app.Window("Owner");
    ASSERT_TRUE(WaitForRow(owner));
    ASSERT_TRUE(session.WaitForPasses(1));
    EXPECT_LT(ItemRowOf(app.Window("Owned One")), 0);
    EXPECT_LT(ItemRowOf(app.Window("Tip Window")), 0);
    EXPECT_LT(ItemRowOf(app.Window("Fake Tray")), 0);
    EXPECT_LT(ItemRowOf(app.Window("Wine Tray")), 0);
    // The trays stay on screen whichever folder is current.
    SelectFolder(AddFolder("Games"));
    EXPECT_TRUE(WaitVisible(owner, false));
    EXPECT_TRUE(IsWindowVisible(app.Window("Fake Tray")) && IsWindowVisible(app.Window("Wine Tray")));
}

TEST_F(TaskListTest, ProgramManagerIsListedOnlyWhenAskedFor)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Program Manager\" --class Progman --window Other"));
    HWND progman = app.Window("Program Manager");
    ASSERT_TRUE(WaitForRow(app.Window("Other")));
    ASSERT_TRUE(session.WaitForPasses(1));
    EXPECT_LT(ItemRowOf(progman), 0);

    Settings.Progman = 1;
    RequestRefresh();
    EXPECT_TRUE(WaitForRow(progman));
    EXPECT_EQ(ItemCell(ItemRowOf(progman), 1), "Normal");
}

TEST_F(TaskListTest, AWindowIsNeverListedTwice)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Twice"));
    HWND window = app.Window("Twice");
    ASSERT_TRUE(WaitForRow(window));
    // Entries in several contained lists, the current one included.
    int games = AddFolder("Games");
    ShellState.CurrentFolder->Contained->Append(window)->ShowOnEnter = 0;
    ShellState.CurrentFolder->Contained->Append(window)->ShowOnEnter = 1;
    FolderAt(games)->Contained->Append(window)->ShowOnEnter = 1;
    RequestRefresh();
    ASSERT_TRUE(session.WaitForPasses(3));
    int rows = 0;
    for (int row = 0; row < ItemRows(); row++) {
        LPARAM data;
        if (RowData(ShellState.ItemList, row, &data) && ((const ItemRow*)data)->Window == window)
            rows++;
    }
    EXPECT_EQ(rows, 1);
}

TEST_F(TaskListTest, LeavingAndEnteringAFolderBringsWindowsBackAsTheyWere)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Plain --window Big --state max --window Small --state min"));
    HWND plain = app.Window("Plain"), big = app.Window("Big"), small = app.Window("Small");
    ASSERT_TRUE(plain && big && small);
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(big) && IsIconic(small); }, 3000));
    ASSERT_TRUE(WaitForRow(small));
    EXPECT_EQ(ItemCell(ItemRowOf(big), 1), "Maximized");
    EXPECT_EQ(ItemCell(ItemRowOf(small), 1), "Minimized");

    SetForegroundWindow(ShellState.MainWindow);
    int games = AddFolder("Games");
    SelectFolder(games);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(games));
    EXPECT_TRUE(WaitVisible(plain, false));
    EXPECT_TRUE(WaitVisible(big, false));
    EXPECT_TRUE(WaitVisible(small, false));
    ContainedList* main = FolderAt(0)->Contained;
    for (HWND window : {plain, big, small})
        EXPECT_TRUE(main->Contains(window));
    // The window is named after the folder.
    char title[MaxText];
    GetWindowTextA(ShellState.MainWindow, title, MaxText);
    EXPECT_STREQ(title, "Corvanix - Games");
    // The rows of put-away windows are gone from the other folder's list.
    EXPECT_TRUE(WaitForRow(plain, false));

    SelectFolder(0);
    EXPECT_TRUE(WaitVisible(plain, true));
    EXPECT_TRUE(WaitVisible(big, true));
    EXPECT_TRUE(WaitVisible(small, true));
    EXPECT_TRUE(IsZoomed(big));
    EXPECT_TRUE(IsIconic(small));
    EXPECT_FALSE(IsIconic(plain) || IsZoomed(plain));
    EXPECT_NE(GetForegroundWindow(), plain);  // shown without being activated
    EXPECT_EQ(main->Head, nullptr);  // entered: the entries are dropped
    EXPECT_TRUE(WaitForRow(big));
}

TEST_F(TaskListTest, SwitchingAwayAndBackAtOnceLosesNoWindow)
{
    // The windows' owner has not hidden them yet when the second switch
    // runs: they must not be put away a second time, into the other folder.
    std::string args;
    for (int i = 0; i < 30; i++)
        args += "--window \"Quick " + std::to_string(i) + "\" ";
    Fixture app;
    ASSERT_TRUE(app.Start(args));
    std::vector<HWND> windows = app.Windows();
    ASSERT_EQ(windows.size(), 30u);
    int games = AddFolder("Games");
    for (int round = 0; round < 3; round++) {
        SelectFolder(games);
        SelectFolder(0);
    }
    EXPECT_EQ(FolderAt(games)->Contained->Head, nullptr);
    EXPECT_EQ(FolderAt(0)->Contained->Head, nullptr);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 10000));
    for (HWND window : windows)
        EXPECT_TRUE(WaitForRow(window));

    // Away and back once more with a pause: still all there.
    SelectFolder(games);
    PumpFor(300);
    SelectFolder(0);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 10000));
}

TEST_F(TaskListTest, AWindowHiddenByTheUserStaysHiddenAcrossFolderChanges)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Tucked"));
    HWND window = app.Window("Tucked");
    ASSERT_TRUE(WaitForRow(window));
    // What Hide does: hidden, and recorded in the current folder to stay so.
    ShowWindow(window, SW_HIDE);
    ShellState.CurrentFolder->Contained->Append(window)->ShowOnEnter = 0;
    ASSERT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf(window), 1) == "Hidden"; }, 5000));

    int games = AddFolder("Games");
    SelectFolder(games);
    EXPECT_TRUE(WaitForRow(window, false));
    SelectFolder(0);
    PumpFor(300);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(WaitForRow(window));
    EXPECT_EQ(ItemCell(ItemRowOf(window), 1), "Hidden");
}

TEST_F(TaskListTest, AFolderThatIsNotCurrentAcquiresAWindowByTitle)
{
    int games = AddFolder("Games");
    Shortcut* shortcut = AddShortcut(FolderAt(games));
    shortcut->Title.Set("Solitaire Deluxe Edition");
    RequestRefresh();

    Fixture app;
    ASSERT_TRUE(app.Start("--window \"SOLITAIRE DEL - game 2\""));
    HWND window = app.Window("SOLITAIRE DEL - game 2");
    ASSERT_TRUE(WaitForRow(window));
    EXPECT_EQ(shortcut->Window, window);
    EXPECT_TRUE(FolderAt(games)->Contained->Contains(window));
    EXPECT_EQ(FolderAt(games)->Contained->Head->ShowOnEnter, 1);
    PumpFor(200);
    EXPECT_TRUE(IsWindowVisible(window));  // acquired, not put away

    // Entering that folder: the window is one of its own and stays up.
    SelectFolder(games);
    EXPECT_TRUE(WaitVisible(window, true));
    EXPECT_TRUE(WaitForRow(window));
    // Its shortcut's row gives way to it there.
    EXPECT_LT(ItemRowOf(shortcut), 0);
}

TEST_F(TaskListTest, AShortcutRowGivesWayToItsProgramsWindowAndComesBack)
{
    Folder* main = ShellState.CurrentFolder;
    Shortcut* first = AddShortcut(main);
    first->Title.Set("First Shortcut");
    Shortcut* editor = AddShortcut(main);
    editor->Title.Set("Editor Shortcut");
    editor->Position = {150, 90};
    Shortcut* last = AddShortcut(main);
    last->Title.Set("Last Shortcut");
    RequestRefresh();
    ASSERT_TRUE(WaitForRow(last));
    int place = ItemRowOf(editor);
    ASSERT_GE(place, 0);
    EXPECT_EQ(ItemCell(place, 1), "Shortcut");
    EXPECT_EQ(ItemCell(place, 2), "Normal");

    // As if the shortcut had started the program.
    Fixture app;
    ASSERT_TRUE(app.Start(""));
    editor->ProcessId = app.Pid();
    HWND window = app.Open("Some Document - Editor");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForRow(window));
    EXPECT_TRUE(WaitForRow(editor, false));
    EXPECT_EQ(editor->Window, window);
    EXPECT_EQ(ItemRowOf(window), place);
    EXPECT_LT(ItemRowOf(window), ItemRowOf(last));

    // The program ends: the shortcut's row is back, the window's gone.
    ASSERT_TRUE(app.Close(window));
    EXPECT_TRUE(WaitForRow(editor));
    EXPECT_LT(ItemRowOf(window), 0);
    EXPECT_EQ(editor->Window, nullptr);
    EXPECT_EQ(editor->ProcessId, 0u);
}

TEST_F(TaskListTest, AShortcutForSeveralInstancesKeepsItsRow)
{
    Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
    shortcut->Title.Set("Terminal");
    shortcut->MultipleInstances = 1;
    shortcut->Priority = PriorityHigh;
    RequestRefresh();
    ASSERT_TRUE(WaitForRow(shortcut));
    EXPECT_EQ(ItemCell(ItemRowOf(shortcut), 2), "High");

    Fixture app;
    ASSERT_TRUE(app.Start(""));
    shortcut->ProcessId = app.Pid();
    HWND window = app.Open("Terminal 1");
    ASSERT_TRUE(WaitForRow(window));
    ASSERT_TRUE(session.WaitForPasses(2));
    EXPECT_EQ(shortcut->Window, window);
    EXPECT_GE(ItemRowOf(shortcut), 0);
}

TEST_F(TaskListTest, ColumnsSortByTheirTextsInTheirOwnOrder)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"b normal\" --window \"c max\" --state max "
                          "--window \"d min\" --state min --window \"a hidden\" --state hidden"));
    HWND normal = app.Window("b normal"), max = app.Window("c max");
    HWND min = app.Window("d min"), hidden = app.Window("a hidden");
    ASSERT_TRUE(normal && max && min && hidden);
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(max) && IsIconic(min); }, 3000));
    Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
    shortcut->Title.Set("e shortcut");
    shortcut->Priority = PriorityHighest;
    Shortcut* low = AddShortcut(ShellState.CurrentFolder);
    low->Title.Set("f low");
    low->Priority = PriorityLow;
    // The hidden window is listed as one the user hid.
    ShellState.CurrentFolder->Contained->Append(hidden)->ShowOnEnter = 0;
    RequestRefresh();
    for (HWND window : {normal, max, min, hidden})
        ASSERT_TRUE(WaitForRow(window));
    ASSERT_TRUE(WaitForRow(low));

    // The rows sort by their records, as the pass last found them.
    auto row = [](auto value) { return (LPARAM)ItemRowAt(ItemRowOf((LPARAM)value)); };
    auto order = [](std::vector<LPARAM> values, int column) {
        std::sort(values.begin(), values.end(), [column](LPARAM a, LPARAM b) {
            return CompareRows(a, b, column) < 0;
        });
        return values;
    };
    std::vector<LPARAM> all = {row(shortcut), row(normal), row(min), row(hidden), row(max)};
    EXPECT_EQ(order(all, 1), (std::vector<LPARAM>{row(hidden), row(max), row(min), row(normal),
                                                  row(shortcut)}));
    EXPECT_EQ(order(all, 0), (std::vector<LPARAM>{row(hidden), row(normal), row(max), row(min),
                                                  row(shortcut)}));

    // Priority: Low, Normal, High, Highest, whatever the words' own order.
    Fixture busy;
    ASSERT_TRUE(busy.Start("--window \"busy one\""));
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, busy.Pid());
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(SetPriorityClass(process, HIGH_PRIORITY_CLASS));
    CloseHandle(process);
    HWND high = busy.Window("busy one");
    ASSERT_TRUE(WaitForRow(high));
    ASSERT_TRUE(session.WaitForPasses(2));
    EXPECT_EQ(order({row(shortcut), row(high), row(low), row(normal)}, 2),
              (std::vector<LPARAM>{row(low), row(normal), row(high), row(shortcut)}));

    // Null data sorts last; a column past the last compares equal.
    EXPECT_EQ(CompareRows(0, row(normal), 0), 1);
    EXPECT_EQ(CompareRows(row(normal), row(max), 9), 0);

    // Clicking a header sorts the list itself.
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = ShellState.ItemList;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 0;
    SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&click);
    std::vector<std::string> labels = ItemLabels();
    EXPECT_TRUE(std::is_sorted(labels.begin(), labels.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    }));
}

TEST_F(TaskListTest, AHungApplicationFreezesNothing)
{
    Fixture hung, lively;
    ASSERT_TRUE(hung.Start("--window \"Hung Window\" --window \"Hung Two\" --state max"));
    ASSERT_TRUE(lively.Start("--window \"Lively Window\""));
    HWND stuck = hung.Window("Hung Window");
    HWND other = lively.Window("Lively Window");
    ASSERT_TRUE(WaitForRow(stuck) && WaitForRow(other));
    ASSERT_TRUE(hung.Hang(0));
    DWORD_PTR ignored;
    ASSERT_FALSE(SendMessageTimeoutA(stuck, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &ignored));

    // Passes go on, and keep following the other application.
    ASSERT_TRUE(lively.Show(other, "min"));
    EXPECT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf(other), 1) == "Minimized"; }, 5000));
    HWND newer = lively.Open("Lively Newer");
    EXPECT_TRUE(WaitForRow(newer));

    // A folder switch with the hung window does not wait for it either.
    int games = AddFolder("Games");
    DWORD start = GetTickCount();
    SelectFolder(games);
    SelectFolder(0);
    EXPECT_LT(GetTickCount() - start, 1000u);
    RequestRefresh();
    start = GetTickCount();
    EXPECT_TRUE(session.WaitForPasses(2));
    EXPECT_LT(GetTickCount() - start, 3000u);
    // Sorting reads titles without asking the hung window.
    start = GetTickCount();
    SendMessageA(ShellState.ItemList, LVM_SORTITEMS, 0, (LPARAM)CompareRows);
    EXPECT_LT(GetTickCount() - start, 1000u);

    ASSERT_TRUE(hung.Unhang());
    // Once it answers again the switch's requests have reached it.
    EXPECT_TRUE(WaitVisible(stuck, true));
    EXPECT_TRUE(WaitForRow(stuck));
}

TEST_F(TaskListTest, AHiddenWindowPausesTheRefresh)
{
    Fixture app;
    ASSERT_TRUE(app.Start(""));
    ShowWindow(ShellState.MainWindow, SW_HIDE);
    ShellState.Hidden = 1;
    PumpFor(400);
    LONG passes = PassesApplied();
    HWND window = app.Open("Appears While Hidden");
    PumpFor(1200);
    EXPECT_EQ(PassesApplied(), passes);
    EXPECT_LT(ItemRowOf(window), 0);
    ShowMainWindow();
    EXPECT_FALSE(ShellState.Hidden);
    EXPECT_TRUE(WaitForRow(window));
}

TEST_F(TaskListTest, APassWritesOnlyTheCellsThatChanged)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window One --window Two --state max --window Three --state min"));
    HWND one = app.Window("One");
    ASSERT_TRUE(WaitForRow(app.Window("Three")));
    ASSERT_TRUE(session.WaitForPasses(2));
    auto cells = AllItemCells;
    // Nothing changes on the desktop but the processes' processor times,
    // which tick on their own: every write is a cell whose text changed.
    for (int pass = 0; pass < 3; pass++) {
        std::vector<std::string> before = cells();
        LONG writes = ItemListWrites();
        ASSERT_TRUE(session.WaitForPasses(1));
        std::vector<std::string> after = cells();
        ASSERT_EQ(before.size(), after.size());
        LONG changed = 0;
        for (size_t i = 0; i < before.size(); i++) {
            if (before[i] == after[i])
                continue;
            changed++;
            EXPECT_TRUE(i % 6 == 4 || i % 6 == 5) << "row " << i / 6 << " column " << i % 6
                                                 << ": " << before[i] << " -> " << after[i];
        }
        EXPECT_EQ(ItemListWrites() - writes, changed);
    }

    // One change of state costs that one cell (and any ticking times).
    std::vector<std::string> before = cells();
    LONG writes = ItemListWrites();
    ASSERT_TRUE(app.Show(one, "min"));
    ASSERT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf(one), 1) == "Minimized"; }, 5000));
    std::vector<std::string> after = cells();
    LONG changed = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); i++)
        changed += before[i] != after[i];
    EXPECT_GE(changed, 1);
    EXPECT_LE(ItemListWrites() - writes, changed + 8);  // times may tick twice
}

// The pixels of a cell as the list shows them.
std::vector<COLORREF> CellPixels(int row, int column)
{
    RECT cell = {LVIR_BOUNDS, column, 0, 0};
    SendMessageA(ShellState.ItemList, LVM_GETSUBITEMRECT, row, (LPARAM)&cell);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(ShellState.ItemList);
    for (int y = cell.top; y < cell.bottom; y++)
        for (int x = cell.left + 2; x < cell.right - 2; x++)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(ShellState.ItemList, dc);
    return pixels;
}

TEST_F(TaskListTest, ARowThatChangedOutOfSightIsRightOnceScrolledIntoView)
{
    std::string args = "--window Minimised --state min";
    for (int i = 0; i < 40; i++)
        args += " --window \"Row " + std::to_string(i) + "\"";
    Fixture app;
    ASSERT_TRUE(app.Start(args));
    HWND distant = nullptr;
    for (int i = 0; i < 40; i++) {
        HWND window = app.Window("Row " + std::to_string(i));
        ASSERT_TRUE(WaitForRow(window));
        if (!distant || ItemRowOf(window) > ItemRowOf(distant))
            distant = window;
    }
    HWND list = ShellState.ItemList;
    auto stateInSight = [&](HWND window) {
        SendMessageA(list, LVM_ENSUREVISIBLE, ItemRowOf(window), FALSE);
        UpdateWindow(list);
        return CellPixels(ItemRowOf(window), 1);
    };
    std::vector<COLORREF> minimised = stateInSight(app.Window("Minimised"));
    ASSERT_NE(minimised, stateInSight(app.Window("Row 0")));  // the pixels tell the two apart

    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ASSERT_GT(ItemRowOf(distant), (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_TRUE(app.Show(distant, "min"));
    ASSERT_TRUE(WaitFor([&] { return ItemRowAt(ItemRowOf(distant))->State == std::string("Minimized"); }, 5000));
    EXPECT_EQ(stateInSight(distant), minimised);
}

} // namespace
