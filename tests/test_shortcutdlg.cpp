// The Shortcut Properties dialog driven with the real keyboard and mouse:
// creating and editing shortcuts with every field, the title rules of OK,
// the boxes that follow the command line and each other, the icon list
// following the icon file, Browse, and texts a shortcut cannot keep.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "model/settings.h"
#include "model/shellstate.h"
#include "app/dialogcommands.h"
#include "app/resource.h"
#include "dialogs/shortcutdlg.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "temp_files.h"
#include "user_input.h"
#include "wait.h"

namespace {

// This test program carries the main program's icons.
std::string ThisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

int IconsOf(const std::string& file)
{
    return (int)(UINT_PTR)ExtractIconA(GetModuleHandleA(nullptr), file.c_str(), (UINT)-1);
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

// Clicks a field and types its new text.
void Enter(HWND dialog, int id, const std::string& text)
{
    ClickControl(dialog, id);
    ReplaceFocusedText(text);
    WaitUntil([&] { return ControlText(dialog, id) == text; });
}

LRESULT IconCount(HWND dialog)
{
    return AskControl(dialog, IDC_SHORTCUT_ICONS, LB_GETCOUNT);
}

LRESULT SelectedIcon(HWND dialog)
{
    return AskControl(dialog, IDC_SHORTCUT_ICONS, LB_GETCURSEL);
}

class ShortcutDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        Settings.View = 3;
        ASSERT_TRUE(session.Start());
        SetForegroundWindow(ShellState.MainWindow);
    }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }

    // Runs the dialog in create mode and hands it to drive; its result.
    INT_PTR Create(const std::function<void(HWND)>& drive)
    {
        INT_PTR result = -1;
        EXPECT_TRUE(DriveDialog("Create Shortcut", [&] {
            result = CreateShortcutCommand(ShellState.MainWindow);
        }, drive));
        return result;
    }

    Shortcut* Newest() { return ShellState.CurrentFolder->Last; }

    AppSession session;
};

