// The Folder Properties dialog and its two commands, driven through the
// real template with the keyboard and the mouse: New, Properties, the hot
// keys released and registered again around it, the boxes that tell of a
// lost hot key, and bad input. Also the folder pane's width.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/resource.h"
#include "common/product.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/listrows.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "session_probe.h"
#include "registry_values.h"
#include "session_test.h"
#include "user_input.h"
#include "wait.h"

namespace {

HotKeyCode FieldValue(HWND dialog, int id)
{
    return (HotKeyCode)AskControl(dialog, id, WM_COMMAND, GETKEY_GETVALUE);
}

std::string RowText(int row)
{
    char text[MaxText] = "";
    LVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = MaxText;
    SendMessageA(ShellState.FolderPane, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

const HotKeyCode CtrlAlt = HotKeyCtrl | HotKeyAlt;

class FolderDialogTest : public SessionTest {
protected:
    // Keys pressed in the folder pane; a dialog they open runs in here.
    void PressInPane(std::initializer_list<WORD> keys)
    {
        SetFocus(ShellState.FolderPane);
        PressKeys(keys);
        PumpFor(300);
    }
    // A command as the menu gives it; a dialog it opens runs in here.
    void Choose(int command)
    {
        PostMessageA(ShellState.MainWindow, WM_COMMAND, command, 0);
        PumpFor(300);
    }
};

TEST_F(FolderDialogTest, NewOffersTheNextFunctionKey)
{
    Start();
    AddFolder("Programs");
    AddFolder("Games");
    HotKeyCode offered = 0;
    bool emptyTitle = false, clear = false;
    DialogWatch watch("New Folder", [&](HWND dialog) {
        offered = FieldValue(dialog, IDC_FOLDER_HOTKEY);
        emptyTitle = ControlText(dialog, IDC_FOLDER_TITLE).empty();
        clear = !ButtonChecked(dialog, IDC_FOLDER_SYSTEM);
        TypeText("Tools");
        ClickControl(dialog, IDC_FOLDER_SYSTEM);
        Sleep(200);
        PressKeys({VK_RETURN});
    });
    PressInPane({VK_INSERT});
    ASSERT_TRUE(watch.Finish());
    EXPECT_EQ(offered, MakeHotKeyCode(VK_F4, CtrlAlt));
    EXPECT_TRUE(emptyTitle);
    EXPECT_TRUE(clear);

    ASSERT_EQ(FolderCount(), 4);
    Folder* tools = FolderAt(3);
    EXPECT_STREQ(tools->Title.Get(), "Tools");
    EXPECT_EQ(tools->HotKey, MakeHotKeyCode(VK_F4, CtrlAlt));
    EXPECT_EQ(tools->ListSystemTasks, 1u);
    EXPECT_EQ(RowText(3), "Tools");
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(0));
    EXPECT_FALSE(ShellState.Busy);
    // Its hot key works at once.
    PressKeys({VK_CONTROL, VK_MENU, VK_F4});
    EXPECT_TRUE(WaitFor([] { return ShellState.CurrentFolder == FolderAt(3); }, 3000));
}

TEST_F(FolderDialogTest, ATitleTypedTooLongIsCutToWhatTheStoreKeeps)
{
    Start();
    // Input is taken in order: the Enter after the 300 letters.
    DialogWatch watch("New Folder", [](HWND) {
        TypeText(std::string(300, 'x'));
        PressKeys({VK_RETURN});
    });
    Choose(IDM_FOLDER_NEW);
    ASSERT_TRUE(watch.Finish());
    ASSERT_EQ(FolderCount(), 2);
    EXPECT_EQ(strlen(FolderAt(1)->Title.Get()), (size_t)MaxTextLength);

    // The next start finds it again.
    session.Exit();
    ResetSettings();
    Start();
    ASSERT_EQ(FolderCount(), 2);
    EXPECT_EQ(std::string(FolderAt(1)->Title.Get()), std::string(MaxTextLength, 'x'));
}

TEST_F(FolderDialogTest, NewSaysSoWhenTheFolderListIsFull)
{
    Start();
    while (FolderCount() < MaxFolders)
        AddFolder("More");
    bool isBox = false;
    DialogWatch watch("New Folder", [&](HWND window) {
        isBox = GetDlgItem(window, IDC_FOLDER_TITLE) == nullptr;
        PressButton(window, IDOK);
    });
    PressInPane({VK_INSERT});
    ASSERT_TRUE(watch.Finish());
    EXPECT_TRUE(isBox);
    EXPECT_NE(watch.Text().find("64 folders"), std::string::npos);
    EXPECT_EQ(FolderCount(), MaxFolders);
}

TEST_F(FolderDialogTest, PropertiesWithNoFolderSelectedDoesNothing)
{
    Start();
    SetRowState(ShellState.FolderPane, -1, 0, LVIS_SELECTED);
    DialogWatch watch("Folder Properties", [](HWND dialog) { PressButton(dialog, IDCANCEL); }, 1500);
    Choose(IDM_FOLDER_PROPERTIES);
    EXPECT_FALSE(watch.Finish());
    EXPECT_TRUE(HotKeyHeld(FolderAt(0)->HotKey));
}

TEST_F(FolderDialogTest, CancelStillRetitlesTheRowAndRegistersTheHotKeysAgain)
{
    Settings.HotKey = MakeHotKeyCode(VK_F12, HotKeyCtrl | HotKeyShift);
    Start();
    const HotKeyCode mainKey = FolderAt(0)->HotKey;
    ASSERT_TRUE(HotKeyHeld(mainKey));
    ASSERT_TRUE(HotKeyHeld(Settings.HotKey));
    LVITEMA item = {};
    item.pszText = const_cast<char*>("stale");
    SendMessageA(ShellState.FolderPane, LVM_SETITEMTEXTA, 0, (LPARAM)&item);

    bool released = false;
    std::string title;
    HotKeyCode shown = 0;
    DialogWatch watch("Folder Properties", [&](HWND dialog) {
        released = !HotKeyHeld(mainKey) && !HotKeyHeld(Settings.HotKey);
        title = ControlText(dialog, IDC_FOLDER_TITLE);
        shown = FieldValue(dialog, IDC_FOLDER_HOTKEY);
        TypeText("Other");
        Sleep(200);
        ClickControl(dialog, IDCANCEL);
    });
    PressInPane({VK_MENU, VK_RETURN});
    ASSERT_TRUE(watch.Finish());
    EXPECT_TRUE(released);
    EXPECT_EQ(title, "Main");
    EXPECT_EQ(shown, mainKey);
    EXPECT_STREQ(FolderAt(0)->Title.Get(), "Main");
    EXPECT_EQ(RowText(0), "Main");
    EXPECT_TRUE(HotKeyHeld(mainKey));
    EXPECT_TRUE(HotKeyHeld(Settings.HotKey));
    EXPECT_FALSE(ShellState.Busy);
}

TEST_F(FolderDialogTest, TwoFoldersWithOneCombinationTellWhichLostIt)
{
    Start();
    int games = AddFolder("Games");
    SelectFolder(games);
    PumpFor(200);
    DialogWatch lost("Hot Key in Use", [](HWND box) { PressButton(box, IDOK); });
    DialogWatch watch("Folder Properties", [&](HWND dialog) {
        ClickControl(dialog, IDC_FOLDER_HOTKEY);
        Sleep(200);
        PressKeys({VK_CONTROL, VK_MENU, VK_F1});
        Sleep(300);
        PressKeys({VK_RETURN});
    });
    Choose(IDM_FOLDER_PROPERTIES);
    ASSERT_TRUE(watch.Finish());
    ASSERT_TRUE(lost.Finish());
    EXPECT_NE(lost.Text().find("\"Games\""), std::string::npos) << lost.Text();
    EXPECT_NE(lost.Text().find("Ctrl+Alt+F1"), std::string::npos) << lost.Text();
    EXPECT_NE(lost.Text().find("\"Main\""), std::string::npos) << lost.Text();
    EXPECT_EQ(FolderAt(games)->HotKey, 0u);
    EXPECT_EQ(FolderAt(0)->HotKey, MakeHotKeyCode(VK_F1, CtrlAlt));
    EXPECT_TRUE(HotKeyHeld(FolderAt(0)->HotKey));
}

TEST_F(FolderDialogTest, AFolderDeletedBeforeKeepsNoOtherFolderFromItsKey)
{
    PutFolder(0, "Main", MakeHotKeyCode(VK_F1, CtrlAlt));
    PutFolder(1, "Doomed", MakeHotKeyCode(VK_F2, CtrlAlt));
    PutFolder(2, "Kept", MakeHotKeyCode(VK_F3, CtrlAlt));
    Start();
    SelectFolder(1);
    {
        DialogWatch box("Delete Folder", [](HWND b) { PressButton(b, IDYES); });
        session.Command(IDM_FOLDER_DELETE);
        ASSERT_TRUE(box.Finish());
    }
    ASSERT_EQ(FolderCount(), 2);
    SelectFolder(1);
    PumpFor(200);
    DialogWatch lost("Hot Key in Use", [](HWND box) { PressButton(box, IDOK); }, 2000);
    DialogWatch watch("Folder Properties", [](HWND dialog) { PressButton(dialog, IDOK); });
    Choose(IDM_FOLDER_PROPERTIES);
    ASSERT_TRUE(watch.Finish());
    EXPECT_FALSE(lost.Finish()) << lost.Text();
    EXPECT_EQ(FolderAt(1)->HotKey, MakeHotKeyCode(VK_F3, CtrlAlt));
    EXPECT_TRUE(HotKeyHeld(FolderAt(1)->HotKey));
}

TEST_F(FolderDialogTest, HandEditedHotKeysGetAClearResult)
{
    PutFolder(0, "Main", 0x00F30074);                       // unknown modifier bits
    PutFolder(1, "Same", MakeHotKeyCode(VK_F5, CtrlAlt));   // the same combination
    PutFolder(2, "Keyless", 0x00030000);                    // modifiers without a key
    Start();
    EXPECT_EQ(FolderAt(0)->HotKey, MakeHotKeyCode(VK_F5, CtrlAlt));
    EXPECT_TRUE(HotKeyHeld(FolderAt(0)->HotKey));
    EXPECT_EQ(FolderAt(1)->HotKey, 0u);
    EXPECT_EQ(FolderAt(2)->HotKey, 0u);
}

TEST_F(FolderDialogTest, ThePaneShowsTitlesWithoutAHorizontalScrollBar)
{
    Start();
    ASSERT_EQ(Settings.nViewX, 70u);
    AddFolder("Accessories");
    AddFolder("A title of quite some length, longer than the pane");
    for (int i = 0; i < 20; i++)
        AddFolder("Games");
    PumpFor(300);
    HWND pane = ShellState.FolderPane;
    EXPECT_EQ(GetWindowLongA(pane, GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_NE(GetWindowLongA(pane, GWL_STYLE) & WS_VSCROLL, 0);
    RECT client;
    GetClientRect(pane, &client);
    EXPECT_EQ(SendMessageA(pane, LVM_GETCOLUMNWIDTH, 0, 0), client.right);
}

} // namespace
