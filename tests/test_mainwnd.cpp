// The main window driven as a user drives it: hot keys, keys in the lists,
// closing, automatic hiding, menus, the splitter, views and panes, the
// toolbar's answers, the About box, Exit and the installer's quit message.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>
#include <thread>
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/resource.h"
#include "common/messages.h"
#include "dialogs/aboutdlg.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/toolbar.h"
#include "winkit/faultguard.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"
#include "app_session.h"
#include "session_test.h"
#include "corvanix_process.h"
#include "dialog_watch.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "user_input.h"
#include "wait.h"

namespace {

const HotKeyCode TestHotKey = MakeHotKeyCode(VK_F12, HotKeyCtrl | HotKeyShift);

void Key(WORD key, bool down)
{
    keybd_event((BYTE)key, (BYTE)MapVirtualKeyA(key, 0), down ? 0 : KEYEVENTF_KEYUP, 0);
}

// Presses the keys in order and lets them go in reverse order.
void Chord(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        Key(key, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        Key(*it, false);
    PumpFor(150);
}

// Also lets the display catch up: a window shown again in the same instant
// it was hidden may get its focus taken back by the late news of the hide.
bool IsHidden()
{
    PumpFor(300);
    return !IsWindowVisible(ShellState.MainWindow) && ShellState.Hidden;
}

bool IsShownInFront()
{
    return IsWindowVisible(ShellState.MainWindow) && !IsIconic(ShellState.MainWindow) &&
           GetForegroundWindow() == ShellState.MainWindow && !ShellState.Hidden;
}

bool MenuChecked(int command)
{
    return (GetMenuState(GetMenu(ShellState.MainWindow), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool ItemGrey(HMENU menu, UINT item, UINT how = MF_BYCOMMAND)
{
    return (GetMenuState(menu, item, how) & (MF_GRAYED | MF_DISABLED)) != 0;
}

class MainWindowTest : public SessionTest {
protected:
    bool Start() { return session.StartInFront(); }

    void HotKey(int id = GlobalHotKeyId)
    {
        SendMessageA(ShellState.MainWindow, WM_HOTKEY, id, 0);
        PumpFor(50);
    }

    Shortcut* AddNamedShortcut(const char* title)
    {
        Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
        shortcut->Title.Set(title);
        return shortcut;
    }
};

TEST_F(MainWindowTest, TheGlobalHotKeyTogglesTheWindow)
{
    Settings.HotKey = TestHotKey;
    ASSERT_TRUE(Start());
    ASSERT_EQ(Settings.HotKey, TestHotKey);

    // Active: put away. Hidden: back, restored and in front.
    HotKey();
    EXPECT_TRUE(IsHidden());
    HotKey();
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));

    // Minimised and hidden: back restored.
    ShowWindow(ShellState.MainWindow, SW_MINIMIZE);
    ShowWindow(ShellState.MainWindow, SW_HIDE);
    ShellState.Hidden = 1;
    EXPECT_TRUE(IsHidden());
    HotKey();
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));

    // Another application active: brought forward, not hidden.
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Other Application\""));
    HWND other = app.Window("Other Application");
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 3000));
    PumpFor(100);
    EXPECT_FALSE(ShellState.Active);
    HotKey();
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));

    // Minimised: restored.
    ShowWindow(ShellState.MainWindow, SW_MINIMIZE);
    PumpFor(100);
    HotKey();
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));

    // Always on top: hidden even while another application is active.
    Settings.Top = 1;
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 3000));
    PumpFor(100);
    HotKey();
    EXPECT_TRUE(IsHidden());

    // The real key combination reaches the window the same way.
    Settings.Top = 0;
    Chord({VK_CONTROL, VK_SHIFT, VK_F12});
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));
}

TEST_F(MainWindowTest, EscInEitherListActsAsTheHotKey)
{
    ASSERT_TRUE(Start());
    SetFocus(ShellState.ItemList);
    Chord({VK_ESCAPE});
    EXPECT_TRUE(IsHidden());
    HotKey();
    ASSERT_TRUE(WaitFor(IsShownInFront, 3000));
    SetFocus(ShellState.FolderPane);
    Chord({VK_ESCAPE});
    EXPECT_TRUE(IsHidden());
}