TEST_F(ShortcutDialogTest, InsertCreatesAShortcutWithEveryFieldAndTheBoxesFollowTheCommand)
{
    std::string program = Fixture::ExeDirectory() + "\\fixture.exe";
    bool containAtFirst = false, normalAtFirst = false, separateFor32Bit = false;
    bool lockedFor32Bit = false, separateForOther = true, unlockedForOther = false;
    bool containLocked = false, containUnlockedAndSet = false;
    std::vector<int> order;
    DialogWatch watch("Create Shortcut", [&](HWND dialog) {
        for (int press = 0; press < 6; press++, PressKeys({VK_TAB}))
            order.push_back(GetDlgCtrlID(FocusOf(dialog)));
        containAtFirst = ButtonChecked(dialog, IDC_SHORTCUT_CONTAIN);
        normalAtFirst = ButtonChecked(dialog, IDC_SHORTCUT_NORMAL);
        Enter(dialog, IDC_SHORTCUT_COMMAND, program);
        separateFor32Bit = ButtonChecked(dialog, IDC_SHORTCUT_SEPARATE);
        lockedFor32Bit = !Enabled(dialog, IDC_SHORTCUT_SEPARATE);
        // A bare lower-case program name that is not found here.
        ReplaceFocusedText("viewer.exe");
        WaitUntil([&] { return ControlText(dialog, IDC_SHORTCUT_COMMAND) == "viewer.exe"; });
        separateForOther = ButtonChecked(dialog, IDC_SHORTCUT_SEPARATE);
        unlockedForOther = Enabled(dialog, IDC_SHORTCUT_SEPARATE);

        ClickControl(dialog, IDC_SHORTCUT_MULTIPLE);
        containLocked = ButtonChecked(dialog, IDC_SHORTCUT_CONTAIN) && !Enabled(dialog, IDC_SHORTCUT_CONTAIN);
        ClickControl(dialog, IDC_SHORTCUT_MULTIPLE);
        containUnlockedAndSet = ButtonChecked(dialog, IDC_SHORTCUT_CONTAIN) && Enabled(dialog, IDC_SHORTCUT_CONTAIN);
        ClickControl(dialog, IDC_SHORTCUT_CONTAIN);  // cleared now
        ClickControl(dialog, IDC_SHORTCUT_SEPARATE);
        ClickControl(dialog, IDC_SHORTCUT_MAXIMIZED);
        Enter(dialog, IDC_SHORTCUT_DIRECTORY, "C:\\work dir");
        ClickControl(dialog, IDC_SHORTCUT_PRIORITY);
        PressKeys({VK_DOWN});
        PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        WaitUntil([&] { return AskControl(dialog, IDC_SHORTCUT_PRIORITY, CB_GETCURSEL) == 2; });
        ClickControl(dialog, IDOK);
        EnsureClosed(dialog);
    });
    SetFocus(ShellState.ItemList);
    PressKeys({VK_INSERT});
    ASSERT_TRUE(WaitFor([&] { return watch.Seen() && ShortcutCount(ShellState.CurrentFolder) == 1; }, 20000));
    watch.Finish();

    // Tab goes through the fields in reading order.
    EXPECT_EQ(order, (std::vector<int>{IDC_SHORTCUT_TITLE, IDC_SHORTCUT_COMMAND, IDC_SHORTCUT_DIRECTORY,
                                       IDC_SHORTCUT_ICONFILE, IDC_SHORTCUT_ICONS, IDC_SHORTCUT_NORMAL}));
    EXPECT_TRUE(containAtFirst);
    EXPECT_TRUE(normalAtFirst);
    EXPECT_TRUE(separateFor32Bit);
    EXPECT_TRUE(lockedFor32Bit);
    EXPECT_FALSE(separateForOther);
    EXPECT_TRUE(unlockedForOther);
    EXPECT_TRUE(containLocked);
    EXPECT_TRUE(containUnlockedAndSet);

    Shortcut* shortcut = Newest();
    EXPECT_STREQ(shortcut->Title.Get(), "Viewer");
    EXPECT_STREQ(shortcut->CommandLine.Get(), "viewer.exe");
    EXPECT_STREQ(shortcut->WorkingDirectory.Get(), "C:\\work dir");
    EXPECT_STREQ(shortcut->IconFile.Get(), "viewer.exe");  // the first argument, for an empty field
    EXPECT_EQ(shortcut->IconIndex, 0);
    EXPECT_EQ(shortcut->Icon, DefaultIcon());
    EXPECT_EQ(shortcut->ShowState, 2);
    EXPECT_EQ(shortcut->Priority, (DWORD)PriorityHigh);
    EXPECT_EQ(shortcut->MultipleInstances, 0u);
    EXPECT_EQ(shortcut->ContainInFolder, 0u);
    EXPECT_EQ(shortcut->SeparateMemory, 1u);
    EXPECT_FALSE(ShellState.Busy);
    EXPECT_TRUE(WaitFor([&] { return ItemRowOf(shortcut) >= 0; }, 5000));
    EXPECT_EQ(ItemCell(ItemRowOf(shortcut), 0), "Viewer");
}

TEST_F(ShortcutDialogTest, OKTitlesAPathUpToItsFirstDotAndRefusesWhatItCannotKeep)
{
    std::string tooLong(MaxTextLength + 1, 'x');
    std::string refusal;
    bool stayedOpen = false;
    EXPECT_EQ(Create([&](HWND dialog) {
        Enter(dialog, IDC_SHORTCUT_COMMAND, tooLong);
        DialogWatch box("Corvanix Shortcut", [](HWND b) { PressButton(b, IDOK); });
        ClickControl(dialog, IDOK);
        box.Finish();
        refusal = box.Text();
        stayedOpen = IsWindowVisible(dialog) != 0;
        Enter(dialog, IDC_SHORTCUT_COMMAND, "c:\\my.tools\\viewer.exe -x");
        PressKeys({VK_RETURN});
    }), 1);
    EXPECT_NE(refusal.find("command line is too long"), std::string::npos) << refusal;
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    EXPECT_STREQ(Newest()->Title.Get(), "C:\\my");
    EXPECT_STREQ(Newest()->IconFile.Get(), "c:\\my.tools\\viewer.exe");
    // A name that is all extension keeps its whole name, as a drop does.
    EXPECT_EQ(Create([](HWND dialog) {
        Enter(dialog, IDC_SHORTCUT_COMMAND, ".cfg");
        PressKeys({VK_RETURN});
    }), 1);
    EXPECT_STREQ(Newest()->Title.Get(), ".cfg");

    // Cancel and the close box store nothing.
    EXPECT_EQ(Create([](HWND dialog) {
        Enter(dialog, IDC_SHORTCUT_COMMAND, "notepad");
        PressKeys({VK_ESCAPE});
    }), 0);
    EXPECT_EQ(Create([](HWND dialog) { CloseWindowBox(dialog); }), 0);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 2);

    // A folder keeps no more shortcuts than the registry gives back.
    while (ShortcutCount(ShellState.CurrentFolder) < MaxShortcutsPerFolder)
        AddShortcut(ShellState.CurrentFolder)->Title.Set("Filler");
    // On a machine loaded by other work the box has come after more than
    // the ten seconds a watch waits by default; a box missed waits for ever.
    DialogWatch full("Corvanix Shortcut", [](HWND b) { PressButton(b, IDOK); }, 60000);
    EXPECT_EQ(CreateShortcutCommand(ShellState.MainWindow), 0);
    EXPECT_TRUE(full.Finish());
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), MaxShortcutsPerFolder);
}

