// Everything at once for several seconds: windows come and go while the
// user switches folders, moves and copies tasks and edits shortcuts, and
// the refresh keeps applying its passes. Nothing may hang or crash, and no
// window may stay hidden after Exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <string>

#include "core/resource.h"
#include "core/shellstate.h"
#include "model/model.h"
#include "core/settings.h"
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
    LONG passesBefore = ShellState.Diagnostics.PassesApplied;
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
    EXPECT_GT(ShellState.Diagnostics.PassesApplied - passesBefore, 5);
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

} // namespace
