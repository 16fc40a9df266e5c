// The item list and folder pane windows: files and shell links dropped
// from the shell, drags with the real mouse, and folder deletion.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/resource.h"
#include "launch/linkcheck.h"
#include "launch/shelllink.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemrows.h"
#include "winkit/listrows.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "file_drop.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "shell_links.h"
#include "temp_files.h"
#include "user_input.h"
#include "wait.h"

namespace {

class ItemListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        Settings.View = 0;  // large icons: dragging works there
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.WaitForPasses(1));
    }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }
    // Exit (which saves) and a start from the registry alone.
    void Restart()
    {
        session.Exit();
        ResetSettings();
        Settings.View = 0;
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.WaitForPasses(1));
    }

    Shortcut* NewShortcut(const char* title, const std::string& command = "notepad.exe",
                          Folder* folder = nullptr)
    {
        Shortcut* shortcut = AddShortcut(folder ? folder : ShellState.CurrentFolder);
        shortcut->Title.Set(title);
        shortcut->CommandLine.Set(command.c_str());
        RequestRefresh();
        return shortcut;
    }
    bool WaitForRow(LPARAM value, bool present = true)
    {
        return WaitFor([&] { return (ItemRowOf(value) >= 0) == present; }, 5000, 10);
    }
    POINT RowCentre(HWND list, int row)
    {
        RECT icon = {};
        icon.left = LVIR_ICON;
        SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&icon);
        POINT point = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
        ClientToScreen(list, &point);
        return point;
    }
    // Somewhere in the item list with no row under it.
    POINT EmptySpot(int dx = 0)
    {
        RECT client;
        GetClientRect(ShellState.ItemList, &client);
        POINT point = {client.right - 60 + dx, client.bottom - 40};
        return point;
    }
    POINT ToScreen(HWND window, POINT client)
    {
        ClientToScreen(window, &client);
        return client;
    }
    // Drags with the real mouse from one screen point to another, from a
    // thread of its own, while this thread runs the drag loop.
    void MouseDrag(POINT from, POINT to, bool control = false)
    {
        SetForegroundWindow(ShellState.MainWindow);
        WaitFor([] { return GetForegroundWindow() == ShellState.MainWindow; }, 2000);
        DragWithMouse(from, to, control);
    }

    AppSession session;
};

TEST_F(ItemListTest, FilesDroppedOnEmptySpaceBecomeShortcutsWhereTheyFell)
{
    std::string a = WriteFile(TempPath("First Note.txt"));
    std::string b = WriteFile(TempPath("second.txt"));
    POINT spot = EmptySpot();
    SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop({a, b}, spot), 0);
    Folder* folder = ShellState.CurrentFolder;
    ASSERT_EQ(ShortcutCount(folder), 2);
    EXPECT_STREQ(folder->First->Title.Get(), "First note");
    EXPECT_STREQ(folder->Last->Title.Get(), "Second");
    EXPECT_EQ(folder->First->Position.x, spot.x);
    EXPECT_EQ(folder->First->Position.y, spot.y);
    EXPECT_TRUE(WaitForRow((LPARAM)folder->Last));
    // Loaded for its row, by the icon loader.
    EXPECT_TRUE(WaitFor([&] { return folder->First->Icon != nullptr; }, 5000, 10));
}

// Shortcut rows get their icons from the icon loader's thread: a folder
// left before its icons came gives none of them to the next folder's rows,
// and every row ends with the one image of its own icon.
TEST_F(ItemListTest, EveryShortcutRowEndsWithTheImageOfItsOwnIcon)
{
    int icons = (int)(INT_PTR)ExtractIconA(GetModuleHandleA(nullptr), "shell32.dll", (UINT)-1);
    ASSERT_GT(icons, 1);
    int other = AddFolder("Other");
    for (int i = 0; i < 60; i++) {
        Shortcut* left = NewShortcut(("A" + std::to_string(i)).c_str());
        Shortcut* entered = NewShortcut(("B" + std::to_string(i)).c_str(), "notepad.exe", FolderAt(other));
        left->IconFile.Set("shell32.dll");
        entered->IconFile.Set("C:\\windows\\system32\\shell32.dll");
        left->IconIndex = i % icons;
        entered->IconIndex = (icons - 1 - i % icons);
    }
    ASSERT_TRUE(WaitFor([] { return ItemRows() == 60; }, 5000, 5));
    SelectFolder(other);
    Folder* entered = FolderAt(other);
    ASSERT_TRUE(WaitFor([&] {
        return ItemRows() == 60 && ItemRowOf(entered->First) >= 0 && RowsAwaitingImages() == 0;
    }, 20000));
    std::map<HICON, int> imageOf;
    std::set<int> images;
    for (int index = 0; index < ItemRows(); index++) {
        Shortcut* shortcut = ItemRowAt(index)->LiveShortcut();
        ASSERT_TRUE(shortcut && shortcut->Icon);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        SendMessageA(ShellState.ItemList, LVM_GETITEMA, 0, (LPARAM)&item);
        auto known = imageOf.emplace(shortcut->Icon, item.iImage);
        EXPECT_EQ(known.first->second, item.iImage);
        EXPECT_TRUE(!known.second || images.insert(item.iImage).second) << index;
    }
}

