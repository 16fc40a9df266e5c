// The folder and shortcut model, the Run history and the small text
// helpers; the model knows no window of ours.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/shellcache.h"
#include "winkit/winutil.h"
#include "fixture_client.h"
#include "wait.h"

namespace {

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetShellState();
        ResetFolderList();
        ResetShellCache();
        ResetWindowHelpers();
        ResetSettings();
        ShellState.Instance = GetModuleHandleA(nullptr);
        ShellState.IconTable[IconNoClass] = LoadIconA(ShellState.Instance, "NOCLASS");
        ASSERT_NE(DefaultIcon(), nullptr);
    }

    void TearDown() override { FreeAllFolders(); }
};

TEST_F(ModelTest, FoldersKeepTheirOrderAndTheFirstBecomesCurrent)
{
    Folder* main = CreateFolder("Main", FirstFolderHotKey, 0);
    Folder* games = CreateFolder("Games", 0, 1);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(games, nullptr);
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(FolderAt(0), main);
    EXPECT_EQ(FolderAt(1), games);
    EXPECT_EQ(ShellState.CurrentFolder, main);
    EXPECT_EQ(FolderIndexOf(games), 1);
    EXPECT_EQ(FolderAt(2), nullptr);
    EXPECT_EQ(FolderAt(-1), nullptr);
    EXPECT_EQ(games->ListSystemTasks, 1u);
    EXPECT_EQ(main->HotKey, 0x00030070u);
}

TEST_F(ModelTest, StringsNeverReadNullAndAreOwnedCopies)
{
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* shortcut = AddShortcut(folder);
    ASSERT_NE(shortcut, nullptr);
    EXPECT_STREQ(shortcut->Title.Get(), "");
    EXPECT_STREQ(shortcut->CommandLine.Get(), "");
    EXPECT_STREQ(shortcut->WorkingDirectory.Get(), "");
    EXPECT_STREQ(shortcut->IconFile.Get(), "");
    EXPECT_EQ(shortcut->SeparateMemory, 1u);
    EXPECT_EQ(shortcut->ContainInFolder, 1u);
    EXPECT_EQ(shortcut->MultipleInstances, 0u);

    char buffer[16] = "notepad";
    shortcut->Title.Set(buffer);
    buffer[0] = 'X';
    EXPECT_STREQ(shortcut->Title.Get(), "notepad");
    shortcut->Title.Set(nullptr);
    EXPECT_STREQ(shortcut->Title.Get(), "");

    // A text never grows past what every 260-byte buffer of the program
    // holds, and what the registry store reads back.
    std::string longText(1000, 'a');
    shortcut->CommandLine.Set(longText.c_str());
    EXPECT_EQ(strlen(shortcut->CommandLine.Get()), (size_t)MaxTextLength);
}

TEST_F(ModelTest, ShortcutListEndsStayRightWhenRemoving)
{
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* a = AddShortcut(folder);
    Shortcut* b = AddShortcut(folder);
    Shortcut* c = AddShortcut(folder);
    EXPECT_EQ(folder->First, a);
    EXPECT_EQ(folder->Last, c);
    EXPECT_EQ(ShortcutCount(folder), 3);

    RemoveShortcut(folder, a);  // first
    EXPECT_EQ(folder->First, b);
    EXPECT_EQ(b->Prev, nullptr);
    EXPECT_EQ(folder->Last, c);

    RemoveShortcut(folder, c);  // last
    EXPECT_EQ(folder->First, b);
    EXPECT_EQ(folder->Last, b);
    EXPECT_EQ(b->Next, nullptr);

    RemoveShortcut(folder, b);  // only
    EXPECT_EQ(folder->First, nullptr);
    EXPECT_EQ(folder->Last, nullptr);

    RemoveShortcut(folder, nullptr);  // ignored
    EXPECT_EQ(ShortcutCount(folder), 0);
}

TEST_F(ModelTest, HasShortcutComparesWithoutDereferencing)
{
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* shortcut = AddShortcut(folder);
    EXPECT_TRUE(HasShortcut(folder, (LPARAM)shortcut));
    EXPECT_FALSE(HasShortcut(folder, (LPARAM)0x1234));  // a window handle, say
    EXPECT_FALSE(HasShortcut(folder, 0));
    EXPECT_FALSE(HasShortcut(nullptr, (LPARAM)shortcut));
    // A shortcut of another folder is not one of this folder's.
    Folder* other = CreateFolder("Other", 0, 0);
    RemoveShortcut(other, shortcut);
    EXPECT_TRUE(HasShortcut(folder, (LPARAM)shortcut));
}