TEST_F(MainWindowTest, TabMovesBetweenTheLists)
{
    ASSERT_TRUE(Start());
    SetFocus(ShellState.ItemList);
    Chord({VK_TAB});
    EXPECT_EQ(GetFocus(), ShellState.FolderPane);
    Chord({VK_TAB});
    EXPECT_EQ(GetFocus(), ShellState.ItemList);
}

TEST_F(MainWindowTest, ClosingExitsOnlyWhenNothingCanCallTheWindowBack)
{
    // Neither hot key nor tray icon: Exit, which saves.
    Settings.TaskBar = 0;
    ASSERT_TRUE(Start());
    HWND main = ShellState.MainWindow;
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(ProductValueExists("Version"));
    session.Exit();

    // The tray icon calls it back: hidden only.
    CleanRegistry();
    ResetSettings();
    ASSERT_TRUE(Start());
    SendMessageA(ShellState.MainWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(ShellState.MainWindow));
    EXPECT_TRUE(IsHidden());
    // A click on the tray icon brings it back; a mere mouse move does not.
    SendMessageA(ShellState.MainWindow, WM_TRAYICON, 1, WM_MOUSEMOVE);
    EXPECT_TRUE(IsHidden());
    SendMessageA(ShellState.MainWindow, WM_TRAYICON, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));
    session.Exit();

    // So does a hot key.
    CleanRegistry();
    ResetSettings();
    Settings.TaskBar = 0;
    Settings.HotKey = TestHotKey;
    ASSERT_TRUE(Start());
    SendMessageA(ShellState.MainWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsHidden());
    SendMessageA(ShellState.MainWindow, WM_TRAYICON, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));
}

TEST_F(MainWindowTest, AutomaticCloseHidesOnDeactivationButNotDuringADialog)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Elsewhere\""));
    HWND other = app.Window("Elsewhere");
    Settings.AutoClose = 1;
    Settings.HotKey = TestHotKey;
    ASSERT_TRUE(Start());

    // While the About box is open the window stays.
    bool stayed = false;
    DialogWatch watch("About", [&](HWND about) {
        SetForegroundWindow(other);
        Sleep(500);
        stayed = IsWindowVisible(ShellState.MainWindow) != 0;
        PressButton(about, IDOK);
    });
    session.Command(IDM_ABOUT);
    ASSERT_TRUE(watch.Finish());
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(ShellState.Busy);

    SetForegroundWindow(ShellState.MainWindow);
    ASSERT_TRUE(WaitFor([] { return GetForegroundWindow() == ShellState.MainWindow; }, 3000));
    SetForegroundWindow(other);
    EXPECT_TRUE(WaitFor(IsHidden, 3000));
}

TEST_F(MainWindowTest, MoveToAndCopyToListTheOtherFolders)
{
    ASSERT_TRUE(Start());
    SendMessageA(ShellState.MainWindow, WM_INITMENU, (WPARAM)GetMenu(ShellState.MainWindow), 0);
    HMENU edit = GetSubMenu(GetMenu(ShellState.MainWindow), 1);
    ASSERT_NE(ShellState.MoveToMenu, nullptr);
    EXPECT_EQ(GetSubMenu(edit, 3), ShellState.MoveToMenu);
    EXPECT_EQ(GetSubMenu(edit, 4), ShellState.CopyToMenu);
    EXPECT_EQ(GetMenuItemCount(ShellState.MoveToMenu), 0);
    EXPECT_TRUE(ItemGrey(edit, 3, MF_BYPOSITION));
    EXPECT_TRUE(ItemGrey(edit, 4, MF_BYPOSITION));

    AddFolder("Work");
    AddFolder("Games");
    Shortcut* shortcut = AddNamedShortcut("Moved Along");
    RequestRefresh();
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(shortcut) >= 0; }, 5000));
    SelectItemRows({ItemRowOf(shortcut)});
    SendMessageA(ShellState.MainWindow, WM_INITMENU, (WPARAM)GetMenu(ShellState.MainWindow), 0);
    ASSERT_EQ(GetMenuItemCount(ShellState.MoveToMenu), 2);
    EXPECT_EQ(GetMenuItemID(ShellState.MoveToMenu, 0), 201u);
    EXPECT_EQ(GetMenuItemID(ShellState.MoveToMenu, 1), 202u);
    EXPECT_EQ(GetMenuItemID(ShellState.CopyToMenu, 1), 302u);
    char text[64];
    GetMenuStringA(ShellState.CopyToMenu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Work");
    EXPECT_FALSE(ItemGrey(edit, 3, MF_BYPOSITION));

    // Copy, then move, the selected shortcut.
    session.Command(302);
    EXPECT_EQ(ShortcutCount(FolderAt(2)), 1);
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 1);
    session.Command(201);
    EXPECT_EQ(ShortcutCount(FolderAt(1)), 1);
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 0);

    // From another folder the list leaves that one out.
    SelectFolder(1);
    SendMessageA(ShellState.MainWindow, WM_INITMENU, (WPARAM)GetMenu(ShellState.MainWindow), 0);
    ASSERT_EQ(GetMenuItemCount(ShellState.MoveToMenu), 2);
    EXPECT_EQ(GetMenuItemID(ShellState.MoveToMenu, 0), 200u);
    EXPECT_EQ(GetMenuItemID(ShellState.MoveToMenu, 1), 202u);
}