TEST_F(ItemListTest, AnUnresolvableLinkEndsTheDropButKeepsWhatWasMade)
{
    std::string good = WriteFile(TempPath("kept.txt"));
    std::string broken = WriteFile(TempPath("Unreadable.lnk"), "not a link");
    std::string after = WriteFile(TempPath("never.txt"));
    SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop({good, broken, after}, EmptySpot()), 0);
    ASSERT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    EXPECT_STREQ(ShellState.CurrentFolder->First->Title.Get(), "Kept");
}

TEST_F(ItemListTest, OddDropsNeitherOverrunNorCrash)
{
    // A name too long for any path, hundreds of files, an empty name.
    std::vector<std::string> files = {std::string(600, 'L')};
    for (int i = 0; i < 300; i++)
        files.push_back(TempPath("many" + std::to_string(i) + ".dat"));
    DialogWatch box("Add Shortcuts", [](HWND b) { PressButton(b, IDOK); });
    SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop(files, EmptySpot()), 0);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.Text(), "1 file was not added: its name is too long to be kept whole.");
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 300);
    for (Shortcut* s = ShellState.CurrentFolder->First; s; s = s->Next)
        ASSERT_LT(strlen(s->CommandLine.Get()), (size_t)MaxText);
    EXPECT_STREQ(ShellState.CurrentFolder->Last->Title.Get(), "Many299");
}

// Blocks that are no whole drop, and handles that are no block of ours, are
// neither read by the system nor freed; a whole drop still works after.
TEST_F(ItemListTest, BlocksThatAreNoWholeDropAreIgnoredAndNotFreed)
{
    std::string file = WriteFile(TempPath("after odd blocks.txt"));
    auto block = [](size_t size, DWORD files, const char* names, size_t length, BOOL wide = FALSE) {
        HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size);
        BYTE* data = (BYTE*)GlobalLock(handle);
        memset(data, 'a', size);
        DWORD header[5] = {files, 10, 10, 0, (DWORD)wide};
        memcpy(data, header, std::min(size, sizeof header));
        memcpy(data + std::min(size, (size_t)files), names, std::min(length, size - std::min(size, (size_t)files)));
        GlobalUnlock(handle);
        return handle;
    };
    std::vector<HGLOBAL> blocks = {
        block(12, 20, "", 0),                    // smaller than a header
        block(64, 4000, "a.txt\0\0", 7),          // the list outside the block
        block(64, 20, "", 0),                    // a name without its end
        block(64, 20, "a.txt\0", 6),              // no empty name to end the list
        block(64, 20, "a\0b\0c\0\0\0", 9, TRUE),   // wide names without a wide end
        (HGLOBAL)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 16),  // a fixed block, all zeros
    };
    for (HWND list : {ShellState.ItemList, ShellState.FolderPane}) {
        for (HGLOBAL handle : blocks)
            SendMessageA(list, WM_DROPFILES, (WPARAM)handle, 0);
        for (ULONG_PTR handle : {(ULONG_PTR)0, (ULONG_PTR)1, (ULONG_PTR)0x12345678, (ULONG_PTR)0x7FFF0000})
            SendMessageA(list, WM_DROPFILES, (WPARAM)handle, 0);
    }
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 0);
    for (HGLOBAL handle : blocks)
        EXPECT_NE(GlobalFlags(handle), (UINT)GMEM_INVALID_HANDLE);
    SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop({file}, EmptySpot()), 0);
    ASSERT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    for (size_t i = 0; i + 1 < blocks.size(); i++)
        GlobalFree(blocks[i]);
    HeapFree(GetProcessHeap(), 0, blocks.back());
}

