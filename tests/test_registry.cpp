// The registry store: first start, a full round trip, the layout's limits
// and rules, and registries edited by hand.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/resource.h"
#include "common/product.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "app_session.h"
#include "session_test.h"
#include "corvanix_process.h"
#include "registry_values.h"
#include "session_probe.h"
#include "wait.h"

namespace {

const char* const Product = ProductKeyName;
const char* const Folders = FoldersKeyName;
const char* const History = HistoryKeyName;

class RegistryTest : public SessionTest {
protected:
    // Exits (which saves) and starts afresh from the registry alone.
    void Restart()
    {
        session.Exit();
        ResetSettings();
        ASSERT_TRUE(session.Start());
    }
};

TEST_F(RegistryTest, AFirstStartHasEveryDefaultAndOneFolderMain)
{
    ASSERT_TRUE(session.Start());
    // The load itself creates the four keys.
    for (const char* key : {MakerKeyName, Product, History, Folders})
        EXPECT_TRUE(KeyExists(key)) << key;
    EXPECT_EQ(Settings.Priority, 2u);
    EXPECT_EQ(Settings.TaskBar, 1u);
    EXPECT_EQ(Settings.nViewX, 70u);
    EXPECT_EQ(Settings.Color, 0x00C0C0C0u);
    EXPECT_EQ(Settings.AcquireLength, 12u);
    EXPECT_EQ(Settings.HotKey, 0u);
    EXPECT_EQ(RunHistoryCount(), 0);
    ASSERT_EQ(FolderCount(), 1);
    EXPECT_STREQ(FolderAt(0)->Title.Get(), "Main");
    EXPECT_EQ(FolderAt(0)->HotKey, 0x00030070u);
    EXPECT_EQ(FolderAt(0)->ListSystemTasks, 0u);
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 0);
    // Nothing is written before a save.
    EXPECT_EQ(GetText(Product, "Version"), "<missing>");
}

