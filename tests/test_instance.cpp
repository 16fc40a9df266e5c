// Corvanix.exe as its own process: the single-instance rule with the number
// a second start forwards, and the older systems that Wine pretends to be.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app_session.h"
#include "corvanix_process.h"
#include "wait.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override { CleanRegistry(); }
    void TearDown() override
    {
        first.Exit();
        SetWineVersionFor("Corvanix.exe", "");
        CleanRegistry();
    }

    // Starts a second instance and checks that it only hands over.
    void SecondStart(const std::string& tail)
    {
        CorvanixProcess second;
        ASSERT_TRUE(second.Start(tail));
        ASSERT_TRUE(second.WaitForExit(10000)) << "a second start must end at once";
        EXPECT_EQ(second.ExitCode(), 0u);
        // Still exactly one main window, the first's.
        EXPECT_EQ(FindCorvanixWindow(), main);
    }

    bool Foreground() { return GetForegroundWindow() == main; }

    CorvanixProcess first;
    HWND main = nullptr;
};

TEST_F(InstanceTest, ASecondStartWithoutANumberBringsTheFirstForward)
{
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    // Put it away behind another window, minimised.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(main) != 0; }, 3000));
    SecondStart("");
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(main) && Foreground(); }, 5000));

    for (const char* tail : {"0", "abc", "  -0"}) {
        ShowWindow(main, SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(main) != 0; }, 3000));
        SecondStart(tail);
        EXPECT_TRUE(WaitFor([&] { return !IsIconic(main); }, 5000)) << tail;
    }
}

TEST_F(InstanceTest, ASecondStartWithTheGlobalHotKeyNumberToggles)
{
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);
    ASSERT_TRUE(WaitFor([&] { return Foreground(); }, 3000));

    // Active: the hot key puts it away.
    SecondStart("49136");
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 5000));
    // Hidden: it comes back, in front.
    SecondStart(" 49136");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && Foreground(); }, 5000));
}

TEST_F(InstanceTest, TheHandOverEndsWithZeroAndCreatesNothing)
{
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    CorvanixProcess second;
    ASSERT_TRUE(second.Start("7"));  // a folder index that does not exist
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(first.Exit());
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(FindCorvanixWindow(), nullptr);
}

int MainWindows()
{
    int count = 0;
    EnumWindows([](HWND window, LPARAM counted) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, "Corvanix") == 0)
            ++*(int*)counted;
        return TRUE;
    }, (LPARAM)&count);
    return count;
}

// However close together the starts come, one of them is the program and
// every other one hands over to it and ends.
TEST_F(InstanceTest, TenStartsAtOnceMakeOneProgram)
{
    for (int burst = 0; burst < 2; burst++) {
        SCOPED_TRACE(burst);
        std::vector<std::unique_ptr<CorvanixProcess>> starts;
        for (int i = 0; i < 10; i++) {
            starts.emplace_back(new CorvanixProcess);
            ASSERT_TRUE(starts.back()->Start());
        }
        auto ended = [&] {
            int count = 0;
            for (auto& start : starts)
                count += start->ExitCode() != STILL_ACTIVE;
            return count;
        };
        EXPECT_TRUE(WaitFor([&] { return ended() == 9; }, 60000)) << ended();
        PumpFor(1000);
        EXPECT_EQ(ended(), 9);
        EXPECT_EQ(MainWindows(), 1);
        for (auto& start : starts) {
            if (start->ExitCode() != STILL_ACTIVE)
                EXPECT_EQ(start->ExitCode(), 0u);
            else
                EXPECT_TRUE(start->Exit());
        }
    }
}

// A start that fails lets go of the instance: the next one is the program.
TEST_F(InstanceTest, AStartThatFailsLetsGoOfTheInstance)
{
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "Corvanix";
    ASSERT_TRUE(RegisterClassA(&taken));
    AppSession session;
    EXPECT_FALSE(session.Start());
    UnregisterClassA("Corvanix", GetModuleHandleA(nullptr));
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    EXPECT_NE(main, nullptr);
}

// Reads the number of columns of the item list in another process.
int ItemColumns(HWND main)
{
    HWND items = nullptr;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64];
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "SysListView32") == 0 && IsWindowVisible(child))
            items = child;
    }
    if (!items)
        return -1;
    HWND header = (HWND)SendMessageA(items, LVM_GETHEADER, 0, 0);
    return header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : -1;
}


std::string TextOfStatic(HWND box)
{
    // The message text is the box's one static control with text.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64], buffer[256];
        GetClassNameA(child, name, sizeof name);
        GetWindowTextA(child, buffer, sizeof buffer);
        if (lstrcmpiA(name, "Static") == 0 && buffer[0])
            text = buffer;
    }
    return text;
}

TEST_F(InstanceTest, OnWindowsNT351TheThreeDLibraryIsAskedAndNoTrayIconIsAdded)
{
    SetWineVersionFor("Corvanix.exe", "nt351");
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // Wine's 3-D library answers that it is not enabled: the program says
    // so and goes on once the box is closed.
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowA(nullptr, "CTL3D32.DLL")) != nullptr; }, 5000));
    // The box may be found before its text is in place.
    EXPECT_TRUE(WaitFor([&] { return TextOfStatic(box) == "Can't Enable 3D Controls"; }, 3000))
        << TextOfStatic(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return ItemColumns(main) == 6; }, 5000));  // Windows NT
    PumpFor(300);
    EXPECT_FALSE(TrayIconShown(main));
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(InstanceTest, OnWindows95OnlyTheThreeFirstColumnsExist)
{
    SetWineVersionFor("Corvanix.exe", "win95");
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ItemColumns(main) == 3; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(main); }, 3000));
}

TEST_F(InstanceTest, OnWindowsNT4TheTrayIconIsThere)
{
    SetWineVersionFor("Corvanix.exe", "nt40");
    ASSERT_TRUE(first.Start());
    main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(main); }, 3000));
    EXPECT_EQ(ItemColumns(main), 6);
}

} // namespace
