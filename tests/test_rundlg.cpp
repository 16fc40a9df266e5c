// The Run dialog driven with the real keyboard and mouse: the history it
// offers and keeps, priorities, shell shortcut files, Browse, failures and
// commands too long for the history.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dialogs/rundlg.h"
#include "launch/shelllink.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "fixture_client.h"
#include "shell_links.h"
#include "temp_files.h"
#include "user_input.h"
#include "wait.h"

namespace {

std::string FixturePath()
{
    return Fixture::ExeDirectory() + "\\fixture.exe";
}

void EndProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

// A fixture started without windows is known by its control window.
void EndWindowlessFixtures()
{
    HWND control = nullptr;
    while ((control = FindWindowExA(HWND_MESSAGE, nullptr, "CorvanixFixtureControl", nullptr)))
        EndProcessOf(control);
}

std::vector<std::string> BoxEntries(HWND dialog)
{
    std::vector<std::string> entries;
    int count = (int)AskControl(dialog, IDC_RUN_COMMAND, CB_GETCOUNT);
    for (int i = 0; i < count; i++) {
        char text[MaxText] = "";
        AskControl(dialog, IDC_RUN_COMMAND, CB_GETLBTEXT, i, (LPARAM)text);
        entries.push_back(text);
    }
    return entries;
}

class RunDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        ASSERT_TRUE(session.Start());
        SetForegroundWindow(ShellState.MainWindow);
    }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
    }

    // Opens the dialog by the Run command and hands it to drive; false when
    // it never showed.
    bool Run(const std::function<void(HWND)>& drive)
    {
        return DriveDialog("Run", [&] { session.Command(IDM_RUN); }, drive);
    }

    // Types a command into the box and presses Enter.
    static void RunTyped(HWND dialog, const std::string& command)
    {
        ClickControl(dialog, IDC_RUN_COMMAND);
        ReplaceFocusedText(command);
        WaitUntil([&] { return ControlText(dialog, IDC_RUN_COMMAND) == command; });
        PressKeys({VK_RETURN});
    }

    AppSession session;
};

TEST_F(RunDialogTest, AQuotedProgramWithArgumentsRunsWithItsPriorityAndIsKept)
{
    std::string unquoted = FixturePath() + " --window Typed";
    std::string command = "\"" + FixturePath() + "\" --window \"Run Window\"";
    bool emptyAtFirst = false, separateForUnquoted = true, separateForQuoted = false;
    bool lockedForQuoted = false;
    ASSERT_TRUE(Run([&](HWND dialog) {
        emptyAtFirst = ControlText(dialog, IDC_RUN_COMMAND).empty() &&
                       AskControl(dialog, IDC_RUN_COMMAND, CB_GETCOUNT) == 0;
        ClickControl(dialog, IDC_RUN_COMMAND);
        // The whole unquoted text is taken as the file name: no program.
        TypeText(unquoted);
        WaitUntil([&] { return ControlText(dialog, IDC_RUN_COMMAND) == unquoted; });
        separateForUnquoted = ButtonChecked(dialog, IDC_RUN_SEPARATE) ||
                              !IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_SEPARATE));
        ReplaceFocusedText(command);
        WaitUntil([&] { return ControlText(dialog, IDC_RUN_COMMAND) == command; });
        separateForQuoted = ButtonChecked(dialog, IDC_RUN_SEPARATE);
        lockedForQuoted = !IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_SEPARATE));
        // "Low", chosen from the list with the keyboard.
        ClickControl(dialog, IDC_RUN_PRIORITY);
        PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
        WaitUntil([&] { return AskControl(dialog, IDC_RUN_PRIORITY, CB_GETCURSEL) == 1; });
        PressKeys({VK_RETURN});
    }));
    EXPECT_TRUE(emptyAtFirst);
    EXPECT_FALSE(separateForUnquoted);
    EXPECT_TRUE(separateForQuoted);
    EXPECT_TRUE(lockedForQuoted);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindWindowA(nullptr, "Run Window")) != nullptr; }, 10000));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    EXPECT_EQ(GetPriorityClass(process), (DWORD)IDLE_PRIORITY_CLASS);
    CloseHandle(process);
    EndProcessOf(window);
    ASSERT_EQ(RunHistoryCount(), 1);
    EXPECT_EQ(RunHistoryText(0), command);
    EXPECT_FALSE(ShellState.Busy);
}

