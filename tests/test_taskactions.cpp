// The commands on the selected rows, on real windows of real processes:
// open, hide, show, minimise, maximise, close (with the question for an
// application that will not close), properties, and the double-click.
#include <gtest/gtest.h>

#include <stdio.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <string>
#include <vector>

#include "app/resource.h"
#include "app/taskactions.h"
#include "dialogs/taskprop.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/listrows.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "user_input.h"
#include "wait.h"

namespace {

// The number of lines of the Task Properties details when every one of
// them shows in its box, -1 when one does not.
int ShownDetailLines(HWND dialog)
{
    HWND box = GetDlgItem(dialog, IDC_TASK_DETAILS);
    RECT shown = {};
    SendMessageA(box, EM_GETRECT, 0, (LPARAM)&shown);
    int lines = (int)SendMessageA(box, EM_GETLINECOUNT, 0, 0);
    LRESULT first = SendMessageA(box, EM_POSFROMCHAR, 0, 0);
    LRESULT last = SendMessageA(box, EM_POSFROMCHAR, SendMessageA(box, WM_GETTEXTLENGTH, 0, 0) - 1, 0);
    int bottom = (short)HIWORD(last) + (HIWORD(last) - HIWORD(first)) / (lines - 1);
    return SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 && bottom <= shown.bottom ? lines : -1;
}

class TaskActionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        Settings.View = 3;
        ASSERT_TRUE(session.Start());
    }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }

    bool WaitForRow(LPARAM value, DWORD timeoutMs = 5000)
    {
        return WaitFor([&] { return ItemRowOf(value) >= 0; }, timeoutMs, 10);
    }
    // Selects exactly the rows of these values.
    void Select(std::initializer_list<LPARAM> values)
    {
        std::vector<int> rows;
        for (LPARAM value : values)
            rows.push_back(ItemRowOf(value));
        SelectItemRows(rows);
    }
    Shortcut* NewShortcut(const char* title, const std::string& command = "")
    {
        Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
        shortcut->Title.Set(title);
        shortcut->CommandLine.Set(command.c_str());
        RequestRefresh();
        return shortcut;
    }
    bool Foreground(HWND window)
    {
        return WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
    }

    AppSession session;
};

TEST_F(TaskActionTest, OpenRestoresAMinimisedWindowAndKeepsAMaximisedOne)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Small --state min --window Big --state max"));
    HWND small = app.Window("Small"), big = app.Window("Big");
    ASSERT_TRUE(WaitForRow((LPARAM)small) && WaitForRow((LPARAM)big));
    ASSERT_TRUE(WaitFor([&] { return IsIconic(small) && IsZoomed(big); }, 3000));

    Select({(LPARAM)small});
    session.Command(IDM_OPEN);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(small); }, 3000));
    EXPECT_TRUE(Foreground(small));

    Select({(LPARAM)big});
    session.Command(IDM_OPEN);
    EXPECT_TRUE(Foreground(big));
    EXPECT_TRUE(IsZoomed(big));

    // The double-click restores a maximised window to its normal size.
    ActivateRow(ItemRowOf((LPARAM)big));
    EXPECT_TRUE(WaitFor([&] { return !IsZoomed(big) && !IsIconic(big); }, 3000));
    EXPECT_TRUE(Foreground(big));
}

TEST_F(TaskActionTest, ARealDoubleClickOnARowSwitchesToIt)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Click Me\" --state min"));
    HWND window = app.Window("Click Me");
    ASSERT_TRUE(WaitForRow((LPARAM)window));
    SetForegroundWindow(ShellState.MainWindow);
    ASSERT_TRUE(Foreground(ShellState.MainWindow));
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageA(ShellState.ItemList, LVM_GETITEMRECT, ItemRowOf((LPARAM)window), (LPARAM)&label);
    POINT point = {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    ClientToScreen(ShellState.ItemList, &point);
    SetCursorPos(point.x, point.y);
    PumpFor(100);
    for (int click = 0; click < 2; click++) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        PumpFor(30);
    }
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(window); }, 3000));
    EXPECT_TRUE(Foreground(window));
}

TEST_F(TaskActionTest, HideKeepsTheRowAndShowBringsTheWindowBack)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window Tucked"));
    HWND window = app.Window("Tucked");
    ASSERT_TRUE(WaitForRow((LPARAM)window));
    Select({(LPARAM)window});
    session.Command(IDM_HIDE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }, 3000));
    ContainedList* contained = ShellState.CurrentFolder->Contained;
    ASSERT_TRUE(contained->Contains(window));
    EXPECT_EQ(contained->Head->ShowOnEnter, 0);
    EXPECT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf((LPARAM)window), 1) == "Hidden"; }, 5000));

    Select({(LPARAM)window});
    session.Command(IDM_SHOW);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != 0; }, 3000));
    EXPECT_FALSE(contained->Contains(window));
    EXPECT_NE(GetForegroundWindow(), window);  // shown without activation
    EXPECT_TRUE(WaitFor([&] { return ItemCell(ItemRowOf((LPARAM)window), 1) == "Normal"; }, 5000));
}

