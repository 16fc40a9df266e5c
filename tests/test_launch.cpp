// Launching commands for real under Wine: programs, documents through
// their associations, working directories, show states and priorities, and
// the failures the user is told about.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "launch/launch.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "app_session.h"
#include "dialog_watch.h"
#include "fixture_client.h"
#include "temp_files.h"
#include "wait.h"

namespace {

// The first top-level window of a process with a non-empty title.
HWND WindowOfProcess(DWORD processId)
{
    struct Search {
        DWORD Id;
        HWND Found;
    } search = {processId, nullptr};
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
        Search* s = (Search*)param;
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char title[256] = "";
        GetWindowTextA(window, title, sizeof title);
        if (owner == s->Id && title[0] && IsWindowVisible(window)) {
            s->Found = window;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&search);
    return search.Found;
}

std::string TitleOf(HWND window)
{
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

void EndProcess(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshStart();
        ASSERT_TRUE(session.Start());
    }
    void TearDown() override
    {
        for (DWORD id : started)
            EndProcess(id);
        session.Exit();
    }
    AppSession session;
    std::vector<DWORD> started;
};

TEST_F(LaunchTest, ADocumentRunsWithItsAssociatedProgram)
{
    std::string document = WriteFile(TempDirectory() + "\\Launch Letter.txt", "Dear reader,\r\n");
    std::string quoted = "\"" + document + "\"";
    std::string command = CommandToRun(quoted.c_str());
    // The program's path, one blank, the command as given.
    ASSERT_GT(command.size(), quoted.size() + 1);
    EXPECT_EQ(command.substr(command.size() - quoted.size() - 1), " " + quoted);
    std::string program = command.substr(0, command.size() - quoted.size() - 1);
    EXPECT_NE(Lower(program).find("notepad"), std::string::npos) << program;
    EXPECT_NE(GetFileAttributesA(program.c_str()), INVALID_FILE_ATTRIBUTES) << program;

    // With an argument after the quoted name, the whole text follows.
    std::string withArgument = quoted + " /p";
    EXPECT_EQ(CommandToRun(withArgument.c_str()), program + " " + withArgument);

    DWORD id = LaunchCommand(quoted.c_str(), "", 0, 0, 0);
    ASSERT_NE(id, 0u);
    started.push_back(id);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = WindowOfProcess(id)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(window).find("Launch Letter") != std::string::npos; }, 5000))
        << TitleOf(window);
}

TEST_F(LaunchTest, AProgramStartsWithItsShowStateAndPriority)
{
    // Notepad shows its window as it is told to.
    std::string command = "notepad.exe";
    DWORD id = LaunchCommand(command.c_str(), "", 2, 1, PriorityHigh);
    ASSERT_NE(id, 0u);
    started.push_back(id);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = WindowOfProcess(id)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(window) != 0; }, 3000));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(GetPriorityClass(process), (DWORD)HIGH_PRIORITY_CLASS);
    CloseHandle(process);

    id = LaunchCommand(command.c_str(), "", 1, 0, PriorityLow);
    ASSERT_NE(id, 0u);
    started.push_back(id);
    ASSERT_TRUE(WaitFor([&] { return (window = WindowOfProcess(id)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsIconic(window) != 0; }, 3000));
    process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    EXPECT_EQ(GetPriorityClass(process), (DWORD)IDLE_PRIORITY_CLASS);
    CloseHandle(process);
}

TEST_F(LaunchTest, TheWorkingDirectoryIsUsedWithoutItsQuotes)
{
    std::string dir = TempDirectory() + "\\Work Dir";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string out = dir + "\\where.txt";
    DeleteFileA(out.c_str());
    DWORD id = LaunchCommand("cmd.exe /c cd > where.txt", ("\"" + dir + "\"").c_str(), 0, 0, 0);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(out.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    PumpFor(300);
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    EXPECT_EQ(Lower(line), Lower(dir));

    // Empty: ours.
    char ours[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, ours);
    std::string here = std::string(ours) + "\\where-here.txt";
    DeleteFileA(here.c_str());
    ASSERT_NE(LaunchCommand("cmd.exe /c cd > where-here.txt", "", 0, 0, 0), 0u);
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(here.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    DeleteFileA(here.c_str());
}

TEST_F(LaunchTest, FailuresAreReportedWithTheCommandGivenToTheSystem)
{
    {
        DialogWatch box("Execution Error", [](HWND b) { PressButton(b, IDOK); });
        EXPECT_EQ(LaunchCommand("no-such-program-here.exe /x", "", 0, 0, 0), 0u);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.Text(), "File Not Found; no-such-program-here.exe /x");
    }
    {
        // A document nothing is associated with: the line begins with a blank.
        std::string odd = WriteFile(TempDirectory() + "\\nothing.zzqq", "x");
        DialogWatch box("Execution Error", [](HWND b) { PressButton(b, IDOK); });
        EXPECT_EQ(LaunchCommand(odd.c_str(), "", 0, 0, 0), 0u);
        ASSERT_TRUE(box.Finish());
        EXPECT_NE(box.Text().find("; " + std::string(" ") + odd), std::string::npos) << box.Text();
    }
    {
        DialogWatch box("Execution Error", [](HWND b) { PressButton(b, IDOK); });
        EXPECT_EQ(LaunchCommand("cmd.exe /c exit", "C:\\no\\such\\directory", 0, 0, 0), 0u);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.Text().find("; cmd.exe /c exit"), box.Text().size() - 17) << box.Text();
    }
    // Nothing to run: no box at all.
    EXPECT_EQ(LaunchCommand("", "", 0, 0, 0), 0u);
    EXPECT_EQ(FindOwnWindow("Execution Error"), nullptr);
}

TEST_F(LaunchTest, ALongComposedDocumentCommandIsNeitherCutNorOverrun)
{
    std::string name = TempDirectory() + "\\" + std::string(250 - TempDirectory().size(), 'n') + ".txt";
    WriteFile(name, "long");
    std::string command = "\"" + name + "\"";
    std::string toRun = CommandToRun(command.c_str());
    ASSERT_GT(toRun.size(), 260u);
    EXPECT_EQ(toRun.substr(toRun.size() - command.size()), command);
    DWORD id = LaunchCommand(command.c_str(), "", 0, 0, 0);
    EXPECT_NE(id, 0u);
    if (id)
        started.push_back(id);
    EXPECT_EQ(FindOwnWindow("Execution Error"), nullptr);
}

TEST(Browse, ACancelledDialogLeavesOnlyTheFileName)
{
    char buffer[MaxText] = "C:\\windows\\notepad.exe";
    DialogWatch dialog("Pick a Program", [](HWND d) { PressButton(d, IDCANCEL); });
    EXPECT_FALSE(BrowseForFile(nullptr, buffer, sizeof buffer, ProgramFilter, "Pick a Program"));
    ASSERT_TRUE(dialog.Finish());
    EXPECT_STREQ(buffer, "notepad.exe");
}

} // namespace
