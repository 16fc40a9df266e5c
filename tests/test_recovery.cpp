// Corvanix.exe as its own process, ended the ways a user cannot help: killed,
// faulting, and sent made-up private messages by another process. No
// window that a folder put away may stay hidden for good.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/resource.h"
#include "common/messages.h"
#include "common/product.h"
#include "common/texts.h"
#include "model/shellstate.h"
#include "store/putaway.h"
#include "app_session.h"
#include "corvanix_process.h"
#include "fixture_client.h"
#include "registry_values.h"
#include "session_probe.h"
#include "wait.h"

namespace {

// The windows the record lists under a folder position, read as its
// layout is documented.
std::vector<HWND> RecordedIn(int index)
{
    std::vector<HWND> windows;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PutAwayKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return windows;
    std::vector<BYTE> data(1 << 20);
    DWORD size = (DWORD)data.size();
    if (RegQueryValueExA(key, std::to_string(index).c_str(), nullptr, nullptr, data.data(), &size) ==
        ERROR_SUCCESS) {
        size_t at = strnlen((const char*)data.data(), size) + 1;
        while (at + 10 <= size) {
            DWORD handle;
            memcpy(&handle, &data[at], 4);
            windows.push_back((HWND)(LONG_PTR)(LONG)handle);
            at += 10 + data[at + 9];
        }
    }
    RegCloseKey(key);
    return windows;
}

bool RecordExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PutAwayKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Holds(const std::vector<HWND>& record, const std::vector<HWND>& windows)
{
    for (HWND window : windows)
        if (std::find(record.begin(), record.end(), window) == record.end())
            return false;
    return true;
}

std::string Title(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CleanRegistry();
        EXPECT_TRUE(PutFolder(0, "Main"));
        EXPECT_TRUE(PutFolder(1, "Second"));
    }
    void TearDown() override
    {
        corvanix.Exit();
        apps.Exit();
        CleanRegistry();
    }

    bool StartCorvanix()
    {
        if (!corvanix.Start())
            return false;
        main = corvanix.WaitForMainWindow();
        // Visible once start-up, recovery included, is over.
        return main && WaitFor([&] { return IsWindowVisible(main) != 0; }, 10000);
    }

    // Selects a folder the way its hot key does.
    bool Enter(int index, const char* title)
    {
        PostMessageA(main, WM_HOTKEY, index, 0);
        std::string caption = std::string("Corvanix - ") + title;
        return WaitFor([&] { return Title(main) == caption; }, 5000);
    }

    // Windows opened while "Second" is current, then put away with it.
    void PutAwayInSecond()
    {
        ASSERT_TRUE(StartCorvanix());
        ASSERT_TRUE(Enter(1, "Second"));
        ASSERT_TRUE(apps.Start("--window \"Away 1\" --window \"Away 2\" --state max "
                               "--window \"Away 3\" --state min --window \"Away 4\" --window \"Away 5\""));
        windows = apps.Windows();
        ASSERT_EQ(windows.size(), 5u);
        ASSERT_TRUE(Enter(0, "Main"));
        ASSERT_TRUE(WaitFor([&] { return AllVisible(windows, false); }, 5000));
        ASSERT_TRUE(Holds(RecordedIn(1), windows));
    }

    CorvanixProcess corvanix;
    HWND main = nullptr;
    Fixture apps;
    std::vector<HWND> windows;
};

TEST_F(RecoveryTest, AfterAKillTheNextStartFilesTheWindowsBackAndExitShowsThem)
{
    PutAwayInSecond();
    corvanix.Kill();
    ASSERT_TRUE(AllVisible(windows, false));

    ASSERT_TRUE(StartCorvanix());
    // Listed in "Second" again, and still away while "Main" is current.
    EXPECT_TRUE(Holds(RecordedIn(1), windows));
    PumpFor(500);
    EXPECT_TRUE(AllVisible(windows, false));
    // Entering "Second" brings them back as they were left.
    ASSERT_TRUE(Enter(1, "Second"));
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 5000));
    EXPECT_TRUE(IsZoomed(apps.Window("Away 2")));
    EXPECT_TRUE(IsIconic(apps.Window("Away 3")));
    EXPECT_TRUE(RecordedIn(1).empty());

    // Away again, then Exit: none is left hidden, nor any record.
    ASSERT_TRUE(Enter(0, "Main"));
    ASSERT_TRUE(WaitFor([&] { return AllVisible(windows, false); }, 5000));
    EXPECT_TRUE(corvanix.Exit());
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 5000));
    EXPECT_FALSE(RecordExists());
}

TEST_F(RecoveryTest, AFaultOnAnyThreadShowsEveryWindowBeforeTheEnd)
{
    PutAwayInSecond();
    // A thread that faults at once, as a broken program or library would.
    HANDLE thread = CreateRemoteThread(corvanix.Process(), nullptr, 0,
                                       (LPTHREAD_START_ROUTINE)(ULONG_PTR)0x10, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    CloseHandle(thread);
    ASSERT_TRUE(corvanix.WaitForExit(10000));
    EXPECT_EQ(corvanix.ExitCode(), (DWORD)EXCEPTION_ACCESS_VIOLATION);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 5000));
    EXPECT_FALSE(RecordExists());
}