// Names of dots get the folder they name, a name that would give no title
// gets one, a name that would not be kept whole is refused with a word to
// the user; and what was made comes back after two restarts.
TEST_F(ItemListTest, DotsAndLongNamesLoseNothingAcrossRestarts)
{
    CreateDirectoryA("C:\\Dotted", nullptr);
    CreateDirectoryA("C:\\Dotted\\Inner", nullptr);
    std::string dir = "C:\\Dotted\\";
    std::string hidden = WriteFile(dir + ".profile");
    std::string longest = WriteFile(dir + std::string(MaxTextLength - dir.size() - 4, 'm') + ".txt");
    std::string tooLong = dir + std::string(MaxTextLength + 1 - dir.size() - 4, 'n') + ".txt";
    std::string quotedTooLong = dir + "a b" + std::string(MaxTextLength - dir.size() - 7, 'q') + ".txt";
    ASSERT_EQ(longest.size(), (size_t)MaxTextLength);
    ASSERT_EQ(tooLong.size(), (size_t)MaxTextLength + 1);
    {
        DialogWatch box("Add Shortcuts", [](HWND b) { PressButton(b, IDOK); });
        SendMessageA(ShellState.ItemList, WM_DROPFILES,
                     (WPARAM)MakeDrop({dir + "Inner\\..", dir + ".", hidden, tooLong, longest, quotedTooLong},
                                      EmptySpot()),
                     0);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.Text(), "2 files were not added: their names are too long to be kept whole.");
    }
    std::string lowerLongest = longest;
    CharLowerA(&lowerLongest[0]);
    auto check = [&] {
        Folder* folder = FolderAt(0);
        ASSERT_EQ(ShortcutCount(folder), 4);
        Shortcut* s = folder->First;
        for (int dots = 0; dots < 2; dots++, s = s->Next) {
            EXPECT_STREQ(s->Title.Get(), "Dotted");
            std::string command = s->CommandLine.Get();
            EXPECT_EQ(command.substr(command.size() - 9), "c:\\dotted") << command;
        }
        EXPECT_STREQ(s->Title.Get(), ".profile");
        s = s->Next;
        EXPECT_EQ(s->CommandLine.Get(), lowerLongest);
        EXPECT_EQ(s->Title.Get()[0], 'M');
    };
    check();
    Restart();
    check();
    Restart();
    check();
}

// A folder takes at most MaxShortcutsPerFolder shortcuts: the files and
// shortcuts beyond are refused with a word to the user, nothing is dropped
// silently at the next start.
TEST_F(ItemListTest, AFullFolderRefusesWithAMessageAndLosesNothing)
{
    int other = AddFolder("Other");
    Folder* full = ShellState.CurrentFolder;
    for (int i = 0; i < MaxShortcutsPerFolder - 2; i++)
        NewShortcut(("S" + std::to_string(i)).c_str());
    Shortcut* mover = NewShortcut("Mover", "notepad.exe", FolderAt(other));
    std::vector<std::string> files;
    for (int i = 0; i < 7; i++)
        files.push_back(WriteFile(TempPath("fit" + std::to_string(i) + ".txt")));
    {
        DialogWatch box("Add Shortcuts", [](HWND b) { PressButton(b, IDOK); });
        SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop(files, EmptySpot()), 0);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.Text(), "Only 500 shortcuts fit in a folder; 5 files were not added.");
    }
    EXPECT_EQ(ShortcutCount(full), MaxShortcutsPerFolder);
    EXPECT_STREQ(full->Last->Title.Get(), "Fit1");

    SelectFolder(other);
    ASSERT_TRUE(WaitForRow((LPARAM)mover));
    SelectItemRows({ItemRowOf((LPARAM)mover)});
    {
        DialogWatch box("Add Shortcuts", [](HWND b) { PressButton(b, IDOK); });
        session.Command(IDM_MOVETO_FIRST + 0);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.Text(), "Only 500 shortcuts fit in a folder; 1 shortcut was not moved.");
    }
    auto check = [&] {
        ASSERT_EQ(ShortcutCount(FolderAt(0)), MaxShortcutsPerFolder);
        EXPECT_STREQ(FolderAt(0)->Last->Title.Get(), "Fit1");
        ASSERT_EQ(ShortcutCount(FolderAt(other)), 1);
        EXPECT_STREQ(FolderAt(other)->First->Title.Get(), "Mover");
    };
    check();
    Restart();
    check();
    Restart();
    check();
}