TEST_F(TaskActionTest, MixedSelectionsActOnlyOnTaskRows)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window First --window Second"));
    HWND first = app.Window("First"), second = app.Window("Second");
    Shortcut* shortcut = NewShortcut("Not A Window", "fixture.exe --window Unwanted");
    ASSERT_TRUE(WaitForRow((LPARAM)first) && WaitForRow((LPARAM)second) && WaitForRow((LPARAM)shortcut));
    // Two of them were put away in the folder before: acting takes them out.
    ShellState.CurrentFolder->Contained->Append(first)->ShowOnEnter = 1;

    Select({(LPARAM)first, (LPARAM)shortcut, (LPARAM)second});
    session.Command(IDM_MINIMIZE);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(first) && IsIconic(second); }, 3000));
    EXPECT_EQ(shortcut->ProcessId, 0u);  // nothing launched
    EXPECT_FALSE(ShellState.CurrentFolder->Contained->Contains(first));

    Select({(LPARAM)shortcut, (LPARAM)first});
    session.Command(IDM_MAXIMIZE);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(first) != 0; }, 3000));
    EXPECT_TRUE(IsIconic(second));

    Select({(LPARAM)shortcut, (LPARAM)second});
    session.Command(IDM_HIDE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(second); }, 3000));
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(ShellState.CurrentFolder->Contained->Count(), 1);
    EXPECT_EQ(shortcut->ProcessId, 0u);
}

TEST_F(TaskActionTest, OpeningAShortcutLaunchesItAndItsWindowTakesItsPlace)
{
    std::string fixture = Fixture::Quote(Fixture::ExeDirectory() + "\\fixture.exe");
    Shortcut* shortcut = NewShortcut("Launched", fixture + " --window \"Launched Window\"");
    ASSERT_TRUE(WaitForRow((LPARAM)shortcut));
    int place = ItemRowOf((LPARAM)shortcut);
    Select({(LPARAM)shortcut});
    session.Command(IDM_OPEN);
    ASSERT_NE(shortcut->ProcessId, 0u);
    DWORD processId = shortcut->ProcessId;
    EXPECT_TRUE(WaitFor([&] { return shortcut->Window != nullptr; }, 10000));
    HWND window = shortcut->Window;
    EXPECT_TRUE(WaitFor([&] { return ItemRowOf((LPARAM)shortcut) < 0; }, 5000));
    EXPECT_EQ(ItemRowOf((LPARAM)window), place);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, processId);

    // It closes at once: no question follows.
    Select({(LPARAM)window});
    session.Command(IDM_CLOSE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, 5000));
    EXPECT_TRUE(WaitForRow((LPARAM)shortcut));
    PumpFor(CloseWatchDelay + 800);
    EXPECT_EQ(FindOwnWindow("Launched Window"), nullptr);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (process) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