TEST_F(MainWindowTest, ContextMenuItemsFollowTheSelection)
{
    ASSERT_TRUE(Start());
    Shortcut* a = AddNamedShortcut("One");
    Shortcut* b = AddNamedShortcut("Two");
    RequestRefresh();
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(a) >= 0 && ItemRowOf(b) >= 0; }, 5000));
    HMENU menu = ShellState.ItemMenu;
    auto popup = [&] { SendMessageA(ShellState.MainWindow, WM_INITMENUPOPUP, (WPARAM)menu, 0); };

    SelectItemRows({});
    popup();
    for (int command : {IDM_OPEN, IDM_HIDE, IDM_MINIMIZE, IDM_MAXIMIZE, IDM_CLOSE, IDM_PROPERTIES, IDM_RENAME})
        EXPECT_TRUE(ItemGrey(menu, command)) << command;
    EXPECT_FALSE(ItemGrey(menu, IDM_CREATESHORTCUT));

    SelectItemRows({ItemRowOf(a)});
    popup();
    EXPECT_FALSE(ItemGrey(menu, IDM_RENAME));
    EXPECT_FALSE(ItemGrey(menu, IDM_OPEN));

    SelectItemRows({ItemRowOf(a), ItemRowOf(b)});
    popup();
    EXPECT_TRUE(ItemGrey(menu, IDM_RENAME));
    EXPECT_FALSE(ItemGrey(menu, IDM_CLOSE));

    HMENU folders = ShellState.FolderMenu;
    SetRowState(ShellState.FolderPane, -1, 0, LVIS_SELECTED);
    SendMessageA(ShellState.MainWindow, WM_INITMENUPOPUP, (WPARAM)folders, 0);
    EXPECT_TRUE(ItemGrey(folders, IDM_FOLDER_DELETE));
    EXPECT_TRUE(ItemGrey(folders, IDM_FOLDER_PROPERTIES));
    EXPECT_FALSE(ItemGrey(folders, IDM_FOLDER_NEW));
}

TEST_F(MainWindowTest, CtrlASelectsAllAndCtrlIInverts)
{
    ASSERT_TRUE(Start());
    std::vector<Shortcut*> shortcuts;
    for (const char* title : {"A", "B", "C", "D"})
        shortcuts.push_back(AddNamedShortcut(title));
    RequestRefresh();
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(shortcuts[3]) >= 0; }, 5000));
    int rows = ItemRows();
    SetFocus(ShellState.ItemList);

    Chord({VK_CONTROL, 'A'});
    EXPECT_EQ(SelectedCount(ShellState.ItemList), rows);

    SelectItemRows({1, 3});
    Chord({VK_CONTROL, 'I'});
    for (int row = 0; row < rows; row++)
        EXPECT_EQ(RowSelected(ShellState.ItemList, row), row != 1 && row != 3) << row;

    // Without Ctrl the letters do nothing of the kind.
    SelectItemRows({1});
    Chord({'I'});
    EXPECT_EQ(SelectedCount(ShellState.ItemList), 1);
}