TEST_F(ShortcutDialogTest, TheIconListFollowsTheIconFileAsItIsTyped)
{
    std::string icons = ThisProgram();
    int count = IconsOf(icons);
    ASSERT_GT(count, 3);
    std::string text = TempDirectory() + "\\no icons.txt";
    std::ofstream(text) << "text";
    std::vector<LRESULT> counts;
    LRESULT selectedFirst = -1;
    EXPECT_EQ(Create([&](HWND dialog) {
        Enter(dialog, IDC_SHORTCUT_TITLE, "Icons");
        Enter(dialog, IDC_SHORTCUT_ICONFILE, icons);
        counts.push_back(IconCount(dialog));
        selectedFirst = SelectedIcon(dialog);
        TypeText("x");  // a file that does not exist
        WaitUntil([&] { return ControlText(dialog, IDC_SHORTCUT_ICONFILE).back() == 'x'; });
        counts.push_back(IconCount(dialog));
        Enter(dialog, IDC_SHORTCUT_ICONFILE, text);  // not a program
        counts.push_back(IconCount(dialog));
        Enter(dialog, IDC_SHORTCUT_ICONFILE, "\"" + icons + "\"");
        ClickControl(dialog, IDC_SHORTCUT_ICONS);
        PressKeys({VK_HOME});
        PressKeys({VK_DOWN});
        PressKeys({VK_DOWN});
        WaitUntil([&] { return SelectedIcon(dialog) == 2; });
        ClickControl(dialog, IDOK);
    }), 1);
    EXPECT_EQ(counts, (std::vector<LRESULT>{count, 0, 0}));
    EXPECT_EQ(selectedFirst, 0);
    EXPECT_EQ(Newest()->IconFile.Get(), "\"" + icons + "\"");
    EXPECT_EQ(Newest()->IconIndex, 2);
    EXPECT_NE(Newest()->Icon, DefaultIcon());
    DeleteFileA(text.c_str());
}