TEST_F(RegistryTest, EverythingSurvivesAnExitAndAStart)
{
    ASSERT_TRUE(session.Start());
    Settings.Priority = 1;
    Settings.Top = 1;
    Settings.Progman = 1;
    Settings.AutoClose = 1;
    Settings.nViewX = 123;
    Settings.Color = RGB(10, 20, 30);
    Settings.HotKey = MakeHotKeyCode(VK_F7, HotKeyCtrl | HotKeyShift);
    session.Command(IDM_SMALLICONS);
    session.Command(IDM_STATUSBAR);  // off
    SetWindowPos(ShellState.MainWindow, nullptr, 50, 60, 500, 300, SWP_NOZORDER);
    session.Command(IDM_DETAILS);
    SendMessageA(ShellState.ItemList, LVM_SETCOLUMNWIDTH, 0, 150);
    SendMessageA(ShellState.ItemList, LVM_SETCOLUMNWIDTH, 5, 44);
    session.Command(IDM_LIST);
    RunHistoryInsert("notepad");
    RunHistoryInsert("\"C:\\Program Files\\Ed\\ed.exe\" letter.txt");

    Folder* main = FolderAt(0);
    main->HotKey = MakeHotKeyCode(VK_F2, HotKeyAlt);
    Shortcut* a = AddShortcut(main);
    a->Title.Set("Editor");
    a->CommandLine.Set("\"C:\\Program Files\\Ed\\ed.exe\" -n");
    a->WorkingDirectory.Set("\"C:\\Work Dir\"");
    a->IconFile.Set("C:\\icons.dll");
    a->IconIndex = -3;
    a->ShowState = 2;
    a->Priority = 3;
    a->SeparateMemory = 0;
    a->MultipleInstances = 1;
    a->ContainInFolder = 0;
    a->Position = {-20, 4000};
    Shortcut* b = AddShortcut(main);
    b->Title.Set("Second");
    Folder* games = CreateFolder("Games", MakeHotKeyCode('G', HotKeyCtrl | HotKeyAlt), 1);
    Shortcut* c = AddShortcut(games);
    c->Title.Set("Cards");
    c->CommandLine.Set("cards.exe");
    c->ShowState = 1;

    Restart();
    EXPECT_EQ(Settings.Priority, 1u);
    EXPECT_EQ(Settings.Top, 1u);
    EXPECT_EQ(Settings.Progman, 1u);
    EXPECT_EQ(Settings.AutoClose, 1u);
    EXPECT_EQ(Settings.StatusBar, 0u);
    EXPECT_EQ(Settings.nViewX, 123u);
    EXPECT_EQ(Settings.Color, RGB(10, 20, 30));
    EXPECT_EQ(Settings.HotKey, MakeHotKeyCode(VK_F7, HotKeyCtrl | HotKeyShift));
    EXPECT_EQ(Settings.View, 2u);
    EXPECT_EQ(Settings.Window.left, 50);
    EXPECT_EQ(Settings.Window.top, 60);
    EXPECT_EQ(Settings.Window.right, 550);
    EXPECT_EQ(Settings.Window.bottom, 360);
    RECT frame;
    GetWindowRect(ShellState.MainWindow, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.right, 550);
    EXPECT_EQ(Settings.ColWidth[0], 150);
    EXPECT_EQ(Settings.ColWidth[5], 44);
    EXPECT_EQ(Settings.ColWidth[1], 54);
    EXPECT_EQ(GetWindowLongA(ShellState.ItemList, GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_FALSE(IsWindowVisible(ShellState.StatusWindow));
    ASSERT_EQ(RunHistoryCount(), 2);
    EXPECT_STREQ(RunHistoryText(0), "\"C:\\Program Files\\Ed\\ed.exe\" letter.txt");
    EXPECT_STREQ(RunHistoryText(1), "notepad");

    ASSERT_EQ(FolderCount(), 2);
    main = FolderAt(0);
    games = FolderAt(1);
    EXPECT_STREQ(main->Title.Get(), "Main");
    EXPECT_EQ(main->HotKey, MakeHotKeyCode(VK_F2, HotKeyAlt));
    EXPECT_STREQ(games->Title.Get(), "Games");
    EXPECT_EQ(games->HotKey, MakeHotKeyCode('G', HotKeyCtrl | HotKeyAlt));
    EXPECT_EQ(games->ListSystemTasks, 1u);
    ASSERT_EQ(ShortcutCount(main), 2);
    a = main->First;
    EXPECT_STREQ(a->Title.Get(), "Editor");
    EXPECT_STREQ(a->CommandLine.Get(), "\"C:\\Program Files\\Ed\\ed.exe\" -n");
    EXPECT_STREQ(a->WorkingDirectory.Get(), "\"C:\\Work Dir\"");
    EXPECT_STREQ(a->IconFile.Get(), "C:\\icons.dll");
    EXPECT_EQ(a->IconIndex, -3);
    EXPECT_EQ(a->ShowState, 2);
    EXPECT_EQ(a->Priority, 3u);
    EXPECT_EQ(a->SeparateMemory, 0u);
    EXPECT_EQ(a->MultipleInstances, 1u);
    EXPECT_EQ(a->ContainInFolder, 0u);
    EXPECT_EQ(a->Position.x, -20);
    EXPECT_EQ(a->Position.y, 4000);
    EXPECT_STREQ(main->Last->Title.Get(), "Second");
    EXPECT_EQ(main->Last->SeparateMemory, 1u);  // a new shortcut's, saved and read back
    ASSERT_EQ(ShortcutCount(games), 1);
    EXPECT_STREQ(games->First->CommandLine.Get(), "cards.exe");
    EXPECT_EQ(games->First->ShowState, 1);

    // The layout as written.
    EXPECT_EQ(GetText(Product, "Version"), "4.5.169");
    std::vector<BYTE> data;
    DWORD type = 0;
    ASSERT_TRUE(GetValue(Product, "Color", &data, &type));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(data.size(), 4u);
    ASSERT_TRUE(GetValue(Product, "Window", &data, &type));
    EXPECT_EQ(data.size(), 16u);
    ASSERT_TRUE(GetValue(Product, "ColWidth", &data, &type));
    EXPECT_EQ(data.size(), 12u);
    ASSERT_TRUE(GetValue(FolderKey(0), "Z0", &data, &type));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(data.size(), 8u);
    EXPECT_EQ(GetText(Folders, "1"), "Games");
    EXPECT_EQ(GetDword(FolderKey(0), "W0"), 2u);
    EXPECT_EQ(GetText(FolderKey(1), "T0"), "Cards");
    EXPECT_FALSE(GetValue(Product, "AcquireLength", &data));
}

// Gaps, empty titles and entries that cannot be read are passed over, not
// the end of the list: a start and two Exits keep every readable entry.
TEST_F(RegistryTest, GapsAndUnreadableEntriesLoseNothingReadable)
{
    PutText(Folders, "0", "Zero");
    PutText(Folders, "1", "");
    PutText(Folders, "3", "Three");  // "2" is missing
    PutText(Folders, "4", std::string(259, 'f'));
    PutDword(Folders, "5", 5);
    PutText(Folders, "7", "Seven");
    PutText(Folders, "07", "Not a number of ours");
    PutText(FolderKey(3), "T0", "Kept");
    PutText(FolderKey(4), "T0", "Of an unreadable folder");
    const std::string zero = FolderKey(0);
    PutText(zero, "T1", "One");  // "T0" is missing
    PutText(zero, "C1", "one.exe");
    PutText(zero, "T2", "");
    PutText(zero, "C2", "untitled.exe");
    PutText(zero, "T3", std::string(259, 't'));
    PutText(zero, "C3", "unreadable.exe");
    PutText(zero, "T5", "Five");
    PutText(zero, "C5", "five.exe");
    PutDword(zero, "W5", 2);
    auto check = [] {
        ASSERT_EQ(FolderCount(), 4);
        EXPECT_STREQ(FolderAt(0)->Title.Get(), "Zero");
        EXPECT_EQ(FolderAt(0)->HotKey, 0u);  // no "0" value: no hot key
        EXPECT_STREQ(FolderAt(1)->Title.Get(), "");
        EXPECT_STREQ(FolderAt(2)->Title.Get(), "Three");
        EXPECT_STREQ(FolderAt(3)->Title.Get(), "Seven");
        ASSERT_EQ(ShortcutCount(FolderAt(2)), 1);
        EXPECT_STREQ(FolderAt(2)->First->Title.Get(), "Kept");
        Folder* folder = FolderAt(0);
        ASSERT_EQ(ShortcutCount(folder), 3);
        Shortcut* s = folder->First;
        EXPECT_STREQ(s->Title.Get(), "One");
        EXPECT_STREQ(s->CommandLine.Get(), "one.exe");
        s = s->Next;
        EXPECT_STREQ(s->Title.Get(), "");
        EXPECT_STREQ(s->CommandLine.Get(), "untitled.exe");
        s = s->Next;
        EXPECT_STREQ(s->CommandLine.Get(), "five.exe");
        EXPECT_EQ(s->ShowState, 2);
    };
    ASSERT_TRUE(session.Start());
    check();
    Restart();
    check();
    // Written back without gaps.
    EXPECT_EQ(SubKeys(Folders), (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(GetText(FolderKey(0), "T1"), "");
    EXPECT_EQ(GetText(FolderKey(0), "C2"), "five.exe");
    Restart();
    check();
}

TEST_F(RegistryTest, ADeletedFolderLeavesNoStaleSubkey)
{
    for (int i = 0; i < 3; i++) {
        PutText(Folders, std::to_string(i), "Folder " + std::to_string(i));
        PutText(FolderKey(i), "T0", "Shortcut of " + std::to_string(i));
        PutText(FolderKey(i), "T1", "Another of " + std::to_string(i));
    }
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(FolderCount(), 3);
    // Take the middle folder out as folder deletion does.
    Folder* middle = FolderAt(1);
    SendMessageA(ShellState.FolderPane, LVM_DELETEITEM, 1, 0);
    RemoveFolder(middle);
    RemoveShortcut(FolderAt(1), FolderAt(1)->Last);
    session.Exit();

    std::vector<std::string> subkeys = SubKeys(Folders);
    EXPECT_EQ(subkeys, (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(GetText(Folders, "1"), "Folder 2");
    EXPECT_EQ(GetText(Folders, "2"), "<missing>");
    EXPECT_EQ(GetText(FolderKey(1), "T0"), "Shortcut of 2");
    EXPECT_EQ(GetText(FolderKey(1), "T1"), "<missing>");
}

// More folders than the program makes (a registry edited by hand) are
// read and written back whole. A folder holds at most 500 shortcuts: those
// beyond stay stored as they are, and come in at a start once there is
// room, even when the folder has moved to another key meanwhile.
TEST_F(RegistryTest, SeventyFoldersAndShortcutsBeyondTheLimitSurvive)
{
    for (int i = 0; i < 70; i++)
        PutText(Folders, std::to_string(i), "F" + std::to_string(i));
    auto fill = [](int folder, int first, int end) {
        HKEY key = CreateKey(FolderKey(folder));
        for (int j = first; j < end; j++) {
            std::string name = "T" + std::to_string(j), title = "S" + std::to_string(j);
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE*)title.c_str(), (DWORD)title.size() + 1);
        }
        RegCloseKey(key);
    };
    fill(2, 0, 600);
    // Thousands of values, numbered from far beyond 0 by hand.
    fill(3, 2000, 8100);
    PutDword(FolderKey(2), "W599", 2);
    PutText(FolderKey(69), "T0", "Last");
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(FolderCount(), 70);
    ASSERT_EQ(ShortcutCount(FolderAt(3)), 500);
    EXPECT_STREQ(FolderAt(3)->First->Title.Get(), "S2000");
    EXPECT_STREQ(FolderAt(69)->First->Title.Get(), "Last");
    Folder* full = FolderAt(2);
    EXPECT_EQ(ShortcutCount(full), 500);
    EXPECT_STREQ(full->Last->Title.Get(), "S499");
    EXPECT_EQ(ShortcutRoom(full), 0);
    for (int removed = 0; removed < 10; removed++)
        RemoveShortcut(full, full->First);
    Restart();
    EXPECT_EQ(GetText(FolderKey(2), "T599"), "S599");
    EXPECT_EQ(GetText(FolderKey(2), "T490"), "<missing>");
    full = FolderAt(2);
    ASSERT_EQ(ShortcutCount(full), 500);
    EXPECT_STREQ(full->First->Title.Get(), "S10");
    EXPECT_STREQ(full->Last->Title.Get(), "S509");
    // Folder 1 goes: the full folder and what it left stored move to key 1.
    SendMessageA(ShellState.FolderPane, LVM_DELETEITEM, 1, 0);
    RemoveFolder(FolderAt(1));
    Restart();
    ASSERT_EQ(FolderCount(), 69);
    EXPECT_STREQ(FolderAt(68)->First->Title.Get(), "Last");
    ASSERT_EQ(ShortcutCount(FolderAt(1)), 500);
    EXPECT_STREQ(FolderAt(1)->First->Title.Get(), "S10");
    session.Exit();
    EXPECT_EQ(GetText(FolderKey(1), "T599"), "S599");
    EXPECT_EQ(GetDword(FolderKey(1), "W599"), 2u);
    EXPECT_EQ(GetText(FolderKey(1), "T499"), "S509");
    EXPECT_EQ(GetText(FolderKey(2), "T8099"), "S8099");
    EXPECT_EQ(GetText(Folders, "69"), "<missing>");
    EXPECT_FALSE(KeyExists(FolderKey(69)));
}

TEST_F(RegistryTest, HistoryLoadsOldestFirstAndCollapsesRepeats)
{
    PutText(History, "0", "NOTEPAD");
    PutText(History, "1", "notepad");
    PutText(History, "2", "calc");
    PutText(History, "3", "");
    PutText(History, "5", "winver");
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(RunHistoryCount(), 3);
    EXPECT_STREQ(RunHistoryText(0), "notepad");  // value 1, read first, stays
    EXPECT_STREQ(RunHistoryText(1), "calc");
    EXPECT_STREQ(RunHistoryText(2), "winver");
    // The save leaves no entry above those it writes.
    session.Exit();
    EXPECT_EQ(GetText(History, "2"), "winver");
    for (const char* stale : {"3", "5"})
        EXPECT_EQ(GetText(History, stale), "<missing>") << stale;
}

TEST_F(RegistryTest, ASaveInAnIconViewWritesDetailWidthsAndKeepsTheView)
{
    ASSERT_TRUE(session.Start());
    session.Command(IDM_DETAILS);
    SendMessageA(ShellState.ItemList, LVM_SETCOLUMNWIDTH, 2, 77);
    session.Command(IDM_LARGEICONS);
    SaveLayoutAndSettings();
    PumpFor(100);
    EXPECT_EQ(GetWindowLongA(ShellState.ItemList, GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(Settings.View, 0u);
    EXPECT_EQ(GetDword(Product, "View"), 0u);
    std::vector<BYTE> widths;
    ASSERT_TRUE(GetValue(Product, "ColWidth", &widths));
    ASSERT_EQ(widths.size(), 12u);
    EXPECT_EQ(widths[4] | widths[5] << 8, 77);
    EXPECT_EQ(widths[0] | widths[1] << 8, 103);
    // Windows NT: all six columns have widths.
    EXPECT_NE(widths[10] | widths[11] << 8, 0);
}

TEST_F(RegistryTest, AHiddenToolbarKeepsItsRearrangedButtons)
{
    ASSERT_TRUE(session.Start());
    HWND toolbar = ShellState.ToolbarWindow;
    ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 18);
    SendMessageA(toolbar, TB_DELETEBUTTON, 17, 0);  // Help
    SendMessageA(toolbar, TB_DELETEBUTTON, 1, 0);   // Open
    session.Command(IDM_TOOLBAR);  // hidden
    EXPECT_EQ(Settings.ToolBar, 0u);
    session.Exit();
    ResetSettings();
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(Settings.ToolBar, 0u);
    EXPECT_FALSE(IsWindowVisible(ShellState.ToolbarWindow));
    EXPECT_EQ(SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0), 16);
    TBBUTTON button = {};
    SendMessageA(ShellState.ToolbarWindow, TB_GETBUTTON, 1, (LPARAM)&button);
    EXPECT_EQ(button.idCommand, IDM_MINIMIZE);
    EXPECT_EQ(button.iBitmap, 2);
    SendMessageA(ShellState.ToolbarWindow, TB_GETBUTTON, 2, (LPARAM)&button);
    EXPECT_EQ(button.fsStyle & TBSTYLE_SEP, TBSTYLE_SEP);
    // The arrangement is kept apart from the visibility flag.
    std::vector<BYTE> arrangement;
    EXPECT_TRUE(GetValue(Product, "ToolbarButtons", &arrangement));
    EXPECT_GT(arrangement.size(), 4u);
    EXPECT_EQ(GetDword(Product, "ToolBar"), 0u);
    // A toolbar emptied is restored empty.
    while (SendMessageA(ShellState.ToolbarWindow, TB_DELETEBUTTON, 0, 0)) {
    }
    Restart();
    EXPECT_EQ(SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(RegistryTest, KeysGetTheHivesDefaultSecurityNotANullDacl)
{
    ASSERT_TRUE(session.Start());
    session.Exit();
    for (const char* path : {MakerKeyName, Product, History, Folders}) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, READ_CONTROL, &key), ERROR_SUCCESS);
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        DWORD result = GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                       nullptr, &dacl, nullptr, &descriptor);
        EXPECT_EQ(result, (DWORD)ERROR_SUCCESS) << path;
        BOOL present = FALSE, defaulted = FALSE;
        PACL read = nullptr;
        if (descriptor)
            GetSecurityDescriptorDacl(descriptor, &present, &read, &defaulted);
        // A present but null DACL would grant everyone everything.
        EXPECT_FALSE(present && read == nullptr) << path;
        LocalFree(descriptor);
        RegCloseKey(key);
    }
}

TEST_F(RegistryTest, AHandEditedRegistryGivesDefaultsAndLosesNothingValid)
{
    // Options of the wrong type or size, out-of-range values.
    PutText(Product, "Priority", "3");
    PutBinary(Product, "nViewX", "\x50\x00", 2);
    PutDword(Product, "Top", 7);
    PutDword(Product, "StatusBar", 0);
    BYTE shortWindow[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutBinary(Product, "Window", shortWindow, sizeof shortWindow);
    PutBinary(Product, "ColWidth", "\x10\x00", 2);
    PutDword(Product, "AcquireLength", 5);
    // History: an over-long command does not load; the others do.
    PutText(History, "0", std::string(300, 'x'));
    PutText(History, "1", "calc");
    // Folder 0: no "0" or "1"; shortcuts with missing and bad values.
    PutText(Folders, "0", "Edited");
    PutText(FolderKey(0), "T0", "No Values");
    PutText(FolderKey(0), "T1", "Bad Values");
    PutText(FolderKey(0), "C1", std::string(400, 'c'));
    PutDword(FolderKey(0), "W1", 9);
    PutDword(FolderKey(0), "P1", 12);
    PutText(FolderKey(0), "X1", "not a number");
    PutBinary(FolderKey(0), "Z1", "\x01\x02\x03", 3);
    PutDword(FolderKey(0), "N1", 5);
    PutText(FolderKey(0), "D1", "C:\\Kept");
    // Folder 1 with an over-long title is passed over.
    PutText(Folders, "1", std::string(260, 'f'));
    PutText(Folders, "2", "After");

    ASSERT_TRUE(session.Start());
    EXPECT_EQ(Settings.Priority, 2u);
    EXPECT_EQ(Settings.nViewX, 70u);
    EXPECT_EQ(Settings.Top, 1u);  // a flag: 7 counts as set
    EXPECT_EQ(Settings.StatusBar, 0u);
    EXPECT_EQ(Settings.Window.right, 0);
    EXPECT_EQ(Settings.ColWidth[0], 103);
    EXPECT_EQ(Settings.AcquireLength, 5u);
    ASSERT_EQ(RunHistoryCount(), 1);
    EXPECT_STREQ(RunHistoryText(0), "calc");
    ASSERT_EQ(FolderCount(), 2);
    EXPECT_STREQ(FolderAt(1)->Title.Get(), "After");
    Folder* folder = FolderAt(0);
    EXPECT_STREQ(folder->Title.Get(), "Edited");
    EXPECT_EQ(folder->HotKey, 0u);
    ASSERT_EQ(ShortcutCount(folder), 2);
    Shortcut* none = folder->First;
    EXPECT_STREQ(none->CommandLine.Get(), "");
    EXPECT_EQ(none->ShowState, 0);
    EXPECT_EQ(none->SeparateMemory, 0u);
    EXPECT_EQ(none->ContainInFolder, 1u);
    EXPECT_EQ(none->Position.x, 0);
    Shortcut* bad = folder->Last;
    EXPECT_STREQ(bad->CommandLine.Get(), "");
    EXPECT_STREQ(bad->WorkingDirectory.Get(), "C:\\Kept");
    EXPECT_EQ(bad->ShowState, 0);
    EXPECT_EQ(bad->Priority, 0u);
    EXPECT_EQ(bad->IconIndex, 0);
    EXPECT_EQ(bad->MultipleInstances, 1u);
    EXPECT_EQ(bad->Position.y, 0);

    // The next save writes a clean layout that loads to the same.
    Restart();
    EXPECT_EQ(GetDword(Product, "Priority"), 2u);
    EXPECT_EQ(GetDword(Product, "Top"), 1u);
    EXPECT_EQ(GetText(Folders, "1"), "After");
    EXPECT_EQ(GetText(Folders, "2"), "<missing>");
    EXPECT_EQ(GetDword(FolderKey(0), "W1"), 0u);
    EXPECT_EQ(GetText(FolderKey(0), "D1"), "C:\\Kept");
    ASSERT_EQ(FolderCount(), 2);
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 2);
    EXPECT_STREQ(FolderAt(0)->Last->WorkingDirectory.Get(), "C:\\Kept");
    EXPECT_EQ(RunHistoryCount(), 1);
}

TEST_F(RegistryTest, AWindowRectangleOffEveryScreenIsNotUsed)
{
    LONG farAway[4] = {-30000, -30000, -29500, -29700};
    PutBinary(Product, "Window", farAway, sizeof farAway);
    ASSERT_TRUE(session.Start());
    RECT frame, desktop;
    GetWindowRect(ShellState.MainWindow, &frame);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(frame.left, (desktop.right - 468) / 2);
}

// A rectangle saved while maximised overhangs the screen by the frame, and
// is restored; a priority or view out of range runs Normal and shows
// Details, as start-up applies them.
TEST_F(RegistryTest, AMaximisedRectangleAndChoicesOutOfRangeAreTakenAsStartUpTakesThem)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    LONG frame = GetSystemMetrics(SM_CXFRAME);
    LONG maximised[4] = {-frame, -frame, desktop.right + frame, desktop.bottom + frame};
    PutBinary(Product, "Window", maximised, sizeof maximised);
    PutDword(Product, "Priority", 7);
    PutDword(Product, "View", 9);
    ASSERT_TRUE(session.Start());
    RECT window;
    GetWindowRect(ShellState.MainWindow, &window);
    EXPECT_EQ(window.left, -frame);
    EXPECT_EQ(window.right, desktop.right + frame);
    EXPECT_EQ(Settings.Priority, (DWORD)PriorityNormal);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), (DWORD)NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(Settings.View, 3u);
    EXPECT_EQ(GetWindowLongA(ShellState.ItemList, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
}

FILETIME LastWritten(const std::string& path)
{
    FILETIME written = {0, 0};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &written);
        RegCloseKey(key);
    }
    return written;
}