TEST_F(MainWindowTest, DraggingTheSplitterMovesThePanesAndIsSaved)
{
    Settings.View = 3;
    ASSERT_TRUE(Start());
    Shortcut* row = AddNamedShortcut("A Row");
    RequestRefresh();
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(row) >= 0; }, 5000));
    HWND main = ShellState.MainWindow;
    int gap = (int)Settings.nViewX + 1;
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(gap, 50));
    EXPECT_TRUE(IsSplitting());
    EXPECT_EQ(GetCapture(), main);
    SendMessageA(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 50));
    EXPECT_EQ(Settings.nViewX, 150u);
    RECT pane;
    GetClientRect(ShellState.FolderPane, &pane);
    RECT frame;
    GetWindowRect(ShellState.FolderPane, &frame);
    EXPECT_EQ(frame.right - frame.left, 150);
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(150, 50));
    EXPECT_FALSE(IsSplitting());
    EXPECT_NE(GetCapture(), main);

    // A press on a row that crosses the gap, a few pixels at a time, takes
    // no splitter along.
    RECT cell = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(ShellState.ItemList, LVM_GETITEMRECT, ItemRowOf(row), (LPARAM)&cell);
    POINT press = {4, (cell.top + cell.bottom) / 2}, to = {140, 0};
    ClientToScreen(ShellState.ItemList, &press);
    ClientToScreen(main, &to);
    DragWithMouse(press, POINT{to.x, press.y});
    EXPECT_EQ(Settings.nViewX, 150u);
    session.Exit();

    EXPECT_EQ(ProductDword("nViewX"), 150u);
}

TEST_F(MainWindowTest, ARightClickBesideTheFoldersKeepsTheCurrentOneAndItsRowSelectedAgainSwitches)
{
    ASSERT_TRUE(Start());
    Fixture app;
    ASSERT_TRUE(app.Start("--window Kept"));
    HWND pane = ShellState.FolderPane;
    RECT client;
    GetClientRect(pane, &client);
    POINT empty = {20, client.bottom - 10};
    ClientToScreen(pane, &empty);
    std::thread hand([&] {
        SetCursorPos(empty.x, empty.y);
        mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        Sleep(500);
        PressKeys({VK_ESCAPE});  // the folder menu goes
    });
    PumpFor(1000);
    hand.join();
    EXPECT_TRUE(RowSelected(pane, 0));
    // Once it has lost the selection, the row selected again runs the
    // whole switch: the window on screen, put away and brought back in one
    // go, is sent no request at all.
    SetRowState(pane, 0, 0, LVIS_SELECTED);
    ULONG_PTR requests = ShowRequestCount();
    LONG generation = ShellState.RefreshGeneration;
    SelectFolder(0);
    EXPECT_GT(ShellState.RefreshGeneration, generation);
    EXPECT_EQ(ShowRequestCount(), requests);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(app.Window("Kept")) != 0; }, 3000));
}