TEST_F(ModelTest, LookupsReturnTheFirstMatchInListOrder)
{
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* a = AddShortcut(folder);
    Shortcut* b = AddShortcut(folder);
    a->ProcessId = 7;
    b->ProcessId = 7;
    b->Window = (HWND)0x42;
    a->Title.Set("Editor");
    b->Title.Set("editor");
    EXPECT_EQ(FindShortcutByProcessId(folder, 7), a);
    EXPECT_EQ(FindShortcutByProcessId(folder, 8), nullptr);
    EXPECT_EQ(FindShortcutByWindow(folder, (HWND)0x42), b);
    EXPECT_EQ(FindShortcutByTitle(folder, "EDITOR"), a);
    EXPECT_EQ(FindShortcutByTitle(folder, "Editor - file"), nullptr);
}

TEST(TitleMatch, ComparesAcquireLengthCharactersIgnoringCase)
{
    ResetSettings();
    ASSERT_EQ(Settings.AcquireLength, 12u);
    EXPECT_TRUE(TitleMatch("Word Processor", "Word Processor - Letter"));
    EXPECT_FALSE(TitleMatch("Calc", "Calculator"));
    EXPECT_TRUE(TitleMatch("Calc", "CALC"));
    // 20 characters: the first 12 decide.
    EXPECT_TRUE(TitleMatch("Spreadsheet Document", "SPREADSHEET Something else"));
    EXPECT_FALSE(TitleMatch("Spreadsheet Document", "Spreadsheets"));
    // 7 characters: only exactly those 7.
    EXPECT_TRUE(TitleMatch("Notepad", "notepad"));
    EXPECT_FALSE(TitleMatch("Notepad", "Notepad2"));
    EXPECT_FALSE(TitleMatch("Notepad", "Notepa"));
    // Only A-Z fold.
    EXPECT_FALSE(TitleMatch("caf\xE9", "CAF\xC9"));

    Settings.AcquireLength = 0;
    EXPECT_TRUE(TitleMatch("anything", "else entirely"));
    EXPECT_TRUE(TitleMatch("", "x"));
    ResetSettings();
}

TEST_F(ModelTest, CopiedShortcutKeepsPositionButTakesNewShortcutFlags)
{
    Folder* main = CreateFolder("Main", 0, 0);
    Folder* games = CreateFolder("Games", 0, 0);
    Shortcut* source = AddShortcut(main);
    source->Title.Set("Editor");
    source->CommandLine.Set("\"C:\\Program Files\\Ed\\ed.exe\" -n");
    source->WorkingDirectory.Set("C:\\Work");
    source->IconFile.Set("ed.exe");
    source->IconIndex = 3;
    source->ShowState = 2;
    source->Priority = PriorityHigh;
    source->SeparateMemory = 0;
    source->MultipleInstances = 1;
    source->ContainInFolder = 0;
    source->Position = {40, 80};
    source->ProcessId = 99;

    ASSERT_TRUE(TransferToFolder(source, 1, false));
    ASSERT_EQ(ShortcutCount(games), 1);
    Shortcut* copy = games->First;
    EXPECT_STREQ(copy->Title.Get(), "Editor");
    EXPECT_STREQ(copy->CommandLine.Get(), "\"C:\\Program Files\\Ed\\ed.exe\" -n");
    EXPECT_STREQ(copy->WorkingDirectory.Get(), "C:\\Work");
    EXPECT_STREQ(copy->IconFile.Get(), "ed.exe");
    EXPECT_EQ(copy->IconIndex, 3);
    EXPECT_EQ(copy->ShowState, 2);
    EXPECT_EQ(copy->Priority, (DWORD)PriorityHigh);
    EXPECT_EQ(copy->SeparateMemory, 0u);
    EXPECT_EQ(copy->MultipleInstances, 0u);
    EXPECT_EQ(copy->ContainInFolder, 1u);
    EXPECT_EQ(copy->Position.x, 40);
    EXPECT_EQ(copy->Position.y, 80);
    EXPECT_EQ(copy->ProcessId, 0u);
    EXPECT_EQ(copy->Icon, nullptr);
    EXPECT_EQ(ShortcutCount(main), 1);

    ASSERT_TRUE(TransferToFolder(source, 1, true));
    EXPECT_EQ(ShortcutCount(main), 0);
    EXPECT_EQ(ShortcutCount(games), 2);
    EXPECT_FALSE(TransferToFolder(games->First, 5, false));  // no such row
}

