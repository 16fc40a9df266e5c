// Start-up of the real main window in the test's own thread: windows,
// placement, colours, the show rule, hot keys, panes and the tray icon.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/resource.h"
#include "app/startup.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/toolbar.h"
#include "tasks/refresh.h"
#include "app_session.h"
#include "wait.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }

    std::string ClassOf(HWND window)
    {
        char name[MaxText] = "";
        GetClassNameA(window, name, MaxText);
        return name;
    }

    std::string TextOf(HWND window)
    {
        char text[MaxText] = "";
        GetWindowTextA(window, text, MaxText);
        return text;
    }

    bool MenuChecked(int command)
    {
        return (GetMenuState(GetMenu(ShellState.MainWindow), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    bool TrayIconPresent() { return TrayIconShown(ShellState.MainWindow); }

    AppSession session;
};

TEST_F(StartupTest, CreatesTheMainWindowCentredWithItsChildren)
{
    ASSERT_TRUE(session.Start());
    HWND main = ShellState.MainWindow;
    ASSERT_TRUE(IsWindow(main));
    EXPECT_EQ(ClassOf(main), "Corvanix");
    EXPECT_EQ(FindWindowA("Corvanix", nullptr), main);
    // Start-up selects the first folder, which names the window.
    EXPECT_EQ(TextOf(main), "Corvanix - Main");
    EXPECT_TRUE(IsWindowVisible(main));

    RECT desktop, frame;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(main, &frame);
    EXPECT_EQ(frame.right - frame.left, 468);
    EXPECT_EQ(frame.bottom - frame.top, 246);
    EXPECT_EQ(frame.left, (desktop.right - 468) / 2);
    EXPECT_EQ(frame.top, (desktop.bottom - 246) / 2);
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);

    EXPECT_EQ(ClassOf(ShellState.FolderPane), "SysListView32");
    EXPECT_EQ(ClassOf(ShellState.ItemList), "SysListView32");
    EXPECT_EQ(GetParent(ShellState.ItemList), main);
    EXPECT_TRUE(GetWindowLongA(ShellState.ItemList, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(GetWindowLongA(ShellState.FolderPane, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetDlgCtrlID(ShellState.StatusWindow), IDC_STATUSWINDOW);
    EXPECT_EQ(GetDlgCtrlID(ShellState.ToolbarWindow), IDC_TOOLBARWINDOW);
    EXPECT_EQ(SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0), ToolbarShownEntries);
    int edges[4] = {};
    EXPECT_EQ(SendMessageA(ShellState.StatusWindow, SB_GETPARTS, 4, (LPARAM)edges), 4);
    // The standard edges, or wider where this machine's figures need it.
    EXPECT_GE(edges[0], 80);
    EXPECT_GE(edges[1], 160);
    EXPECT_GE(edges[2], 310);

    EXPECT_EQ(GetMenuItemCount(ShellState.FolderMenu), 3);
    EXPECT_EQ(GetMenuItemCount(ShellState.ItemMenu), 12);
    EXPECT_EQ(GetMenuItemID(ShellState.ItemMenu, 11), (UINT)IDM_PROPERTIES);
    for (HICON icon : ShellState.IconTable)
        EXPECT_NE(icon, nullptr);
    for (HCURSOR cursor : ShellState.CursorTable)
        EXPECT_NE(cursor, nullptr);
}

TEST_F(StartupTest, FirstStartHasTheFolderMainSelectedAndCurrent)
{
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(FolderCount(), 1);
    Folder* main = FolderAt(0);
    ASSERT_NE(main, nullptr);
    EXPECT_STREQ(main->Title.Get(), "Main");
    EXPECT_EQ(main->HotKey, 0x00030070u);
    EXPECT_EQ(ShellState.CurrentFolder, main);
    EXPECT_EQ(ShellState.CurrentFolderIndex, 0);
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(ShellState.FolderPane, LVM_GETITEMA, 0, (LPARAM)&item);
    EXPECT_EQ(item.iImage, 1);
    EXPECT_TRUE(item.state & LVIS_SELECTED);
}

TEST_F(StartupTest, PanesViewAndMenusFollowTheSettings)
{
    Settings.StatusBar = 1;
    Settings.ToolBar = 0;
    Settings.Folders = 1;
    Settings.View = 1;
    ASSERT_TRUE(session.Start());
    EXPECT_TRUE(IsWindowVisible(ShellState.StatusWindow));
    EXPECT_FALSE(IsWindowVisible(ShellState.ToolbarWindow));
    EXPECT_TRUE(IsWindowVisible(ShellState.FolderPane));
    EXPECT_TRUE(MenuChecked(IDM_STATUSBAR));
    EXPECT_FALSE(MenuChecked(IDM_TOOLBAR));
    EXPECT_TRUE(MenuChecked(IDM_FOLDERS));
    EXPECT_EQ(Settings.StatusBar, 1u);
    EXPECT_EQ(Settings.ToolBar, 0u);

    // The posted view command has run by now.
    EXPECT_EQ(GetWindowLongA(ShellState.ItemList, GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);
    EXPECT_TRUE(MenuChecked(IDM_SMALLICONS));
    EXPECT_FALSE(MenuChecked(IDM_LARGEICONS));

    // The folder pane ends where the splitter begins.
    RECT pane, items;
    GetWindowRect(ShellState.FolderPane, &pane);
    GetWindowRect(ShellState.ItemList, &items);
    EXPECT_EQ(pane.right - pane.left, 70);
    EXPECT_EQ(items.left - pane.left, 70 + ShellState.FrameWidth);
}

TEST_F(StartupTest, ASavedRectangleIsUsedOnlyWhenLargerThan20Pixels)
{
    Settings.Window = {100, 120, 500, 420};
    ASSERT_TRUE(session.Start());
    RECT frame;
    GetWindowRect(ShellState.MainWindow, &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 120);
    EXPECT_EQ(frame.right, 500);
    EXPECT_EQ(frame.bottom, 420);
    session.Exit();

    for (RECT narrow : {RECT{100, 120, 120, 420}, RECT{100, 120, 500, 140}, RECT{0, 0, 0, 0}}) {
        ResetSettings();
        CleanRegistry();
        Settings.Window = narrow;
        ASSERT_TRUE(session.Start());
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        GetWindowRect(ShellState.MainWindow, &frame);
        EXPECT_EQ(frame.left, (desktop.right - 468) / 2);
        EXPECT_EQ(frame.right - frame.left, 468);
        session.Exit();
    }
    ResetSettings();
    CleanRegistry();
    Settings.Window = {100, 120, 121, 141};  // 21 x 21 is enough
    ASSERT_TRUE(session.Start());
    GetWindowRect(ShellState.MainWindow, &frame);
    EXPECT_EQ(frame.left, 100);
}

TEST_F(StartupTest, ListTextIsBlackFromAColourSumOf384)
{
    Settings.Color = RGB(128, 128, 128);
    ASSERT_TRUE(session.Start());
    for (HWND list : {ShellState.FolderPane, ShellState.ItemList}) {
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 0, 0));
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0), RGB(128, 128, 128));
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), RGB(128, 128, 128));
    }
    session.Exit();

    ResetSettings();
    CleanRegistry();
    Settings.Color = RGB(128, 128, 127);
    ASSERT_TRUE(session.Start());
    for (HWND list : {ShellState.FolderPane, ShellState.ItemList})
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), RGB(255, 255, 255));
}