TEST_F(TaskActionTest, AnApplicationThatWillNotCloseCanBeTerminated)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Unsaved Work\" --refuse-close"));
    HWND window = app.Window("Unsaved Work");
    ASSERT_TRUE(WaitForRow((LPARAM)window));
    std::atomic<DWORD> askedAfter{0};
    DWORD start = GetTickCount();
    DialogWatch question("Unsaved Work", [&](HWND box) {
        askedAfter = GetTickCount() - start;
        PressButton(box, IDOK);
    }, 15000);
    Select({(LPARAM)window});
    session.Command(IDM_CLOSE);
    EXPECT_TRUE(app.WaitForLog("CLOSE", 3000));
    EXPECT_TRUE(WaitFor([&] { return question.Seen(); }, 12000));
    question.Finish();
    EXPECT_GE(askedAfter, 4500u);
    EXPECT_NE(question.Text().find("has not responded to the close window"), std::string::npos)
        << question.Text();
    EXPECT_NE(question.Text().find("terminate the application anyway ?"), std::string::npos);
    EXPECT_TRUE(WaitFor([&] { return !app.Running(); }, 5000));
    EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(TaskActionTest, CancellingTheQuestionLeavesTheApplicationRunning)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Still Busy\" --refuse-close"));
    HWND window = app.Window("Still Busy");
    ASSERT_TRUE(WaitForRow((LPARAM)window));
    DialogWatch question("Still Busy", [](HWND box) { PressButton(box, IDCANCEL); }, 15000);
    Select({(LPARAM)window});
    session.Command(IDM_CLOSE);
    EXPECT_TRUE(WaitFor([&] { return question.Seen(); }, 12000));
    question.Finish();
    PumpFor(500);
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(TaskActionTest, CloseAsksOncePerShortcutAndCancelEndsTheWalk)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Goes First\""));
    HWND window = app.Window("Goes First");
    Shortcut* a = NewShortcut("Alpha");
    Shortcut* b = NewShortcut("Beta");
    Shortcut* c = NewShortcut("Gamma");
    ASSERT_TRUE(WaitForRow((LPARAM)window) && WaitForRow((LPARAM)c));
    // Rows in index order: the window first, then the shortcuts.
    ASSERT_LT(ItemRowOf((LPARAM)window), ItemRowOf((LPARAM)a));

    std::vector<std::string> asked;
    int answer = 0;
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        const int answers[] = {IDYES, IDCANCEL};
        while (!stop && answer < 2) {
            HWND box = FindOwnWindow("Delete Shortcut");
            if (!box) {
                Sleep(20);
                continue;
            }
            Sleep(100);
            char text[256] = "";
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                char name[32];
                GetClassNameA(child, name, sizeof name);
                if (!lstrcmpiA(name, "Static")) {
                    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_BLOCK, 1000, nullptr);
                    if (text[0])
                        break;
                }
            }
            asked.push_back(text);
            PressButton(box, answers[answer++]);
            Sleep(200);
        }
    });
    Select({(LPARAM)window, (LPARAM)a, (LPARAM)b, (LPARAM)c});
    session.Command(IDM_CLOSE);
    stop = true;
    answering.join();

    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, 5000));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Confirm Delete of Shortcut \"Alpha\".");
    EXPECT_EQ(asked[1], "Confirm Delete of Shortcut \"Beta\".");
    EXPECT_FALSE(HasShortcut(ShellState.CurrentFolder, (LPARAM)a));
    EXPECT_TRUE(HasShortcut(ShellState.CurrentFolder, (LPARAM)b));
    EXPECT_TRUE(HasShortcut(ShellState.CurrentFolder, (LPARAM)c));
    EXPECT_TRUE(WaitFor([&] { return ItemRowOf((LPARAM)a) < 0; }, 5000));
}

TEST_F(TaskActionTest, PropertiesOpensOneDialogPerTaskAndCancelSkipsTheRest)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window One --window Two --window Three"));
    HWND one = app.Window("One"), two = app.Window("Two"), three = app.Window("Three");
    ASSERT_TRUE(WaitForRow((LPARAM)one) && WaitForRow((LPARAM)two) && WaitForRow((LPARAM)three));

    std::vector<std::string> titles;
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        while (!stop) {
            HWND dialog = FindOwnWindow("Task Properties");
            if (!dialog) {
                Sleep(20);
                continue;
            }
            Sleep(150);
            titles.push_back(ControlText(dialog, IDC_TASK_TITLE));
            // OK for the first, Cancel for the second.
            PressButton(dialog, titles.size() == 1 ? IDOK : IDCANCEL);
            while (IsWindow(dialog))
                Sleep(20);
        }
    });
    Select({(LPARAM)one, (LPARAM)two, (LPARAM)three});
    session.Command(IDM_PROPERTIES);
    stop = true;
    answering.join();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_FALSE(ShellState.Busy);
    // Row order decides which came first.
    std::vector<std::pair<int, std::string>> rows = {{ItemRowOf((LPARAM)one), "One"},
                                                     {ItemRowOf((LPARAM)two), "Two"},
                                                     {ItemRowOf((LPARAM)three), "Three"}};
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(titles[0], rows[0].second);
    EXPECT_EQ(titles[1], rows[1].second);
}