TEST_F(RecoveryTest, MadeUpPrivateMessagesFromAnotherProcessChangeNothing)
{
    PutAwayInSecond();
    std::vector<HWND> lists;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64];
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "SysListView32") == 0)
            lists.push_back(child);
    }
    ASSERT_EQ(lists.size(), 2u);

    const LPARAM nowhere = 0x12345678;
    struct Forged {
        UINT Message;
        WPARAM WParam;
        LPARAM LParam;
    } forged[] = {
        {WM_APPLYREFRESH, 0, nowhere}, {WM_APPLYREFRESH, 0, 0},
        {WM_SHOWMAINWINDOW, 1, nowhere}, {WM_QUITNOW, 1, nowhere},
        {WM_TRAYICON, 7, WM_LBUTTONDOWN}, {WM_TRAYICON, 1, nowhere},
        {WM_NOTIFY, 0, nowhere},
    };
    for (const Forged& message : forged) {
        PostMessageA(main, message.Message, message.WParam, message.LParam);
        DWORD_PTR answer;
        SendMessageTimeoutA(main, message.Message, message.WParam, message.LParam, SMTO_ABORTIFHUNG,
                            2000, &answer);
    }
    for (HWND list : lists) {
        PostMessageA(list, WM_DROPHOVER, 0, 0);
        PostMessageA(list, WM_DROPHOVER, 1, nowhere);
        DWORD_PTR answer;
        SendMessageTimeoutA(list, WM_DROPHOVER, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    }

    // Messages too large to be carried over to it, drops of no block of
    // its own, and a drop block of another process.
    std::vector<char> huge(16 << 20);
    COPYDATASTRUCT copy = {1, (DWORD)huge.size(), huge.data()};
    std::string text(1 << 20, 't');
    for (HWND window : {main, lists[0], lists[1]}) {
        DWORD_PTR answer;
        SendMessageTimeoutA(window, WM_COPYDATA, 0, (LPARAM)&copy, SMTO_ABORTIFHUNG, 1000, &answer);
        if (window != main)
            SendMessageTimeoutA(window, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 1000,
                                &answer);
    }
    for (HWND list : lists) {
        for (ULONG_PTR handle : {(ULONG_PTR)0, (ULONG_PTR)1, (ULONG_PTR)0x12345678, (ULONG_PTR)0x7FFF0000})
            PostMessageA(list, WM_DROPFILES, (WPARAM)handle, 0);
        EXPECT_TRUE(apps.SelfDrop(list, {"C:\\foreign.txt"}, 5, 5));
    }

    // Still running and answering, in "Main", its windows still away.
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(corvanix.ExitCode(), (DWORD)STILL_ACTIVE);
    EXPECT_EQ(Title(main), "Corvanix - Main");
    EXPECT_TRUE(AllVisible(windows, false));
    EXPECT_TRUE(corvanix.Exit());
    EXPECT_EQ(corvanix.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 5000));
}

// A quit message posted to its thread by another process ends it as Exit
// does: saved, and no window left hidden.
TEST_F(RecoveryTest, AQuitMessageFromAnotherProcessEndsItAsExitDoes)
{
    PutAwayInSecond();
    ASSERT_TRUE(PostThreadMessageA(GetWindowThreadProcessId(main, nullptr), WM_QUIT, 7, 0));
    ASSERT_TRUE(corvanix.WaitForExit(10000));
    EXPECT_EQ(corvanix.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 5000));
    EXPECT_FALSE(RecordExists());
    EXPECT_TRUE(ProductValueExists("Version"));
}

// ---------------------------------------------------------------- a save cut short

const int CutFolders = 12;
const int CutShortcuts = 400;

std::string Name(const char* stem, int folder, int shortcut)
{
    return stem + std::to_string(folder) + "." + std::to_string(shortcut);
}

// Folder i is "F<i>" and its shortcut j "S<i>.<j>", stored with gaps in
// the numbers (folder 2i, shortcut 2j): a load closes them, so the save at
// Exit writes every folder anew and deletes what it leaves behind.
void StoreGappedLayout()
{
    CleanRegistry();
    HKEY folders = CreateKey(FoldersKeyName);
    for (int i = 0; i < CutFolders; i++) {
        PutText(folders, std::to_string(2 * i), "F" + std::to_string(i));
        HKEY key = CreateKey(FolderKey(2 * i));
        for (int j = 0; j < CutShortcuts; j++) {
            PutText(key, "T" + std::to_string(2 * j), Name("S", i, j));
            PutText(key, "C" + std::to_string(2 * j), Name("c", i, j));
        }
        RegCloseKey(key);
    }
    RegCloseKey(folders);
}

DWORD ValueCount(HKEY key)
{
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    return values;
}