// A save writes only what changed: a folder that did not change is not
// touched. What something else deleted meanwhile (the installer's removal
// while the program runs) is written whole again, and a journal that is
// no save's is dropped.
TEST_F(RegistryTest, ASaveWritesWhatChangedAndWhatWasTakenAway)
{
    ASSERT_TRUE(session.Start());
    CreateFolder("Other", 0, 0);
    for (int i = 0; i < 2; i++)
        AddShortcut(FolderAt(i))->Title.Set(("In " + std::to_string(i)).c_str());
    Restart();
    FILETIME untouched = LastWritten(FolderKey(0));
    FILETIME touched = LastWritten(FolderKey(1));
    Sleep(20);
    FolderAt(1)->First->CommandLine.Set("changed.exe");
    RunHistoryInsert("calc");
    Restart();
    FILETIME now = LastWritten(FolderKey(0));
    EXPECT_EQ(CompareFileTime(&now, &untouched), 0);
    now = LastWritten(FolderKey(1));
    EXPECT_NE(CompareFileTime(&now, &touched), 0);
    EXPECT_EQ(GetText(FolderKey(1), "C0"), "changed.exe");

    CleanRegistry();
    BYTE garbage[12] = {1, 2, 3, 0, 0, 0, 0, 0, 5};  // five parts, none there
    PutBinary(JournalKeyName, "Complete", garbage, sizeof garbage);
    session.Exit();
    EXPECT_FALSE(KeyExists(JournalKeyName));
    EXPECT_EQ(GetText(Folders, "1"), "Other");
    EXPECT_EQ(GetText(FolderKey(0), "T0"), "In 0");
    EXPECT_EQ(GetText(History, "0"), "calc");
    EXPECT_EQ(GetText(Product, "Version"), "4.5.169");
    PutBinary(JournalKeyName, "Complete", garbage, sizeof garbage);
    ResetSettings();
    ASSERT_TRUE(session.Start());
    EXPECT_FALSE(KeyExists(JournalKeyName));
    ASSERT_EQ(FolderCount(), 2);
    EXPECT_STREQ(FolderAt(1)->First->CommandLine.Get(), "changed.exe");
}

