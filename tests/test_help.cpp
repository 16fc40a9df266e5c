// The help viewer as a user meets it: from the Help menu and from a
// dialog's Help button, while the main window keeps answering.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/resource.h"
#include "common/messages.h"
#include "common/product.h"
#include "model/shellstate.h"
#include "winkit/help.h"
#include "answer_watch.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "user_input.h"
#include "wait.h"

namespace {

// ---------------------------------------------------------------- the viewer

const char ViewerClass[] = "MS_WINHELP";

std::vector<HWND> Viewers()
{
    std::vector<HWND> found;
    for (HWND window = FindWindowExA(nullptr, nullptr, ViewerClass, nullptr); window;
         window = FindWindowExA(nullptr, window, ViewerClass, nullptr))
        found.push_back(window);
    return found;
}

// The texts of the viewer's child windows: the topic shown and its buttons.
std::string ViewerText(HWND viewer)
{
    std::string text;
    EnumChildWindows(
        viewer,
        [](HWND child, LPARAM all) {
            char buffer[8192];
            DWORD_PTR length = 0;
            if (SendMessageTimeoutA(child, WM_GETTEXT, sizeof buffer, (LPARAM)buffer,
                                    SMTO_ABORTIFHUNG, 2000, &length))
                ((std::string*)all)->append(buffer, std::min<size_t>(length, sizeof buffer - 1)).append("\n");
            return TRUE;
        },
        (LPARAM)&text);
    return text;
}

// A visible viewer showing a text.
bool ViewerShows(const char* words)
{
    for (HWND viewer : Viewers())
        if (IsWindowVisible(viewer) && ViewerText(viewer).find(words) != std::string::npos)
            return true;
    return false;
}

const char ContentsWords[] = "Choose a topic below";
const char ToolbarTopicWords[] = "The Help button of the Customize Toolbar dialog leads to this topic";

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
    void TearDown() override
    {
        session.Exit();
        // Viewers that the program failed to close are ended by their ids.
        for (HWND viewer : Viewers()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(viewer, &pid);
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                TerminateProcess(process, 0);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
        CleanRegistry();
    }

    bool Start() { return session.StartInFront(); }

    AppSession session;
};

TEST_F(HelpViewerTest, HelpContentsFromTheMenuOpensTheContentsWhileTheWindowKeepsAnswering)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Viewers().empty());

    AnswerWatch answers;
    // Alt+H opens the Help menu, C chooses Contents.
    PressKeys({VK_MENU, 'H'});
    PressKeys({'C'});
    bool shown = WaitFor([] { return ViewerShows(ContentsWords); }, 30000, 50);
    double slowest = answers.Longest();

    EXPECT_TRUE(shown);
    EXPECT_LT(slowest, 1000.0);
    EXPECT_TRUE(ViewerShows("The main window"));

    // Exit lets the viewer go.
    session.Exit();
    EXPECT_TRUE(WaitFor([] { return Viewers().empty(); }, 10000));
}

TEST_F(HelpViewerTest, TheToolbarCustomisationsHelpButtonOpensTheToolbarTopic)
{
    ASSERT_TRUE(Start());
    bool topicShown = false;
    DialogWatch watch("Customize Toolbar", [&](HWND dialog) {
        HWND help = nullptr;
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM found) {
                char text[64] = "";
                GetWindowTextA(child, text, sizeof text);
                if (lstrcmpA(text, "&Help") == 0)
                    *(HWND*)found = child;
                return TRUE;
            },
            (LPARAM)&help);
        if (help)
            PressButton(dialog, GetDlgCtrlID(help));
        for (int i = 0; i < 600 && !topicShown; i++) {
            topicShown = ViewerShows(ToolbarTopicWords);
            Sleep(50);
        }
        PressButton(dialog, IDCANCEL);
    });
    SendMessageA(ShellState.ToolbarWindow, TB_CUSTOMIZE, 0, 0);
    ASSERT_TRUE(watch.Finish());
    EXPECT_TRUE(topicShown);

    // The contents go to the same viewer.
    ShowHelpContents(ShellState.MainWindow);
    EXPECT_TRUE(WaitFor([] { return ViewerShows(ContentsWords); }, 15000, 50));
    EXPECT_EQ(Viewers().size(), 1u);

    // The installer's quit message lets the viewer go too: the installer
    // is about to replace the help file.
    SendMessageA(ShellState.MainWindow, WM_QUITNOW, 0, 0);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    EXPECT_TRUE(WaitFor([] { return Viewers().empty(); }, 10000));
}

}  // namespace