// Whether the registry holds the whole layout at the folder and shortcut
// numbers of `number` (each shortcut with `values` values), and nothing
// else.
bool WholeLayout(int (*number)(int), DWORD values)
{
    HKEY folders;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FoldersKeyName, 0, KEY_READ, &folders) != ERROR_SUCCESS)
        return false;
    bool whole = ValueCount(folders) == CutFolders;
    for (int i = 0; whole && i < CutFolders; i++) {
        HKEY key;
        whole = GetText(folders, std::to_string(number(i))) == "F" + std::to_string(i) &&
                RegOpenKeyExA(folders, std::to_string(number(i)).c_str(), 0, KEY_READ, &key) ==
                    ERROR_SUCCESS;
        if (!whole)
            break;
        whole = ValueCount(key) == CutShortcuts * values + (values > 2 ? 2 : 0);
        for (int j = 0; whole && j < CutShortcuts; j++)
            whole = GetText(key, "T" + std::to_string(number(j))) == Name("S", i, j) &&
                    GetText(key, "C" + std::to_string(number(j))) == Name("c", i, j);
        RegCloseKey(key);
    }
    RegCloseKey(folders);
    return whole;
}

bool OldLayout()
{
    return WholeLayout([](int n) { return 2 * n; }, 2);
}

bool NewLayout()
{
    return WholeLayout([](int n) { return n; }, 11);
}

bool JournalThere(bool complete)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, JournalKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool there = !complete || RegQueryValueExA(key, "Complete", nullptr, nullptr, nullptr, nullptr) ==
                                  ERROR_SUCCESS;
    RegCloseKey(key);
    return there;
}

bool FoldersValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FoldersKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool there = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return there;
}

bool StartedUp(CorvanixProcess* process)
{
    if (!process->Start())
        return false;
    HWND window = process->WaitForMainWindow(20000);
    return window && WaitFor([&] { return IsWindowVisible(window) != 0; }, 20000);
}

// Kills the process once the condition holds (checked every millisecond).
void KillWhen(CorvanixProcess* process, const std::function<bool()>& condition)
{
    DWORD began = GetTickCount();
    while (!condition() && GetTickCount() - began < 60000 && !process->WaitForExit(0))
        Sleep(1);
    process->Kill();
}

// Corvanix.exe is killed at several moments of a save of thousands of
// shortcuts, and once while a start finishes the save: the next start
// finds every folder and shortcut, all in the old layout or all in the new.
TEST(SaveCutShort, TheNextStartFindsTheWholeOldOrTheWholeNewLayout)
{
    // Times after the Exit command, and the moments the save's journal is
    // begun and is complete.
    const DWORD Begun = INFINITE - 1, Complete = INFINITE;
    const DWORD moments[] = {Begun, Complete, 100, 600, 1500};
    for (DWORD moment : moments) {
        SCOPED_TRACE(moment);
        StoreGappedLayout();
        CorvanixProcess saving;
        ASSERT_TRUE(StartedUp(&saving));
        PostMessageA(saving.WaitForMainWindow(), WM_COMMAND, IDM_EXIT, 0);
        DWORD posted = GetTickCount();
        KillWhen(&saving, [&] {
            if (moment >= Begun)
                return JournalThere(moment == Complete);
            return GetTickCount() - posted >= moment;
        });
        bool complete = JournalThere(true), begun = JournalThere(false);
        if (moment == Complete && complete) {
            // Its parts lie in subkeys: the journal key holds one value.
            HKEY journal = CreateKey(JournalKeyName);
            EXPECT_EQ(ValueCount(journal), 1u);
            RegCloseKey(journal);
            // A start that is killed while it finishes the save: once it
            // has written a title the save had not.
            const char* marker = !FoldersValue("5") ? "5" : !FoldersValue("9") ? "9" : "11";
            CorvanixProcess finishing;
            ASSERT_TRUE(finishing.Start());
            KillWhen(&finishing, [&] { return FoldersValue(marker); });
            EXPECT_TRUE(JournalThere(true));
        }
        CorvanixProcess next;
        ASSERT_TRUE(StartedUp(&next));
        EXPECT_FALSE(JournalThere(false));
        if (complete)
            EXPECT_TRUE(NewLayout());
        else if (begun)
            EXPECT_TRUE(OldLayout());
        else
            EXPECT_TRUE(OldLayout() || NewLayout());
        next.Kill();
    }

    // Two starts while the program ends and saves wait for it to be gone:
    // one is then the program, and the other hands over to it.
    StoreGappedLayout();
    CorvanixProcess ending, after[2];
    ASSERT_TRUE(StartedUp(&ending));
    PostMessageA(ending.WaitForMainWindow(), WM_COMMAND, IDM_EXIT, 0);
    ASSERT_TRUE(WaitFor([&] { return JournalThere(false); }, 20000));
    ASSERT_TRUE(after[0].Start() && after[1].Start());
    EXPECT_TRUE(ending.WaitForExit(60000));
    auto alive = [&](int i) { return after[i].ExitCode() == STILL_ACTIVE; };
    EXPECT_TRUE(WaitFor([&] { return alive(0) != alive(1); }, 30000));
    CorvanixProcess& program = after[alive(0) ? 0 : 1];
    EXPECT_NE(program.WaitForMainWindow(30000), nullptr);
    EXPECT_TRUE(NewLayout());
    EXPECT_TRUE(program.Exit());
    CleanRegistry();
}

} // namespace