TEST_F(ItemListTest, FilesDroppedOnAShortcutStartItWithTheFirstFile)
{
    std::string fixture = Fixture::Quote(Fixture::ExeDirectory() + "\\fixture.exe");
    Shortcut* opener = NewShortcut("Opener", fixture + " --window");
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"A Task\""));
    HWND task = app.Window("A Task");
    ASSERT_TRUE(WaitForRow((LPARAM)opener) && WaitForRow((LPARAM)task));

    // Onto a task row: ignored.
    POINT onTask = RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)task));
    ScreenToClient(ShellState.ItemList, &onTask);
    SendMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\x.txt"}, onTask), 0);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    EXPECT_EQ(opener->ProcessId, 0u);

    POINT onShortcut = RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)opener));
    ScreenToClient(ShellState.ItemList, &onShortcut);
    SendMessageA(ShellState.ItemList, WM_DROPFILES,
                 (WPARAM)MakeDrop({"FirstFile", "SecondFile"}, onShortcut), 0);
    ASSERT_NE(opener->ProcessId, 0u);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    // The started program's window is named after the first file only.
    DWORD id = opener->ProcessId;
    HWND started = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        started = FindWindowA(nullptr, "FirstFile");
        DWORD owner = 0;
        if (started)
            GetWindowThreadProcessId(started, &owner);
        return owner == id;
    }, 10000));
    EXPECT_EQ(FindWindowA(nullptr, "SecondFile"), nullptr);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    if (process) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

TEST_F(ItemListTest, FilesDroppedOnAFolderRowBecomeThatFoldersShortcuts)
{
    int second = AddFolder("Second");
    Folder* folder = FolderAt(second);
    std::string a = WriteFile(TempPath("pane one.txt"));
    std::string b = WriteFile(TempPath("pane two.txt"));
    RECT row = {};
    row.left = LVIR_BOUNDS;
    SendMessageA(ShellState.FolderPane, LVM_GETITEMRECT, second, (LPARAM)&row);
    POINT onRow = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    LONG generation = ShellState.RefreshGeneration;
    SendMessageA(ShellState.FolderPane, WM_DROPFILES, (WPARAM)MakeDrop({a, b}, onRow), 0);
    ASSERT_EQ(ShortcutCount(folder), 2);
    EXPECT_EQ(folder->First->Position.x, 0);
    EXPECT_EQ(folder->First->Position.y, 0);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 0);
    EXPECT_EQ(ShellState.RefreshGeneration, generation);  // not the current folder: no rebuild

    // Onto the empty part of the pane: nothing.
    RECT client;
    GetClientRect(ShellState.FolderPane, &client);
    POINT empty = {client.right - 3, client.bottom - 20};
    SendMessageA(ShellState.FolderPane, WM_DROPFILES, (WPARAM)MakeDrop({a}, empty), 0);
    EXPECT_EQ(ShortcutCount(folder), 2);
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 0);
}

TEST_F(ItemListTest, DraggingAShortcutWithinTheListStoresItsPlace)
{
    Shortcut* shortcut = NewShortcut("Wanderer");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    int row = ItemRowOf((LPARAM)shortcut);
    SelectItemRows({row});
    MouseDrag(RowCentre(ShellState.ItemList, row), ToScreen(ShellState.ItemList, EmptySpot()));
    POINT now = ItemPosition(ItemRowOf((LPARAM)shortcut));
    EXPECT_EQ(shortcut->Position.x, now.x);
    EXPECT_EQ(shortcut->Position.y, now.y);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
}

TEST_F(ItemListTest, ControlDraggingTwoShortcutsMakesTwoCopiesAtTheReleasePoint)
{
    Shortcut* a = NewShortcut("Alpha", "alpha.exe");
    Shortcut* b = NewShortcut("Beta", "beta.exe");
    a->Priority = PriorityHigh;
    ASSERT_TRUE(WaitForRow((LPARAM)a) && WaitForRow((LPARAM)b));
    SelectItemRows({ItemRowOf((LPARAM)a), ItemRowOf((LPARAM)b)});
    POINT release = EmptySpot();
    MouseDrag(RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)a)),
              ToScreen(ShellState.ItemList, release), true);
    Folder* folder = ShellState.CurrentFolder;
    ASSERT_EQ(ShortcutCount(folder), 4);
    Shortcut* copyA = b->Next;
    Shortcut* copyB = copyA->Next;
    EXPECT_STREQ(copyA->Title.Get(), "Copy of Alpha");
    EXPECT_STREQ(copyB->Title.Get(), "Copy of Beta");
    EXPECT_STREQ(copyA->CommandLine.Get(), "alpha.exe");
    EXPECT_EQ(copyA->Priority, (DWORD)PriorityHigh);
    EXPECT_NEAR(copyA->Position.x, release.x, 3);
    EXPECT_NEAR(copyA->Position.y, release.y, 3);
    EXPECT_EQ(copyB->Position.x, copyA->Position.x);
    EXPECT_TRUE(WaitForRow((LPARAM)copyB));
}