TEST_F(MainWindowTest, AtItsSmallestTheWindowKeepsItsMenuLineAndBothLists)
{
    ASSERT_TRUE(Start());
    HWND main = ShellState.MainWindow;
    Settings.nViewX = 400;
    SetWindowPos(main, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, first, last, pane, items, status;
    GetClientRect(main, &client);
    GetMenuItemRect(main, GetMenu(main), 0, &first);
    GetMenuItemRect(main, GetMenu(main), 3, &last);
    EXPECT_EQ(first.top, last.top);  // the menu on one line
    GetWindowRect(ShellState.FolderPane, &pane);
    GetWindowRect(ShellState.ItemList, &items);
    MapWindowPoints(nullptr, main, (POINT*)&items, 2);
    EXPECT_TRUE(pane.right - pane.left >= 64 && items.right - items.left >= 96 && items.right <= client.right);
    EXPECT_GE(items.bottom - items.top, 80);
    SendMessageA(ShellState.StatusWindow, SB_GETRECT, 1, (LPARAM)&status);
    EXPECT_LE(status.right, client.right);  // the count and the load
    EXPECT_EQ(Settings.nViewX, 400u);       // kept where it was put
}

TEST_F(MainWindowTest, TheViewCommandsSetStyleMenuAndButtons)
{
    ASSERT_TRUE(Start());
    const LONG paneStyle = GetWindowLongA(ShellState.FolderPane, GWL_STYLE);
    const int views[] = {IDM_LARGEICONS, IDM_SMALLICONS, IDM_LIST, IDM_DETAILS};
    const DWORD styles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    for (int v = 0; v < 4; v++) {
        session.Command(views[v]);
        EXPECT_EQ((DWORD)GetWindowLongA(ShellState.ItemList, GWL_STYLE) & LVS_TYPEMASK, styles[v]);
        EXPECT_EQ(Settings.View, (DWORD)v);
        for (int other : views) {
            LRESULT state = SendMessageA(ShellState.ToolbarWindow, TB_GETSTATE, other, 0);
            if (other == views[v]) {
                EXPECT_EQ(state, TBSTATE_CHECKED) << other;  // checked and not clickable
                EXPECT_TRUE(MenuChecked(other));
            } else {
                EXPECT_EQ(state, TBSTATE_ENABLED) << other;
                EXPECT_FALSE(MenuChecked(other));
            }
        }
    }
    // The folder pane keeps its view.
    EXPECT_EQ(GetWindowLongA(ShellState.FolderPane, GWL_STYLE) & LVS_TYPEMASK, paneStyle & LVS_TYPEMASK);
}

TEST_F(MainWindowTest, PaneTogglesShowHideAndLayOut)
{
    ASSERT_TRUE(Start());
    RECT client;
    GetClientRect(ShellState.MainWindow, &client);
    session.Command(IDM_FOLDERS);
    EXPECT_FALSE(IsWindowVisible(ShellState.FolderPane));
    EXPECT_FALSE(MenuChecked(IDM_FOLDERS));
    EXPECT_FALSE(SendMessageA(ShellState.ToolbarWindow, TB_ISBUTTONCHECKED, IDM_FOLDERS, 0));
    RECT items;
    GetWindowRect(ShellState.ItemList, &items);
    EXPECT_EQ(items.right - items.left, client.right);

    session.Command(IDM_STATUSBAR);
    session.Command(IDM_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(ShellState.StatusWindow));
    EXPECT_FALSE(IsWindowVisible(ShellState.ToolbarWindow));
    GetWindowRect(ShellState.ItemList, &items);
    EXPECT_EQ(items.bottom - items.top, client.bottom);

    session.Command(IDM_FOLDERS);
    EXPECT_TRUE(IsWindowVisible(ShellState.FolderPane));
    EXPECT_TRUE(MenuChecked(IDM_FOLDERS));
    EXPECT_TRUE(SendMessageA(ShellState.ToolbarWindow, TB_ISBUTTONCHECKED, IDM_FOLDERS, 0));
    EXPECT_EQ(Settings.Folders, 1u);
}

TEST_F(MainWindowTest, AFolderHotKeySelectsItsFolderAndLeavesTheWindowHidden)
{
    Settings.HotKey = TestHotKey;
    ASSERT_TRUE(Start());
    AddFolder("Second");
    HotKey();
    ASSERT_TRUE(IsHidden());
    HotKey(1);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(1));
    EXPECT_EQ(ShellState.CurrentFolderIndex, 1);
    EXPECT_TRUE(IsHidden());
    char title[MaxText];
    GetWindowTextA(ShellState.MainWindow, title, MaxText);
    EXPECT_STREQ(title, "Corvanix - Second");
    // No such row: nothing happens.
    HotKey(7);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(1));
    HotKey(0);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(0));
}

TEST_F(MainWindowTest, ExitAndTheSessionsEndShowEveryPutAwayWindowAndSave)
{
    for (bool endOfSession : {false, true}) {
        CleanRegistry();
        ResetSettings();
        ASSERT_TRUE(Start());
        Fixture app;
        ASSERT_TRUE(app.Start("--window Kept --window \"Kept Max\" --state max"));
        HWND kept = app.Window("Kept"), max = app.Window("Kept Max");
        int away = AddFolder("Away");
        SelectFolder(away);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(kept) && !IsWindowVisible(max); }, 5000));
        Settings.nViewX = 99;
        if (endOfSession)
            EXPECT_EQ(SendMessageA(ShellState.MainWindow, WM_QUERYENDSESSION, 0, 0), 1);
        else
            EXPECT_EQ(session.Command(IDM_EXIT), 1);
        EXPECT_FALSE(IsWindow(ShellState.MainWindow));
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(kept) && IsWindowVisible(max); }, 5000));
        EXPECT_TRUE(IsZoomed(max));
        EXPECT_EQ(ProductDword("nViewX"), 99u);
        session.Exit();
    }
}