// Layouts no save of ours writes: a window whose title bar is off the
// screen or that is too small or huge to use, column widths of 0 or beyond
// any screen, toolbar arrangements that are not lists of known buttons.
// Each gets the default, and the next save writes the default back.
TEST_F(RegistryTest, NonsenseLayoutsGetTheDefaults)
{
    const LONG windows[][4] = {
        {-32000, -32000, -31840, -31973},  // where a minimised window lies
        {100, -400, 600, -100},            // the title bar above the screen
        {990, 100, 1400, 400},             // only a sliver of it on the screen
        {100, 100, 130, 125},              // too small to use
        {0, 0, 100000, 80000},             // far bigger than the screen
    };
    const std::vector<LONG> arrangements[] = {
        {101, -5},                             // a command no button has
        {0x7FFFFFFF},                          // nor that one
        {101, 7, 104},                         // nor 7
        {101, 104, 101},                       // a button twice
        std::vector<LONG>(65, 101),            // too long
    };
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    for (size_t i = 0; i < 5; i++) {
        SCOPED_TRACE(i);
        FreshStart();
        PutBinary(Product, "Window", windows[i], sizeof windows[i]);
        WORD widths[6] = {0, 60000, 4097, 7, 120, 0};
        PutBinary(Product, "ColWidth", widths, sizeof widths);
        const std::vector<LONG>& buttons = arrangements[i];
        PutBinary(Product, "ToolbarButtons", buttons.data(), (DWORD)(buttons.size() * sizeof(LONG)));
        ASSERT_TRUE(session.Start());
        RECT frame;
        GetWindowRect(ShellState.MainWindow, &frame);
        EXPECT_EQ(frame.left, (desktop.right - 468) / 2);
        EXPECT_EQ(frame.right - frame.left, 468);
        const WORD defaults[6] = {103, 54, 51, 91, 70, 70};
        for (int column = 0; column < 6; column++)
            EXPECT_EQ(Settings.ColWidth[column], column == 4 ? 120 : defaults[column]) << column;
        EXPECT_EQ(SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0), 18);
        session.Exit();
        std::vector<BYTE> saved;
        ASSERT_TRUE(GetValue(Product, "ToolbarButtons", &saved));
        EXPECT_EQ(saved.size(), 18 * sizeof(LONG));
        ASSERT_TRUE(GetValue(Product, "ColWidth", &saved));
        EXPECT_EQ(saved[0] | saved[1] << 8, 103);
    }
}