TEST_F(ShortcutDialogTest, PropertiesEditsEachSelectedShortcutAndACancelGoesOn)
{
    Shortcut* odd = AddShortcut(ShellState.CurrentFolder);
    odd->Title.Set("Odd");
    odd->CommandLine.Set("viewer.exe");
    odd->IconFile.Set(ThisProgram().c_str());
    odd->IconIndex = 50;  // beyond the file's icons
    odd->ShowState = 7;
    odd->Priority = PriorityHighest;
    odd->MultipleInstances = 1;
    odd->SeparateMemory = 0;
    Shortcut* skipped = AddShortcut(ShellState.CurrentFolder);
    skipped->Title.Set("Skipped");
    Shortcut* last = AddShortcut(ShellState.CurrentFolder);
    last->Title.Set("Last");
    RequestRefresh();
    ASSERT_TRUE(WaitFor([&] { return ItemRowOf(odd) >= 0 && ItemRowOf(skipped) >= 0 && ItemRowOf(last) >= 0; }, 5000));
    SelectItemRows({ItemRowOf(odd), ItemRowOf(skipped), ItemRowOf(last)});

    std::vector<std::string> titles;
    LRESULT icons = 0, selected = 0, priority = 0;
    bool normal = false, multiple = false, containFree = false;
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        while (!stop) {
            HWND dialog = FindOwnWindow("Shortcut Properties");
            if (!dialog) {
                Sleep(20);
                continue;
            }
            Sleep(150);
            titles.push_back(ControlText(dialog, IDC_SHORTCUT_TITLE));
            if (titles.size() == 1) {
                icons = IconCount(dialog);
                selected = SelectedIcon(dialog);
                priority = AskControl(dialog, IDC_SHORTCUT_PRIORITY, CB_GETCURSEL);
                normal = ButtonChecked(dialog, IDC_SHORTCUT_NORMAL);
                multiple = ButtonChecked(dialog, IDC_SHORTCUT_MULTIPLE);
                containFree = ButtonChecked(dialog, IDC_SHORTCUT_CONTAIN) &&
                              Enabled(dialog, IDC_SHORTCUT_CONTAIN);
                Enter(dialog, IDC_SHORTCUT_TITLE, "Renamed");
                PressKeys({VK_RETURN});
            } else if (titles.size() == 2) {
                PressButton(dialog, IDCANCEL);
            } else {
                PressButton(dialog, IDOK);
            }
            EnsureClosed(dialog);
        }
    });
    // Alt+Enter, pressed for real, is Properties.
    SetFocus(ShellState.ItemList);
    PressKeys({VK_MENU, VK_RETURN});
    WaitFor([&] { return titles.size() == 3 && !FindOwnWindow("Shortcut Properties"); }, 20000);
    stop = true;
    answering.join();

    EXPECT_EQ(titles, (std::vector<std::string>{"Odd", "Skipped", "Last"}));
    EXPECT_EQ(icons, IconsOf(ThisProgram()));
    EXPECT_EQ(selected, LB_ERR);
    EXPECT_EQ(priority, 3);
    EXPECT_TRUE(normal);
    EXPECT_TRUE(multiple);
    EXPECT_TRUE(containFree);
    EXPECT_STREQ(odd->Title.Get(), "Renamed");
    EXPECT_EQ(odd->IconIndex, 0);
    EXPECT_EQ(odd->ShowState, 0);
    EXPECT_EQ(odd->MultipleInstances, 1u);
    EXPECT_STREQ(skipped->Title.Get(), "Skipped");
    EXPECT_FALSE(ShellState.Busy);
    EXPECT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf(odd), 0) == "Renamed"; }, 5000));
}

TEST_F(ShortcutDialogTest, BrowseFillsTheProgramAndKeepsAnExistingTitle)
{
    std::string dir = TempDirectory() + "\\shortcut browse";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string tool = dir + "\\tool.exe";
    ASSERT_TRUE(CopyFileA(ThisProgram().c_str(), tool.c_str(), FALSE));
    Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
    shortcut->Title.Set("Kept");
    shortcut->CommandLine.Set(("\"" + dir + "\\old.exe\" -x").c_str());

    LRESULT icons = 0, selected = -1;
    bool titleFocused = false;
    INT_PTR result = -1;
    ASSERT_TRUE(DriveDialog("Shortcut Properties", [&] {
        result = EditShortcutCommand(ShellState.MainWindow, shortcut);
    }, [&](HWND dialog) {
        DialogWatch browse("Browse", [](HWND) {
            // The name alone: it is found only in the directory offered.
            ReplaceFocusedText("tool.exe");
            PressKeys({VK_RETURN});
        });
        ClickControl(dialog, IDC_SHORTCUT_BROWSE);
        browse.Finish();
        WaitUntil([&] { return IconCount(dialog) > 0; });
        icons = IconCount(dialog);
        selected = SelectedIcon(dialog);
        titleFocused = FocusOf(dialog) == GetDlgItem(dialog, IDC_SHORTCUT_TITLE);
        PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(result, 1);
    std::string quoted = "\"" + tool + "\"";
    EXPECT_STREQ(shortcut->Title.Get(), "Kept");
    EXPECT_EQ(lstrcmpiA(shortcut->CommandLine.Get(), quoted.c_str()), 0) << shortcut->CommandLine.Get();
    EXPECT_EQ(lstrcmpiA(shortcut->IconFile.Get(), quoted.c_str()), 0) << shortcut->IconFile.Get();
    EXPECT_EQ(lstrcmpiA(shortcut->WorkingDirectory.Get(), ("\"" + dir + "\"").c_str()), 0)
        << shortcut->WorkingDirectory.Get();
    EXPECT_EQ(icons, IconsOf(tool));
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(titleFocused);
    DeleteFileA(tool.c_str());
    RemoveDirectoryA(dir.c_str());
}

} // namespace