TEST_F(ItemListTest, DraggingOntoAnotherFolderMovesThereAndStaysPut)
{
    int second = AddFolder("Elsewhere");
    Shortcut* shortcut = NewShortcut("Traveller");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    SelectItemRows({ItemRowOf((LPARAM)shortcut)});
    RECT row = {};
    row.left = LVIR_ICON;
    SendMessageA(ShellState.FolderPane, LVM_GETITEMRECT, second, (LPARAM)&row);
    POINT target = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    MouseDrag(RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)shortcut)),
              ToScreen(ShellState.FolderPane, target));
    EXPECT_EQ(ShortcutCount(FolderAt(0)), 0);
    ASSERT_EQ(ShortcutCount(FolderAt(second)), 1);
    EXPECT_STREQ(FolderAt(second)->First->Title.Get(), "Traveller");
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(0));
    // No folder row keeps the drop highlight.
    EXPECT_EQ(SendMessageA(ShellState.FolderPane, LVM_GETITEMSTATE, second, LVIS_DROPHILITED), 0);
}

TEST_F(ItemListTest, DraggingAShortcutOntoAnApplicationDropsItsProgramFile)
{
    Shortcut* shortcut = NewShortcut("Dropper", "\"C:\\Program Files\\Ed\\ed.exe\" -n letter.txt");
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Drop Here\" --accept-files --rect 40 40 260 200"));
    HWND window = app.Window("Drop Here");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    SelectItemRows({ItemRowOf((LPARAM)shortcut)});
    RECT client;
    GetClientRect(window, &client);
    POINT target = {client.right / 2, client.bottom / 2};
    ClientToScreen(window, &target);
    // The drop target must not be covered by the main window.
    RECT frame;
    GetWindowRect(ShellState.MainWindow, &frame);
    ASSERT_FALSE(PtInRect(&frame, target));
    MouseDrag(RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)shortcut)), target);
    ASSERT_TRUE(app.WaitForLog("DROPHDR", 5000));
    std::string line = app.LogLines("DROPHDR").front();
    // This Wine hands the block's handle over as it is; the block is ours,
    // and says what the receiver was given.
    size_t at = line.find("handle=");
    ASSERT_NE(at, std::string::npos) << line;
    HGLOBAL block = (HGLOBAL)(ULONG_PTR)strtoull(line.c_str() + at + 7, nullptr, 16);
    const BYTE* data = (const BYTE*)GlobalLock(block);
    if (!data) {
        // A system that copies the block across: the receiver read it.
        EXPECT_TRUE(app.WaitForLog("DROP ", 3000));
        std::string drop = app.LogLines("DROP ").front();
        EXPECT_NE(drop.find("\"C:\\PROGRAM FILES\\ED\\ED.EXE\""), std::string::npos) << drop;
        return;
    }
    EXPECT_GE(GlobalSize(block), 277u);
    EXPECT_EQ(*(const DWORD*)data, 20u);
    POINT point = *(const POINT*)(data + 4);
    EXPECT_NEAR(point.x, client.right / 2, 2);
    EXPECT_NEAR(point.y, client.bottom / 2, 2);
    EXPECT_EQ(*(const DWORD*)(data + 12), 0u);  // in the client area
    EXPECT_EQ(*(const DWORD*)(data + 16), 0u);  // ANSI names
    EXPECT_STREQ((const char*)data + 20, "\"C:\\PROGRAM FILES\\ED\\ED.EXE\"");
    EXPECT_EQ(data[20 + strlen((const char*)data + 20) + 1], 0);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST_F(ItemListTest, NoDragStartsInTheReportViewOrWithinTheMargin)
{
    Shortcut* shortcut = NewShortcut("Stayer");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    POINT before = ItemPosition(ItemRowOf((LPARAM)shortcut));
    SelectItemRows({ItemRowOf((LPARAM)shortcut)});
    POINT from = RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)shortcut));
    // A wobble inside the 2-pixel margin.
    MouseDrag(from, POINT{from.x + 1, from.y + 1}, true);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
    POINT after = ItemPosition(ItemRowOf((LPARAM)shortcut));
    EXPECT_EQ(after.x, before.x);

    session.Command(IDM_DETAILS);
    SelectItemRows({ItemRowOf((LPARAM)shortcut)});
    from = RowCentre(ShellState.ItemList, ItemRowOf((LPARAM)shortcut));
    MouseDrag(from, ToScreen(ShellState.ItemList, EmptySpot()), true);
    EXPECT_EQ(ShortcutCount(ShellState.CurrentFolder), 1);
}

