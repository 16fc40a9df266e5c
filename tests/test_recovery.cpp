// Corvanix.exe as its own process, ended the ways a user cannot help: killed,
// faulting, and sent made-up private messages by another process. No
// window that a folder put away may stay hidden for good.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/shellstate.h"
#include "store/putaway.h"
#include "app_session.h"
#include "corvanix_process.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "wait.h"

namespace {

void PutFolder(int index, const char* title)
{
    HKEY folders, folder;
    std::string name = std::to_string(index);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zarn\\Corvanix\\Folders", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &folders, nullptr), ERROR_SUCCESS);
    RegSetValueExA(folders, name.c_str(), 0, REG_SZ, (const BYTE*)title, (DWORD)strlen(title) + 1);
    ASSERT_EQ(RegCreateKeyExA(folders, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &folder,
                              nullptr), ERROR_SUCCESS);
    RegCloseKey(folder);
    RegCloseKey(folders);
}

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
        PutFolder(0, "Main");
        PutFolder(1, "Second");
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

} // namespace