TEST_F(MainWindowTest, TheInstallersQuitMessageShowsThePutAwayWindowsAndSavesNothing)
{
    ASSERT_TRUE(Start());
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Put Away\""));
    HWND window = app.Window("Put Away");
    int away = AddFolder("Away");
    SelectFolder(away);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }, 5000));
    HWND main = ShellState.MainWindow;

    SendMessageA(main, WM_QUITNOW, 0, 0);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != 0; }, 5000));
    // Nothing saved, and the tray icon is gone.
    EXPECT_FALSE(ProductValueExists("Version"));
    EXPECT_FALSE(TrayIconShown(main));
}

TEST_F(MainWindowTest, ASecondStartsRequestBringsTheWindowForward)
{
    ASSERT_TRUE(Start());
    ShowWindow(ShellState.MainWindow, SW_MINIMIZE);
    PumpFor(100);
    SendMessageA(ShellState.MainWindow, WM_SHOWMAINWINDOW, 0, 0);
    EXPECT_TRUE(WaitFor(IsShownInFront, 3000));
}

TEST_F(MainWindowTest, CommandsOnRowsAskForASelectionFirst)
{
    ASSERT_TRUE(Start());
    SelectItemRows({});
    for (int command : {IDM_OPEN, IDM_HIDE, IDM_SHOW, IDM_MINIMIZE, IDM_MAXIMIZE, IDM_CLOSE,
                        IDM_PROPERTIES, IDM_RENAME, 201, 300}) {
        DialogWatch watch("Corvanix Command", [](HWND box) { PressButton(box, IDOK); });
        session.Command(command);
        ASSERT_TRUE(watch.Finish()) << command;
        EXPECT_EQ(watch.Text(), "Select task(s) before performing this command.");
    }
}

TEST_F(MainWindowTest, TooltipsAndTheCustomisationListNameTheButtons)
{
    ASSERT_TRUE(Start());
    auto tooltip = [](int command) {
        TOOLTIPTEXTA tip = {};
        tip.hdr.hwndFrom = nullptr;
        tip.hdr.idFrom = command;
        tip.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&tip);
        char text[64] = "";
        if (tip.lpszText && IS_INTRESOURCE(tip.lpszText) && tip.hinst)
            LoadStringA(tip.hinst, (UINT)(UINT_PTR)tip.lpszText, text, sizeof text);
        return std::string(text);
    };
    EXPECT_EQ(tooltip(IDM_SCREENSAVER), "Screen Saver");
    EXPECT_EQ(tooltip(IDM_FOLDERS), "Show / Hide Folder List");
    EXPECT_EQ(tooltip(IDM_HELP_CONTENTS), "Help");
    EXPECT_EQ(tooltip(IDM_SHOW), "Show");
    EXPECT_EQ(tooltip(12345), "");

    const char* names[27] = {"", "Open", "Minimize", "", "Close", "", "Create Shortcut", "",
                             "Properties", "", "Show / Hide Folder List", "", "Large Icons",
                             "Small Icons", "List", "Details", "", "Help", "Hide", "Show",
                             "Maximize", "Rename", "Run", "Setup", "Exit", "Screen Saver", "About"};
    for (int entry = 0; entry <= 27; entry++) {
        char text[64] = "junk";
        NMTOOLBARA request = {};
        request.hdr.hwndFrom = ShellState.ToolbarWindow;
        request.hdr.code = TBN_GETBUTTONINFOA;
        request.iItem = entry;
        request.pszText = text;
        request.cchText = sizeof text;
        LRESULT more = SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&request);
        if (entry == 27) {
            EXPECT_EQ(more, 0);
            break;
        }
        EXPECT_EQ(more, 1) << entry;
        EXPECT_STREQ(text, names[entry]) << entry;
        EXPECT_EQ(request.cchText, (int)strlen(names[entry]));
        EXPECT_EQ(request.tbButton.idCommand, ToolbarButtonTable[entry].idCommand);
    }
    for (UINT code : {TBN_QUERYINSERT, TBN_QUERYDELETE}) {
        NMTOOLBARA query = {};
        query.hdr.hwndFrom = ShellState.ToolbarWindow;
        query.hdr.code = code;
        EXPECT_EQ(SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&query), 1);
    }
}

