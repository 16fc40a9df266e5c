// The Setup dialog through its real template, driven with the keyboard and
// the mouse: the global hot key released while it is open, a taken hot key
// refused, every option applied and saved, the list colour and its text,
// the toolbar's customisation; and the tray icon after the shell restarts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "app/resource.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/trayicon.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "session_test.h"
#include "user_input.h"
#include "wait.h"

namespace {

const HotKeyCode StartKey = MakeHotKeyCode(VK_F12, HotKeyCtrl | HotKeyShift);

HotKeyCode FieldValue(HWND dialog)
{
    return (HotKeyCode)AskControl(dialog, IDC_SETUP_HOTKEY, WM_COMMAND, GETKEY_GETVALUE);
}

// The hot-key field takes the keys once it has the focus.
void PressInField(HWND dialog, std::initializer_list<WORD> keys)
{
    ClickControl(dialog, IDC_SETUP_HOTKEY);
    Sleep(200);
    PressKeys(keys);
    Sleep(300);
}

void Click(HWND dialog, int id)
{
    ClickControl(dialog, id);
    Sleep(150);
}

class SetupDialogTest : public SessionTest {
protected:
    void TearDown() override
    {
        SessionTest::TearDown();
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }
    // Opens the dialog from the File menu's command and lets the action
    // drive it; returns when the dialog has closed.
    void RunSetup(const DialogWatch::Action& action)
    {
        DialogWatch watch("Corvanix Setup", action, 10000);
        PostMessageA(ShellState.MainWindow, WM_COMMAND, IDM_SETUP, 0);
        PumpFor(300);
        ASSERT_TRUE(watch.Finish());
        EXPECT_FALSE(ShellState.Busy);
    }
};

TEST_F(SetupDialogTest, TheHotKeyReachesTheFieldWhileOpenAndTheWindowAfterwards)
{
    Settings.HotKey = StartKey;
    Start();
    HotKeyCode pressed = 0, chosen = 0;
    bool stayed = false;
    RunSetup([&](HWND dialog) {
        PressInField(dialog, {VK_CONTROL, VK_SHIFT, VK_F12});
        pressed = FieldValue(dialog);
        stayed = IsWindowVisible(ShellState.MainWindow) && !ShellState.Hidden;
        PressInField(dialog, {VK_CONTROL, VK_SHIFT, VK_F11});
        chosen = FieldValue(dialog);
        PressKeys({VK_RETURN});
    });
    EXPECT_EQ(pressed, StartKey);
    EXPECT_TRUE(stayed);
    const HotKeyCode newKey = MakeHotKeyCode(VK_F11, HotKeyCtrl | HotKeyShift);
    EXPECT_EQ(chosen, newKey);
    EXPECT_EQ(Settings.HotKey, newKey);
    EXPECT_EQ(ProductDword("HotKey"), newKey);
    EXPECT_FALSE(HotKeyHeld(StartKey));

    SetForegroundWindow(ShellState.MainWindow);
    ASSERT_TRUE(WaitFor([] { return GetForegroundWindow() == ShellState.MainWindow; }, 3000));
    PressKeys({VK_CONTROL, VK_SHIFT, VK_F11});
    EXPECT_TRUE(WaitFor([] { return ShellState.Hidden && !IsWindowVisible(ShellState.MainWindow); }, 3000));
}

TEST_F(SetupDialogTest, ATakenHotKeyIsNamedAndTheDialogStaysOpen)
{
    Settings.HotKey = StartKey;
    Start();
    const HotKeyCode taken = MakeHotKeyCode(VK_F9, HotKeyCtrl | HotKeyAlt);
    bool told = false, open = false, focused = false;
    std::string text;
    RunSetup([&](HWND dialog) {
        PressInField(dialog, {VK_CONTROL, VK_MENU, VK_F9});
        // Another program takes the combination before OK.
        RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F9);
        {
            DialogWatch box("Hot Key in Use", [](HWND b) { PressButton(b, IDOK); });
            PressKeys({VK_RETURN});
            told = box.Finish();
            text = box.Text();
        }
        Sleep(300);
        open = IsWindowVisible(dialog) != 0;
        focused = FocusOf(dialog) == GetDlgItem(dialog, IDC_SETUP_HOTKEY);
        Click(dialog, IDCANCEL);
        UnregisterHotKey(nullptr, 1);
    });
    EXPECT_TRUE(told);
    EXPECT_NE(text.find("Ctrl+Alt+F9"), std::string::npos) << text;
    EXPECT_TRUE(open);
    EXPECT_TRUE(focused);
    // Cancel registers the hot key the program had.
    EXPECT_EQ(Settings.HotKey, StartKey);
    EXPECT_TRUE(HotKeyHeld(StartKey));
    EXPECT_FALSE(HotKeyHeld(taken));
    EXPECT_FALSE(ProductValueExists("HotKey"));
}