TEST_F(ModelTest, TransferringAWindowCopiesVisiblyOrMovesHidden)
{
    Folder* main = CreateFolder("Main", 0, 0);
    Folder* games = CreateFolder("Games", 0, 0);
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Copied\" --window \"Moved\""));
    HWND copied = app.Window("Copied");
    HWND moved = app.Window("Moved");
    ASSERT_TRUE(copied && moved);
    main->Contained->Append(moved)->ShowOnEnter = 1;

    ASSERT_TRUE(TransferToFolder(copied, 1, false));
    ASSERT_NE(games->Contained->Head, nullptr);
    EXPECT_EQ(games->Contained->Head->Window, copied);
    EXPECT_EQ(games->Contained->Head->ShowOnEnter, 1);
    PumpFor(200);
    EXPECT_TRUE(IsWindowVisible(copied));

    ASSERT_TRUE(TransferToFolder(moved, 1, true));
    EXPECT_FALSE(main->Contained->Contains(moved));
    EXPECT_TRUE(games->Contained->Contains(moved));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(moved); }, 3000));
}

TEST(ContainedList, AllowsDuplicatesAndRemovesTheFirstFromTheHead)
{
    ContainedList list;
    HWND a = (HWND)0x10, b = (HWND)0x20;
    ContainedEntry* first = list.Append(a);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ShowOnEnter, 0);
    list.Append(b)->ShowOnEnter = 1;
    list.Append(a)->ShowOnEnter = 1;
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Remove(a));
    ASSERT_NE(list.Head, nullptr);
    EXPECT_EQ(list.Head->Window, b);
    EXPECT_EQ(list.Tail->Window, a);
    EXPECT_EQ(list.Tail->ShowOnEnter, 1);  // the second entry of a is the one left
    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_EQ(list.Head, list.Tail);
    list.Clear();
    EXPECT_EQ(list.Head, nullptr);
    EXPECT_EQ(list.Tail, nullptr);
}