TEST_F(MainWindowTest, TheToolbarsOwnCustomiseDialogOffersTheOtherButtons)
{
    ASSERT_TRUE(Start());
    int offered = -1;
    DialogWatch watch("Customize Toolbar", [&](HWND dialog) {
        // The list of buttons that may be added.
        HWND available = GetDlgItem(dialog, 201);
        if (available)
            offered = (int)SendMessageA(available, LB_GETCOUNT, 0, 0);
        PressButton(dialog, IDCANCEL);
    });
    SendMessageA(ShellState.ToolbarWindow, TB_CUSTOMIZE, 0, 0);
    ASSERT_TRUE(watch.Finish());
    // The nine extra buttons and the separator.
    EXPECT_EQ(offered, 10);
}

TEST_F(MainWindowTest, ADoubleClickOnTheToolbarOpensItsCustomiseDialog)
{
    ASSERT_TRUE(Start());
    // An empty spot right of the last button.
    RECT last = {};
    int count = (int)SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0);
    SendMessageA(ShellState.ToolbarWindow, TB_GETITEMRECT, count - 1, (LPARAM)&last);
    POINT spot = {last.right + 40, (last.top + last.bottom) / 2};
    ClientToScreen(ShellState.ToolbarWindow, &spot);
    DialogWatch watch("Customize Toolbar", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    std::thread hand([&] {
        SetCursorPos(spot.x, spot.y);
        Sleep(100);
        for (int click = 0; click < 2; click++) {
            mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
            Sleep(40);
        }
    });
    WaitFor([&] { return watch.Seen(); }, 5000);
    hand.join();
    EXPECT_TRUE(watch.Finish());
    PumpFor(100);
}

TEST_F(MainWindowTest, TheAboutBoxShowsTheVersionAndIgnoresEsc)
{
    ASSERT_TRUE(Start());
    std::string version, name;
    bool openAfterEsc = false;
    DialogWatch first("About", [&](HWND about) {
        version = ControlText(about, IDC_ABOUT_VERSION);
        name = ControlText(about, IDC_ABOUT_NAME);
        PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
        Sleep(300);
        openAfterEsc = IsWindow(about) != 0;
        PressButton(about, IDOK);
    });
    EXPECT_EQ(session.Command(IDM_ABOUT), 0);
    ASSERT_TRUE(first.Finish());
    EXPECT_EQ(version, "4.5");
    EXPECT_EQ(name, "Corvanix for Windows");
    EXPECT_NE(first.Text().find("Version"), std::string::npos);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_FALSE(IsWindow(first.Window()));

    DialogWatch second("About", [](HWND about) { CloseWindowBox(about); });
    session.Command(IDM_ABOUT);
    ASSERT_TRUE(second.Finish());
    EXPECT_FALSE(IsWindow(second.Window()));
}