TEST_F(TaskActionTest, TaskPropertiesShowsTheDetailsAndSetsThePriority)
{
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Detailed Window\" --state max "
                          "--class Afx:00400000:8:00010003:00000000:00CB0D45"));
    HWND window = app.Window("Detailed Window");
    Shortcut* shortcut = NewShortcut("Detailed");
    shortcut->Window = window;  // as after a launch from it
    ASSERT_TRUE(WaitForRow((LPARAM)window));
    ShellState.Hidden = 1;  // no pass rebuilds the list meanwhile

    std::string details, title;
    int selected = -1, lines = 0;
    bool shortcutButton = false;
    // Its shortcut retitled from the dialog labels the Task's row.
    DialogWatch edit("Shortcut Properties", [](HWND dialog) {
        ClickControl(dialog, IDC_SHORTCUT_TITLE);
        ReplaceFocusedText("Renamed");
        PressKeys({VK_RETURN});
    });
    DialogWatch first("Task Properties", [&](HWND dialog) {
        details = ControlText(dialog, IDC_TASK_DETAILS);
        lines = ShownDetailLines(dialog);
        title = ControlText(dialog, IDC_TASK_TITLE);
        selected = (int)SendMessageA(GetDlgItem(dialog, IDC_TASK_PRIORITY), CB_GETCURSEL, 0, 0);
        shortcutButton = IsWindowEnabled(GetDlgItem(dialog, IDC_TASK_SHORTCUT)) != 0;
        ClickControl(dialog, IDC_TASK_SHORTCUT);
        WaitUntil([&] { return edit.Seen() && !IsWindow(edit.Window()); });
        SendMessageA(GetDlgItem(dialog, IDC_TASK_PRIORITY), CB_SETCURSEL, 2, 0);
        PressButton(dialog, IDOK);
    });
    Select({(LPARAM)window});
    session.Command(IDM_PROPERTIES);
    ASSERT_TRUE(first.Finish() && edit.Finish());
    EXPECT_EQ(ItemCell(ItemRowOf(window), 0), "Renamed");
    ShellState.Hidden = 0;
    EXPECT_EQ(title, "Detailed Window");
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(shortcutButton);
    char line[128];
    snprintf(line, sizeof line, "Window Handle:\t0x%lX\r\n", (unsigned long)(ULONG_PTR)window);
    EXPECT_EQ(details.rfind(line, 0), 0u) << details;
    EXPECT_NE(details.find("Window State:\tMaximized\r\n"), std::string::npos) << details;
    snprintf(line, sizeof line, "Process ID:\t%ld (0x%lX)\r\n", (long)app.Pid(), (unsigned long)app.Pid());
    EXPECT_NE(details.find(line), std::string::npos) << details;
    EXPECT_NE(details.find("Thread ID:\t"), std::string::npos);
    EXPECT_NE(details.find("Created:\t\t"), std::string::npos);  // Windows NT
    EXPECT_NE(details.find("Kernel:\t\t"), std::string::npos);
    size_t user = details.find("User:\t\t");
    ASSERT_NE(user, std::string::npos);
    EXPECT_EQ(details.find("\r\n", user), std::string::npos);  // the last line has no line end
    EXPECT_EQ(lines, 9);  // each on one line, a long class name too, and all in sight

    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, app.Pid());
    EXPECT_EQ(GetPriorityClass(process), (DWORD)HIGH_PRIORITY_CLASS);
    CloseHandle(process);

    // Opened again it shows the new class; the close box answers Cancel.
    DialogWatch second("Task Properties", [&](HWND dialog) {
        selected = (int)SendMessageA(GetDlgItem(dialog, IDC_TASK_PRIORITY), CB_GETCURSEL, 0, 0);
        CloseWindowBox(dialog);
    });
    EXPECT_EQ(ShowTaskProperties(window), 2);
    ASSERT_TRUE(second.Finish());
    EXPECT_EQ(selected, 2);

    // A window without a title never shows the dialog.
    ASSERT_TRUE(app.SetTitle(window, ""));
    EXPECT_EQ(ShowTaskProperties(window), 1);
}

TEST_F(TaskActionTest, ForAnOverlongClassAndNoIconTaskPropertiesGrowsAndShowsTheProgramsIcon)
{
    WNDCLASSA iconless = {};
    iconless.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_QUERYDRAGICON ? 0 : DefWindowProcA(window, message, wParam, lParam);
    };
    iconless.hInstance = GetModuleHandleA(nullptr);
    std::string name(200, 'W');
    iconless.lpszClassName = name.c_str();
    RegisterClassA(&iconless);
    HWND window = CreateWindowExA(0, name.c_str(), "Iconless", 0, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
    int lines = 0;
    HICON shown = nullptr;
    DialogWatch watch("Task Properties", [&](HWND dialog) {
        lines = ShownDetailLines(dialog);
        shown = (HICON)AskControl(dialog, IDC_TASK_ICON, STM_GETICON);
        PressButton(dialog, IDCANCEL);
    });
    ShowTaskProperties(window);
    ASSERT_TRUE(watch.Finish());
    EXPECT_GT(lines, 9);  // the class name wraps, and every line shows
    // This program's file carries the main program's icons.
    EXPECT_TRUE(shown && shown != DefaultIcon());
    DestroyWindow(window);
}

} // namespace