// Icons are shared: the default icon, and an icon file's icon, which is
// extracted once for every shortcut showing it and outlives them.
TEST_F(ModelTest, SharedIconsSurviveTheShortcutsThatShowThem)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string notepad = std::string(windows) + "\\notepad.exe";
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* a = AddShortcut(folder);
    Shortcut* b = AddShortcut(folder);
    a->Icon = DefaultIcon();
    b->Icon = DefaultIcon();
    Shortcut* c = AddShortcut(folder);
    Shortcut* d = AddShortcut(folder);
    c->IconFile.Set(notepad.c_str());
    d->IconFile.Set(("\"" + notepad + "\"").c_str());
    HICON shared = GetShortcutIcon(c);
    ASSERT_NE(shared, DefaultIcon());
    EXPECT_EQ(GetShortcutIcon(d), shared);
    RemoveShortcut(folder, a);
    RemoveShortcut(folder, c);
    DestroyFolder(folder);
    for (HICON icon : {DefaultIcon(), shared}) {
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST_F(ModelTest, IconComesFromTheFileOrTheAssociatedProgram)
{
    Folder* folder = CreateFolder("Main", 0, 0);
    Shortcut* plain = AddShortcut(folder);
    EXPECT_EQ(GetShortcutIcon(plain), DefaultIcon());  // nothing to take an icon from

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string notepad = std::string(windows) + "\\notepad.exe";

    // An empty icon file, or index -1 (which asks for a count), is no icon:
    // the command's program gives it.
    for (LONG index : {0, -1}) {
        Shortcut* empty = AddShortcut(folder);
        empty->IconFile.Set(index == 0 ? "" : notepad.c_str());
        empty->IconIndex = index;
        empty->CommandLine.Set(("\"" + notepad + "\" letter.txt").c_str());
        EXPECT_NE(GetShortcutIcon(empty), DefaultIcon());
        EXPECT_EQ(lstrcmpiA(empty->IconFile.Get(), notepad.c_str()), 0) << empty->IconFile.Get();
        EXPECT_EQ(empty->IconIndex, 0);
    }

    Shortcut* own = AddShortcut(folder);
    own->IconFile.Set(("\"" + notepad + "\"").c_str());
    HICON icon = GetShortcutIcon(own);
    EXPECT_NE(icon, nullptr);
    EXPECT_NE(icon, DefaultIcon());

    // A file without icons: the program of the command gives the icon and
    // becomes the icon file.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string text = std::string(temp) + "corvanix-no-icons.txt";
    HANDLE file = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    Shortcut* fallback = AddShortcut(folder);
    fallback->IconFile.Set(text.c_str());
    fallback->IconIndex = 4;
    fallback->CommandLine.Set((notepad + " letter.txt").c_str());
    LoadShortcutIcon(fallback);
    EXPECT_NE(fallback->Icon, DefaultIcon());
    EXPECT_EQ(lstrcmpiA(fallback->IconFile.Get(), notepad.c_str()), 0) << fallback->IconFile.Get();
    EXPECT_EQ(fallback->IconIndex, 0);

    // Nothing found at all: the shared default icon.
    Shortcut* nothing = AddShortcut(folder);
    nothing->IconFile.Set(text.c_str());
    nothing->CommandLine.Set("no-such-program-anywhere.exe");
    LoadShortcutIcon(nothing);
    EXPECT_EQ(nothing->Icon, DefaultIcon());
    DeleteFileA(text.c_str());
}

TEST(CommandText, FirstArgumentKeepsQuotedRuns)
{
    char quoted[] = "\"C:\\Program Files\\Ed\\ed.exe\" -n file.txt";
    EXPECT_STREQ(FirstArgument(quoted), "\"C:\\Program Files\\Ed\\ed.exe\"");
    char whole[] = "\"C:\\Program Files\\Ed\\ed.exe\"";
    EXPECT_STREQ(FirstArgument(whole), "\"C:\\Program Files\\Ed\\ed.exe\"");
    char plain[] = "notepad.exe readme.txt";
    EXPECT_STREQ(FirstArgument(plain), "notepad.exe");
    char empty[] = "";
    EXPECT_EQ(FirstArgument(empty), nullptr);
    char leadingBlank[] = " x";
    EXPECT_EQ(FirstArgument(leadingBlank), nullptr);
    char unclosed[] = "\"C:\\a b";
    EXPECT_STREQ(FirstArgument(unclosed), "\"C:\\a b");
}

TEST(CommandText, StripQuotesTakesTheFirstQuotedRun)
{
    char quoted[] = "\"C:\\Program Files\\Ed\\ed.exe\" -n";
    EXPECT_STREQ(StripQuotes(quoted), "C:\\Program Files\\Ed\\ed.exe");
    char plain[] = "C:\\ed.exe -n";
    EXPECT_STREQ(StripQuotes(plain), "C:\\ed.exe -n");
    char middle[] = "run \"a b\" c";
    EXPECT_STREQ(StripQuotes(middle), "a b");
    char unclosed[] = "\"C:\\a b";
    EXPECT_STREQ(StripQuotes(unclosed), "C:\\a b");
}

TEST(RunHistory, KeepsTheNewest32AndIgnoresARepeatOfTheNewest)
{
    RunHistoryClear();
    for (int i = 0; i < 33; i++)
        RunHistoryInsert(("command " + std::to_string(i)).c_str());
    EXPECT_EQ(RunHistoryCount(), 32);
    EXPECT_STREQ(RunHistoryText(0), "command 32");
    EXPECT_STREQ(RunHistoryText(31), "command 1");

    RunHistoryInsert("COMMAND 32");
    EXPECT_EQ(RunHistoryCount(), 32);
    EXPECT_STREQ(RunHistoryText(0), "command 32");
    EXPECT_STREQ(RunHistoryText(1), "command 31");

    // Only slot 0 counts as a repeat.
    RunHistoryInsert("command 31");
    EXPECT_STREQ(RunHistoryText(0), "command 31");
    EXPECT_STREQ(RunHistoryText(1), "command 32");

    // What the registry could not give back whole is not kept at all.
    EXPECT_FALSE(RunHistoryInsert(std::string(MaxTextLength + 1, 'x').c_str()));
    EXPECT_TRUE(RunHistoryInsert(std::string(MaxTextLength, 'x').c_str()));
    EXPECT_EQ(strlen(RunHistoryText(0)), (size_t)MaxTextLength);

    RunHistoryClear();
    EXPECT_EQ(RunHistoryCount(), 0);
    EXPECT_STREQ(RunHistoryText(0), "");
}

TEST(SettingsRecord, StartsWithTheInitialValues)
{
    ResetSettings();
    EXPECT_EQ(Settings.Priority, 2u);
    EXPECT_EQ(Settings.Top, 0u);
    EXPECT_EQ(Settings.Progman, 0u);
    EXPECT_EQ(Settings.StatusBar, 1u);
    EXPECT_EQ(Settings.ToolBar, 1u);
    EXPECT_EQ(Settings.Folders, 1u);
    EXPECT_EQ(Settings.TaskBar, 1u);
    EXPECT_EQ(Settings.AutoClose, 0u);
    EXPECT_EQ(Settings.nViewX, 70u);
    EXPECT_EQ(Settings.Color, 0x00C0C0C0u);
    EXPECT_EQ(Settings.AcquireLength, 12u);
    EXPECT_EQ(Settings.HotKey, 0u);
    EXPECT_EQ(Settings.Window.right, 0);
    EXPECT_EQ(Settings.View, 0u);
    const WORD widths[6] = {103, 54, 51, 91, 70, 70};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(Settings.ColWidth[i], widths[i]);
    EXPECT_EQ(sizeof Settings.Window, 16u);
    EXPECT_EQ(sizeof Settings.ColWidth, 12u);
    EXPECT_EQ(MakeHotKeyCode(VK_F1, HotKeyCtrl | HotKeyAlt), FirstFolderHotKey);
}

} // namespace