TEST_F(StartupTest, StartingMinimisedHidesWhenTheWindowCanBeCalledBack)
{
    // The tray icon calls it back.
    Settings.TaskBar = 1;
    ASSERT_TRUE(session.Start("", SW_SHOWMINNOACTIVE));
    EXPECT_FALSE(IsWindowVisible(ShellState.MainWindow));
    EXPECT_TRUE(ShellState.Hidden);
    session.Exit();

    // So does a hot key.
    ResetSettings();
    CleanRegistry();
    Settings.TaskBar = 0;
    Settings.HotKey = MakeHotKeyCode(VK_F9, HotKeyCtrl | HotKeyShift);
    ASSERT_TRUE(session.Start("", SW_MINIMIZE));
    EXPECT_FALSE(IsWindowVisible(ShellState.MainWindow));
    EXPECT_TRUE(ShellState.Hidden);
    EXPECT_EQ(Settings.HotKey, MakeHotKeyCode(VK_F9, HotKeyCtrl | HotKeyShift));
    session.Exit();

    // With neither it starts minimised, as asked.
    ResetSettings();
    CleanRegistry();
    Settings.TaskBar = 0;
    ASSERT_TRUE(session.Start("", SW_SHOWMINNOACTIVE));
    EXPECT_TRUE(IsWindowVisible(ShellState.MainWindow));
    EXPECT_TRUE(IsIconic(ShellState.MainWindow));
    EXPECT_FALSE(ShellState.Hidden);
    session.Exit();

    // A normal start is shown whatever is configured.
    ResetSettings();
    CleanRegistry();
    ASSERT_TRUE(session.Start("", SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(ShellState.MainWindow));
    EXPECT_FALSE(ShellState.Hidden);
}

TEST_F(StartupTest, HotKeysHeldByAnotherProgramBecomeNone)
{
    // Another window of the session holds Ctrl+Alt+F1 and Ctrl+Shift+F11.
    HWND holder = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(holder, 1, MOD_CONTROL | MOD_ALT, VK_F1));
    ASSERT_TRUE(RegisterHotKey(holder, 2, MOD_CONTROL | MOD_SHIFT, VK_F11));
    Settings.HotKey = MakeHotKeyCode(VK_F11, HotKeyCtrl | HotKeyShift);
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(Settings.HotKey, 0u);
    ASSERT_NE(FolderAt(0), nullptr);
    EXPECT_EQ(FolderAt(0)->HotKey, 0u);
    session.Exit();
    UnregisterHotKey(holder, 1);
    UnregisterHotKey(holder, 2);
    DestroyWindow(holder);

    // Free again: the folder's hot key is ours.
    ResetSettings();
    CleanRegistry();
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(FolderAt(0)->HotKey, FirstFolderHotKey);
    HWND other = CreateWindowExA(0, "STATIC", "other", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    EXPECT_FALSE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, VK_F1));
    DestroyWindow(other);
}