TEST_F(SetupDialogTest, OkAppliesAndSavesEveryOption)
{
    Start();
    ASSERT_TRUE(TrayIconShown(ShellState.MainWindow));
    RunSetup([](HWND dialog) {
        // The dialog opens with the focus in the priority list.
        PressKeys({VK_END});
        Sleep(200);
        for (int id : {IDC_SETUP_TOP, IDC_SETUP_PROGMAN, IDC_SETUP_TASKBAR, IDC_SETUP_AUTOCLOSE})
            Click(dialog, id);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Settings.Priority, (DWORD)PriorityHighest);
    EXPECT_EQ(Settings.Top, 1u);
    EXPECT_NE(GetWindowLongA(ShellState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(Settings.Progman, 1u);
    EXPECT_EQ(Settings.TaskBar, 0u);
    EXPECT_FALSE(TrayIconShown(ShellState.MainWindow));
    EXPECT_EQ(Settings.AutoClose, 1u);
    EXPECT_EQ(ProductDword("Priority"), 3u);
    EXPECT_EQ(ProductDword("Top"), 1u);
    EXPECT_EQ(ProductDword("Progman"), 1u);
    EXPECT_EQ(ProductDword("TaskBar"), 0u);
    EXPECT_EQ(ProductDword("AutoClose"), 1u);
    // Where the platform grants the real-time class at all.
    DWORD priority = GetPriorityClass(GetCurrentProcess());
    if (priority != REALTIME_PRIORITY_CLASS) {
        SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
        EXPECT_NE(GetPriorityClass(GetCurrentProcess()), REALTIME_PRIORITY_CLASS);
    }

    RunSetup([](HWND dialog) {
        Click(dialog, IDC_SETUP_TASKBAR);
        Click(dialog, IDC_SETUP_TOP);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(TrayIconShown(ShellState.MainWindow));
    EXPECT_EQ(Settings.TaskBar, 1u);
    EXPECT_EQ(GetWindowLongA(ShellState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(SetupDialogTest, WithoutANotificationAreaTheTrayIconIsOffFromTheStart)
{
    Start();
    ShellState.IsNewShell = FALSE;  // as on Windows NT 3.51
    bool offered = true;
    RunSetup([&](HWND dialog) {
        offered = IsWindowEnabled(GetDlgItem(dialog, IDC_SETUP_TASKBAR)) || ButtonChecked(dialog, IDC_SETUP_TASKBAR);
        PressKeys({VK_ESCAPE});
    });
    EXPECT_FALSE(offered);
    EXPECT_EQ(Settings.TaskBar, 0u);  // Cancel too
    ShellState.IsNewShell = TRUE;
}

// The colour chooser's basic colours: 6 rows of 8 cells, each cell with a
// gap of 4 pixels at its right and bottom; row 6, column 4 is 128,128,128.
void ClickBasicColor(HWND chooser, int row, int column)
{
    RECT r;
    GetWindowRect(GetDlgItem(chooser, 0x2d0), &r);
    int dx = (r.right - r.left) / 8, dy = (r.bottom - r.top) / 6;
    ClickAt(r.left + column * dx + (dx - 4) / 2, r.top + row * dy + (dy - 4) / 2);
}

TEST_F(SetupDialogTest, TheListColourChoosesTheTextColourAndOutlivesCancel)
{
    Start();
    auto choose = [&](const DialogWatch::Action& pick, int closeWith) {
        RunSetup([&](HWND dialog) {
            DialogWatch chooser("Color", [&](HWND box) {
                pick(box);
                Sleep(200);
                PressButton(box, IDOK);
            });
            Click(dialog, IDC_SETUP_COLOR);
            chooser.Finish();
            Sleep(200);
            Click(dialog, closeWith);
        });
    };
    auto textColor = [](HWND list) { return (COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0); };

    choose([](HWND box) { ClickBasicColor(box, 5, 3); }, IDOK);
    EXPECT_EQ(Settings.Color, RGB(128, 128, 128));
    for (HWND list : {ShellState.ItemList, ShellState.FolderPane}) {
        EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), (LRESULT)RGB(128, 128, 128));
        EXPECT_EQ(textColor(list), RGB(0, 0, 0));
    }
    EXPECT_EQ(ProductDword("Color"), (DWORD)RGB(128, 128, 128));

    // One step darker, through the chooser's red field (it opens preset to
    // the list colour); then Cancel in the Setup dialog.
    choose([](HWND box) {
        SendMessageTimeoutA(GetDlgItem(box, 0x2c2), WM_SETTEXT, 0, (LPARAM)"127", SMTO_BLOCK, 2000,
                            nullptr);
    }, IDCANCEL);
    EXPECT_EQ(Settings.Color, RGB(127, 128, 128));
    for (HWND list : {ShellState.ItemList, ShellState.FolderPane}) {
        EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), (LRESULT)RGB(127, 128, 128));
        EXPECT_EQ(textColor(list), RGB(255, 255, 255));
    }
    // Not saved until the next save.
    EXPECT_EQ(ProductDword("Color"), (DWORD)RGB(128, 128, 128));
}

TEST_F(SetupDialogTest, TheToolbarsCustomisationLeavesTheDialogModal)
{
    Start();
    bool seen = false, mainDisabled = false, setupInFront = false;
    RunSetup([&](HWND dialog) {
        DialogWatch customise("Customize Toolbar", [](HWND box) { CloseWindowBox(box); });
        Click(dialog, IDC_SETUP_TOOLBAR);
        seen = customise.Finish();
        Sleep(300);
        mainDisabled = !IsWindowEnabled(ShellState.MainWindow);
        setupInFront = GetForegroundWindow() == dialog;
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(seen);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(setupInFront);
    EXPECT_TRUE(IsWindowEnabled(ShellState.MainWindow));
}

TEST_F(SetupDialogTest, ARestartedShellGetsTheTrayIconAgain)
{
    Start();
    HWND main = ShellState.MainWindow;
    ASSERT_TRUE(TrayIconShown(main));
    // A shell that starts anew has an empty notification area.
    RemoveTrayIcon();
    ASSERT_FALSE(TrayIconShown(main));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(main); }, 3000));

    Settings.TaskBar = 0;
    RemoveTrayIcon();
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PumpFor(500);
    EXPECT_FALSE(TrayIconShown(main));
}

} // namespace