TEST_F(MainWindowTest, AnExceptionOrAFaultWhileHandlingAMessageIsReportedAndTheProgramGoesOn)
{
    ASSERT_TRUE(Start());
    LRESULT (*const broken[])(HWND, UINT, WPARAM, LPARAM) = {
        [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("broken"); },
        // An access violation in our own code, below a frame of its own.
        [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
            volatile LONG* nowhere = (volatile LONG*)(ULONG_PTR)(message & 0x10);
            *nowhere = 1;
            return 1;
        },
    };
    for (auto handler : broken) {
        DialogWatch watch("Exception Error", [](HWND box) { PressButton(box, IDOK); });
        LRESULT result = GuardedCall(ShellState.MainWindow, 0x1234, 0xABCDEF, 0x42, handler);
        ASSERT_TRUE(watch.Finish());
        EXPECT_EQ(result, 0);
        const std::string& text = watch.Text();
        EXPECT_EQ(text.rfind("Please note the information below\n\r", 0), 0u) << text;
        EXPECT_NE(text.find("\n\r\n Message:\t00001234h\n\r wParam:\t00ABCDEFh\n\rlParam:\t\t00000042h"),
                  std::string::npos) << text;
        // And the window still works, messages still guarded.
        EXPECT_EQ(InnermostGuard(), nullptr);
        EXPECT_EQ(session.Command(IDM_DETAILS), 0);
        EXPECT_EQ(Settings.View, 3u);
    }

    // A fault in a dialog (a message whose pointer leads nowhere) is
    // survived alike, every put-away window still away.
    Fixture app;
    ASSERT_TRUE(app.Start("--window Away"));
    HWND away = app.Window("Away");
    SelectFolder(AddFolder("Other"));
    DialogWatch report("Exception Error", [](HWND box) { PressButton(box, IDOK); });
    DialogWatch create("Create Shortcut", [](HWND dialog) {
        SendMessageA(dialog, WM_MEASUREITEM, IDC_SHORTCUT_ICONS, 0x10);
        PressButton(dialog, IDCANCEL);
    });
    session.Command(IDM_CREATESHORTCUT);
    ASSERT_TRUE(create.Finish() && report.Finish());
    EXPECT_EQ(session.Command(IDM_LIST), 0);
    EXPECT_TRUE(FolderAt(0)->Contained->Contains(away) && !IsWindowVisible(away));
}

TEST_F(MainWindowTest, EditingATasksLabelRenamesItsWindow)
{
    Settings.View = 3;
    ASSERT_TRUE(Start());
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Old Name\""));
    HWND window = app.Window("Old Name");
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(window) >= 0; }, 5000));
    int row = ItemRowOf(window);

    // The real edit: start it, type, Enter.
    SetFocus(ShellState.ItemList);
    HWND edit = (HWND)SendMessageA(ShellState.ItemList, LVM_EDITLABELA, row, 0);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "New Name");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpFor(100);
    EXPECT_TRUE(WaitFor([&] {
        char title[64] = "";
        GetWindowTextA(window, title, sizeof title);
        return std::string(title) == "New Name";
    }, 3000));
    EXPECT_EQ(ItemCell(ItemRowOf(window), 0), "New Name");

    // A cancelled edit changes nothing.
    NMLVDISPINFOA cancelled = {};
    cancelled.hdr.hwndFrom = ShellState.ItemList;
    cancelled.hdr.code = LVN_ENDLABELEDITA;
    cancelled.item.iItem = ItemRowOf(window);
    cancelled.item.pszText = nullptr;
    EXPECT_EQ(SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&cancelled), 0);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "New Name");

    // A folder's label is never taken from an edit in the pane.
    NMLVDISPINFOA pane = cancelled;
    pane.hdr.hwndFrom = ShellState.FolderPane;
    pane.item.iItem = 0;
    char newTitle[] = "Renamed Folder";
    pane.item.pszText = newTitle;
    EXPECT_EQ(SendMessageA(ShellState.MainWindow, WM_NOTIFY, 0, (LPARAM)&pane), 0);
    EXPECT_STREQ(FolderAt(0)->Title.Get(), "Main");
}

TEST_F(MainWindowTest, TheScreenSaverCommandAsksTheSystemForIt)
{
    ASSERT_TRUE(Start());
    session.Command(IDM_SCREENSAVER);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, ShellState.MainWindow, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(message.wParam, (WPARAM)SC_SCREENSAVE);
}

// On Windows NT 3.51 with the tray icon asked for, closing minimises.
TEST(MainWindowProcess, OnWindowsNT351ClosingMinimises)
{
    CleanRegistry();
    SetWineVersionFor("Corvanix.exe", "nt351");
    CorvanixProcess app;
    ASSERT_TRUE(app.Start());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // The 3-D library's box comes first.
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowA(nullptr, "CTL3D32.DLL")) != nullptr; }, 5000));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != 0; }, 5000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main) != 0; }, 5000));
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(app.Exit());
    SetWineVersionFor("Corvanix.exe", "");
    CleanRegistry();
}

} // namespace