TEST_F(StartupTest, TopmostAndPriorityFollowTheSettings)
{
    Settings.Top = 1;
    Settings.Priority = 7;  // outside 1-3: normal
    ASSERT_TRUE(session.Start());
    EXPECT_TRUE(GetWindowLongA(ShellState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), (DWORD)NORMAL_PRIORITY_CLASS);
    session.Exit();

    ResetSettings();
    CleanRegistry();
    Settings.Priority = 1;
    ASSERT_TRUE(session.Start());
    EXPECT_FALSE(GetWindowLongA(ShellState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), (DWORD)IDLE_PRIORITY_CLASS);
    session.Exit();
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST_F(StartupTest, TheTrayIconIsAddedAndRemovedAtExit)
{
    Settings.TaskBar = 1;
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(ShellState.IsNewShell);
    EXPECT_TRUE(TrayIconPresent());
    HWND main = ShellState.MainWindow;
    session.Exit();
    EXPECT_FALSE(TrayIconShown(main));

    ResetSettings();
    CleanRegistry();
    Settings.TaskBar = 0;
    ASSERT_TRUE(session.Start());
    EXPECT_FALSE(TrayIconPresent());
}

TEST_F(StartupTest, ExitEndsEverythingItStarted)
{
    ASSERT_TRUE(session.Start());
    HWND main = ShellState.MainWindow;
    HANDLE thread = RefreshThreadHandle();
    ASSERT_NE(thread, nullptr);
    HANDLE copy;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, SYNCHRONIZE,
                                FALSE, 0));
    ASSERT_TRUE(session.WaitForPasses(1));
    session.Exit();
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(WaitForSingleObject(copy, 5000), WAIT_OBJECT_0);
    CloseHandle(copy);
    // The class is free again for the next start.
    EXPECT_TRUE(session.Start());
}

TEST(ForwardedNumber, ParsesLikeADecimalConversion)
{
    EXPECT_EQ(ParseForwardedNumber("49136"), 49136);
    EXPECT_EQ(ParseForwardedNumber("  \t2"), 2);
    EXPECT_EQ(ParseForwardedNumber("+7"), 7);
    EXPECT_EQ(ParseForwardedNumber("-3"), -3);
    EXPECT_EQ(ParseForwardedNumber("12abc"), 12);
    EXPECT_EQ(ParseForwardedNumber("abc"), 0);
    EXPECT_EQ(ParseForwardedNumber(""), 0);
    EXPECT_EQ(ParseForwardedNumber(nullptr), 0);
    EXPECT_EQ(ParseForwardedNumber("- 5"), 0);
    EXPECT_EQ(ParseForwardedNumber("99999999999999999999"), 2147483647L);
}

} // namespace