TEST_F(RunDialogTest, TheHistoryListsNewestFirstAndSkipsOnlyARepeatOfTheNewest)
{
    // Each of these ends at once: the fixture refuses arguments it does not know.
    const std::string a = "fixture.exe --first", b = "fixture.exe --second";
    for (const std::string& command : {a, a, b, a})
        ASSERT_TRUE(Run([&](HWND dialog) { RunTyped(dialog, command); }));
    ASSERT_EQ(RunHistoryCount(), 3);

    std::vector<std::string> entries;
    std::string shown;
    bool stayedOpen = false;
    ASSERT_TRUE(Run([&](HWND dialog) {
        entries = BoxEntries(dialog);
        shown = ControlText(dialog, IDC_RUN_COMMAND);
        // An empty command is ignored: the dialog stays.
        RunTyped(dialog, "");
        Sleep(300);
        stayedOpen = IsWindowVisible(dialog) && !FindOwnWindow("Execution Error");
        PressButton(dialog, IDCANCEL);
    }));
    EXPECT_EQ(entries, (std::vector<std::string>{a, b, a}));
    EXPECT_EQ(shown, a);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(RunHistoryCount(), 3);
}

TEST_F(RunDialogTest, AFailedStartKeepsTheDialogAndAShellLinkRunsItsTarget)
{
    std::string link = TempDirectory() + "\\Run Fixture.lnk";
    ASSERT_TRUE(MakeLink(link, FixturePath(), "Fixture"));
    std::string bad = TempDirectory() + "\\bad.lnk";
    std::ofstream(bad) << "not a shell link";
    char target[MaxText];
    ReadShellLink(nullptr, link.c_str(), target, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(target[0], 0);
    RunHistoryInsert("winver");

    std::string error;
    bool openAfterFailure = false;
    ASSERT_TRUE(Run([&](HWND dialog) {
        DialogWatch box("Execution Error", [](HWND b) { PressButton(b, IDOK); });
        // A link that cannot be read stays as typed, a document that nothing opens.
        RunTyped(dialog, "\"" + bad + "\"");
        box.Finish();
        error = box.Text();
        Sleep(200);
        openAfterFailure = IsWindowVisible(dialog) != 0;
        // The link's name in quotes, followed by an argument that goes with it.
        RunTyped(dialog, "\"" + link + "\" --ignored");
    }));
    EXPECT_NE(error.find("\"" + bad + "\""), std::string::npos) << error;
    EXPECT_TRUE(openAfterFailure);
    ASSERT_EQ(RunHistoryCount(), 2);
    EXPECT_STREQ(RunHistoryText(0), target);
    EXPECT_STREQ(RunHistoryText(1), "winver");
    EXPECT_TRUE(WaitFor([] { return FindWindowExA(HWND_MESSAGE, nullptr, "CorvanixFixtureControl",
                                                  nullptr) != nullptr; }, 10000));
    EndWindowlessFixtures();
    DeleteFileA(link.c_str());
    DeleteFileA(bad.c_str());
}

TEST_F(RunDialogTest, CommandsTooLongForTheHistoryRunWholeAndAreNotKept)
{
    RunHistoryInsert("winver");
    for (size_t length : {(size_t)MaxTextLength + 1, (size_t)MaxTextLength + 2}) {
        std::string head = "fixture.exe --window ";
        std::string title = std::string(length - head.size() - 1, 'w') + "!";
        std::string command = head + title;
        ASSERT_EQ(command.size(), length);
        ASSERT_TRUE(Run([&](HWND dialog) { RunTyped(dialog, command); }));
        HWND window = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (window = FindWindowA(nullptr, title.c_str())) != nullptr; }, 10000))
            << length;
        if (window)
            EndProcessOf(window);
        ASSERT_EQ(RunHistoryCount(), 1);
        EXPECT_STREQ(RunHistoryText(0), "winver");
    }
}

TEST_F(RunDialogTest, BrowseStartsInTheQuotedPathsDirectoryAndReplacesTheWholeText)
{
    std::string dir = TempDirectory() + "\\run browse";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string tool = dir + "\\tool.exe";
    ASSERT_TRUE(CopyFileA(FixturePath().c_str(), tool.c_str(), FALSE));

    std::string after;
    bool separate = false;
    ASSERT_TRUE(Run([&](HWND dialog) {
        ClickControl(dialog, IDC_RUN_COMMAND);
        ReplaceFocusedText("\"" + dir + "\\old.exe\" -x");
        DialogWatch browse("Browse", [](HWND) {
            // The name alone: it is found only in the directory offered.
            ReplaceFocusedText("tool.exe");
            PressKeys({VK_RETURN});
        });
        ClickControl(dialog, IDC_RUN_BROWSE);
        browse.Finish();
        WaitUntil([&] { return ControlText(dialog, IDC_RUN_COMMAND) != ""; });
        Sleep(200);
        after = ControlText(dialog, IDC_RUN_COMMAND);
        separate = ButtonChecked(dialog, IDC_RUN_SEPARATE);
        PressButton(dialog, IDCANCEL);
    }));
    EXPECT_EQ(lstrcmpiA(after.c_str(), ("\"" + tool + "\"").c_str()), 0) << after;
    EXPECT_TRUE(separate);
    EXPECT_EQ(RunHistoryCount(), 0);
    DeleteFileA(tool.c_str());
    RemoveDirectoryA(dir.c_str());
}

} // namespace
