// Everything at once for several seconds: windows come and go while the
// user switches folders, moves and copies tasks and edits shortcuts, and
// the refresh keeps applying its passes. Nothing may hang or crash, and no
// window may stay hidden after Exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "model/shellstate.h"
#include "panes/itemrows.h"
#include "app/resource.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/winutil.h"
#include "app_session.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "wait.h"

namespace {

TEST(Stress, FoldersMovesCopiesAndEditsWhileWindowsComeAndGo)
{
    FreshStart();
    Settings.Priority = PriorityHigh;
    AppSession session;
    ASSERT_TRUE(session.Start());
    AddFolder("Two");
    AddFolder("Three");

    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Stress A\" --window \"Stress B\" --state max "
                          "--window \"Stress C\" --state min"));
    std::deque<HWND> open = {app.Window("Stress A"), app.Window("Stress B"), app.Window("Stress C")};

    DWORD start = GetTickCount();
    int step = 0, created = 0, switches = 0, transfers = 0;
    LONG passesBefore = PassesApplied();
    while (GetTickCount() - start < 6000) {
        switch (step % 6) {
        case 0: {
            const char* state = created % 3 == 0 ? "max" : "normal";
            HWND window = app.Open("Stress " + std::to_string(created), state);
            created++;
            if (window)
                open.push_back(window);
            break;
        }
        case 1:
            if (open.size() > 4) {
                app.Close(open.front());
                open.pop_front();
            }
            break;
        case 2:
            SelectFolder(step % 3);
            switches++;
            break;
        case 3: {
            int rows = ItemRows();
            if (rows > 0) {
                SelectItemRows({step % rows, (step / 2) % rows});
                int target = (ShellState.CurrentFolderIndex + 1 + step % 2) % 3;
                int base = (step % 4 == 3) ? IDM_MOVETO_FIRST : IDM_COPYTO_FIRST;
                session.Command(base + target);
                transfers++;
            }
            break;
        }
        case 4: {
            Folder* current = ShellState.CurrentFolder;
            if (ShortcutCount(current) > 3) {
                RemoveShortcut(current, current->First);
            } else {
                Shortcut* shortcut = AddShortcut(current);
                shortcut->Title.Set(("Stress " + std::to_string(step % 7)).c_str());
                shortcut->CommandLine.Set("fixture.exe");
                shortcut->MultipleInstances = step % 2;
            }
            RequestRefresh();
            break;
        }
        case 5:
            if (!open.empty())
                app.SetTitle(open.back(), "Stress renamed " + std::to_string(step));
            break;
        }
        step++;
        PumpFor(15);
    }
    EXPECT_GT(switches, 10);
    EXPECT_GT(transfers, 10);
    EXPECT_GT(PassesApplied() - passesBefore, 5);
    // The main window still answers at once.
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(ShellState.MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer));

    session.Exit();
    // Every window a folder had put away is back on screen.
    EXPECT_TRUE(WaitFor([&] { return AllVisible(app.Windows(true)); }, 5000));
    for (HWND window : app.Windows(true)) {
        char title[MaxText] = "";
        GetWindowTextA(window, title, MaxText);
        EXPECT_TRUE(IsWindowVisible(window)) << title;
    }
}

// Folder switches far faster than the windows' owners carry out the hides
// and shows: both fixtures hang through the whole storm. What a window
// belongs to follows what was asked of it, so once the owners have caught
// up every window is back in the folder it started in, and in no other.
TEST(Stress, ASwitchStormMisfilesNoWindowHoweverSlowlyTheOwnersAnswer)
{
    FreshStart();
    AppSession session;
    ASSERT_TRUE(session.Start());
    AddFolder("Two");
    AddFolder("Three");

    Fixture apps[2];
    std::vector<HWND> windows;
    for (int a = 0; a < 2; a++) {
        std::string args;
        for (int i = 0; i < 100; i++)
            args += "--window \"Storm " + std::to_string(a * 100 + i) + "\" --rect 10 10 120 60 ";
        ASSERT_TRUE(apps[a].Start(args, 60000));
        for (HWND window : apps[a].Windows())
            windows.push_back(window);
    }
    ASSERT_EQ(windows.size(), 200u);
    Folder* main = FolderAt(0);

    for (Fixture& app : apps)
        ASSERT_TRUE(app.Hang(0));
    // Put away, then seconds of switching between the two folders that
    // hold none of them: longer than any guess of how long a hide takes.
    ULONG_PTR requests = ShowRequestCount();
    SelectFolder(1);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 4000;) {
        SelectFolder(2);
        PumpFor(50);
        SelectFolder(1);
        PumpFor(50);
    }
    // Then round all three, back and forth, ending in "Two": every window
    // belongs to "Main", put away.
    for (int step = 0; step < 30; step++) {
        SelectFolder(step % 3);
        PumpFor(10);
    }
    SelectFolder(1);
    // The hang ends at once; the fixture's own answer may come only after
    // the thousands of requests queued ahead of it.
    for (Fixture& app : apps)
        app.Unhang();

    ASSERT_TRUE(WaitFor([&] { return AllVisible(windows, false) && PendingShowCount() == 0; },
                        60000));
    // Each window got its hide and nothing else: every later show and hide
    // waited for the owner's answer, by which time they cancelled out.
    EXPECT_EQ(ShowRequestCount() - requests, windows.size());
    PumpFor(500);
    int misfiled = 0;
    for (HWND window : windows) {
        int inMain = 0, elsewhere = 0;
        for (ContainedEntry* entry = main->Contained->Head; entry; entry = entry->Next)
            inMain += entry->Window == window;
        for (int i = 1; i < FolderCount(); i++)
            elsewhere += FolderAt(i)->Contained->Contains(window);
        misfiled += inMain != 1 || elsewhere != 0 || IsWindowVisible(window);
    }
    EXPECT_EQ(misfiled, 0);

    // Entering "Main" brings every one of them back.
    SelectFolder(0);
    EXPECT_TRUE(WaitFor([&] { return AllVisible(windows); }, 30000));
    EXPECT_EQ(main->Contained->Count(), 0);
    session.Exit();
}

} // namespace