TEST_F(ItemListTest, RenamingAShortcutRowRetitlesTheShortcut)
{
    Shortcut* shortcut = NewShortcut("Old Title");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    SelectItemRows({ItemRowOf((LPARAM)shortcut)});
    session.Command(IDM_RENAME);
    HWND edit = (HWND)SendMessageA(ShellState.ItemList, LVM_GETEDITCONTROL, 0, 0);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "New Title");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpFor(100);
    EXPECT_STREQ(shortcut->Title.Get(), "New Title");
    EXPECT_EQ(ItemCell(ItemRowOf((LPARAM)shortcut), 0), "New Title");
}

class FolderDeleteTest : public ItemListTest {};

TEST_F(FolderDeleteTest, TheFirstFolderIsNeverDeleted)
{
    AddFolder("Other");
    SelectFolder(0);
    DialogWatch box("Delete Folder", [](HWND b) { PressButton(b, IDOK); });
    session.Command(IDM_FOLDER_DELETE);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.Text(), "Can't delete all of the folders.");
    EXPECT_EQ(FolderCount(), 2);
}

TEST_F(FolderDeleteTest, AnswerNoKeepsTheFolder)
{
    int other = AddFolder("Keeper");
    SelectFolder(other);
    DialogWatch box("Delete Folder", [](HWND b) { PressButton(b, IDNO); });
    session.Command(IDM_FOLDER_DELETE);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.Text(), "Confirm Delete of Folder \"Keeper\".");
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(other));
}

TEST_F(FolderDeleteTest, DeletingTheCurrentFolderLeavesNoWindowHidden)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"In Main\" --window \"In Work\" --window \"Also Work\" --state max"));
    HWND inMain = app.Window("In Main"), inWork = app.Window("In Work"), alsoWork = app.Window("Also Work");
    int work = AddFolder("Work");
    AddFolder("Games");
    // Two windows belong to Work; entering it puts Main's window away.
    ASSERT_TRUE(TransferToFolder(inWork, work, true));
    ASSERT_TRUE(TransferToFolder(alsoWork, work, true));
    SelectFolder(work);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(inMain) && IsWindowVisible(inWork) && IsWindowVisible(alsoWork); }, 5000));
    // One of them hidden by the user while Work is current.
    ShowWindow(alsoWork, SW_HIDE);
    ShellState.CurrentFolder->Contained->Append(alsoWork)->ShowOnEnter = 0;

    Folder* doomed = ShellState.CurrentFolder;
    DialogWatch box("Delete Folder", [](HWND b) { PressButton(b, IDYES); });
    session.Command(IDM_FOLDER_DELETE);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(FolderIndexOf(doomed), -1);
    EXPECT_EQ(ShellState.CurrentFolder, FolderAt(0));
    EXPECT_EQ(ShellState.CurrentFolderIndex, 0);
    EXPECT_TRUE(RowSelected(ShellState.FolderPane, 0));
    EXPECT_TRUE(WaitFor([&] {
        return IsWindowVisible(inMain) && IsWindowVisible(inWork) && IsWindowVisible(alsoWork);
    }, 5000));
    EXPECT_TRUE(IsZoomed(alsoWork));
    char title[MaxText];
    GetWindowTextA(ShellState.MainWindow, title, MaxText);
    EXPECT_STREQ(title, "Corvanix - Main");

    // And Exit finds nothing left hidden either.
    session.Exit();
    PumpFor(300);
    for (HWND window : {inMain, inWork, alsoWork})
        EXPECT_TRUE(IsWindowVisible(window));
}

} // namespace