TEST_F(RegistryTest, ATextOfTheLongestKeptLengthLoadsAgain)
{
    ASSERT_TRUE(session.Start());
    Shortcut* shortcut = AddShortcut(FolderAt(0));
    std::string longest(1000, 'L');
    shortcut->Title.Set("Long");
    shortcut->CommandLine.Set(longest.c_str());
    std::string kept(MaxTextLength, 'K');
    RunHistoryInsert(kept.c_str());
    // A longer command is not kept shortened: it would start something else.
    EXPECT_FALSE(RunHistoryInsert(longest.c_str()));
    Restart();
    ASSERT_EQ(ShortcutCount(FolderAt(0)), 1);
    EXPECT_EQ(strlen(FolderAt(0)->First->CommandLine.Get()), (size_t)MaxTextLength);
    ASSERT_EQ(RunHistoryCount(), 1);
    EXPECT_EQ(RunHistoryText(0), kept);
}

// Windows 95 has three columns: the other three widths are written as 0.
TEST(RegistryProcess, WithoutWindowsNTTheLastThreeWidthsAreZero)
{
    CleanRegistry();
    SetWineVersionFor("Corvanix.exe", "win95");
    CorvanixProcess app;
    ASSERT_TRUE(app.Start());
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_TRUE(app.Exit());
    std::vector<BYTE> widths;
    ASSERT_TRUE(GetValue(Product, "ColWidth", &widths));
    ASSERT_EQ(widths.size(), 12u);
    EXPECT_EQ(widths[0] | widths[1] << 8, 103);
    for (int word = 3; word < 6; word++)
        EXPECT_EQ(widths[word * 2] | widths[word * 2 + 1] << 8, 0) << word;
    SetWineVersionFor("Corvanix.exe", "");
    CleanRegistry();
}

// A second start with a folder's number selects that folder.
TEST(RegistryProcess, ASecondStartWithAFolderNumberSelectsIt)
{
    CleanRegistry();
    PutText(Folders, "0", "Main");
    PutText(Folders, "1", "Work");
    PutText(Folders, "2", "Games");
    CorvanixProcess first;
    ASSERT_TRUE(first.Start());
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    auto title = [&] {
        char text[MaxText] = "";
        GetWindowTextA(main, text, MaxText);
        return std::string(text);
    };
    EXPECT_TRUE(WaitFor([&] { return title() == "Corvanix - Main"; }, 3000));
    CorvanixProcess second;
    ASSERT_TRUE(second.Start("2"));
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return title() == "Corvanix - Games"; }, 5000)) << title();
    EXPECT_TRUE(first.Exit());
    CleanRegistry();
}

} // namespace
