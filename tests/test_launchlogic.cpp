// What the launching layer makes of texts and files, without a program
// running: a command's kind and the failures' reasons, the 32-bit program
// check, shell links checked before the system's parser reads them, files
// turned into shortcut fields, and the Browse path's parts.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/texts.h"
#include "launch/launch.h"
#include "launch/linkcheck.h"
#include "launch/shelllink.h"
#include "fixture_client.h"
#include "shell_links.h"
#include "temp_files.h"

namespace {

TEST(CommandKind, ProgramOrDocumentByThePlainSubstringRule)
{
    EXPECT_TRUE(NamesProgram("notepad"));
    EXPECT_TRUE(NamesProgram("C:\\Tools\\ed.EXE file.txt"));
    EXPECT_TRUE(NamesProgram("viewer readme.txt.exe.bak"));
    EXPECT_TRUE(NamesProgram("setup.com"));
    EXPECT_TRUE(NamesProgram("run.Bat now"));
    EXPECT_TRUE(NamesProgram("old.pif"));
    EXPECT_TRUE(NamesProgram("notepad letter"));
    EXPECT_FALSE(NamesProgram("C:\\Data\\Letter.doc"));
    EXPECT_FALSE(NamesProgram("\"C:\\My Docs\\letter.txt\" /p"));
    // Plain substrings: ".exe" is in ".executive".
    EXPECT_TRUE(NamesProgram("notes.executive"));
    EXPECT_FALSE(NamesProgram("picture.bmp"));
}

TEST(CommandKind, ReasonTexts)
{
    EXPECT_EQ(LaunchErrorReason(2), "File Not Found");
    EXPECT_EQ(LaunchErrorReason(3), "Path Not Found");
    EXPECT_EQ(LaunchErrorReason(5), "Sharing Violation");
    EXPECT_EQ(LaunchErrorReason(8), "Insufficient Memory");
    EXPECT_EQ(LaunchErrorReason(123), "Invalid File or Directory Name");
    EXPECT_EQ(LaunchErrorReason(193), "File is Not Executable");
    EXPECT_EQ(LaunchErrorReason(267), "Invalid Directory Name");
    EXPECT_EQ(LaunchErrorReason(1234), "Error Code 1234");
}

TEST(Win32Program, OnlyAPeSignatureAt128Counts)
{
    std::string dir = TempDirectory();
    std::string real = Fixture::ExeDirectory() + "\\fixture.exe";
    // MinGW's programs put their PE header at 128.
    EXPECT_EQ(IsWin32Program(real.c_str()), 1);
    EXPECT_EQ(IsWin32Program(("\"" + real + "\"").c_str()), 1);

    std::string elsewhere(512, '\0');
    elsewhere[0] = 'M';
    elsewhere[1] = 'Z';
    elsewhere.replace(256, 4, std::string("PE\0\0", 4));
    EXPECT_EQ(IsWin32Program(WriteFile(dir + "\\elsewhere.exe", elsewhere).c_str()), 0);

    std::string sixteen(300, '\0');
    sixteen[0] = 'M';
    sixteen[1] = 'Z';
    sixteen.replace(128, 2, "NE");
    EXPECT_EQ(IsWin32Program(WriteFile(dir + "\\sixteen.exe", sixteen).c_str()), 0);

    std::string shortFile(131, '\0');
    shortFile[0] = 'M';
    shortFile[1] = 'Z';
    shortFile.replace(128, 2, "PE");
    EXPECT_EQ(IsWin32Program(WriteFile(dir + "\\short.exe", shortFile).c_str()), 0);

    std::string exact(132, '\0');
    exact[0] = 'M';
    exact[1] = 'Z';
    exact.replace(128, 2, "PE");
    EXPECT_EQ(IsWin32Program(WriteFile(dir + "\\exact.exe", exact).c_str()), 1);

    EXPECT_EQ(IsWin32Program(""), 0);
    EXPECT_EQ(IsWin32Program(nullptr), 0);
    EXPECT_EQ(IsWin32Program((dir + "\\missing.exe").c_str()), 0);
}

TEST(Browse, SplitsDirectoryAndFileName)
{
    std::string directory, file;
    SplitBrowsePath("C:\\Apps\\tool.exe", &directory, &file);
    EXPECT_EQ(directory, "C:\\Apps");
    EXPECT_EQ(file, "tool.exe");
    SplitBrowsePath("tool.exe", &directory, &file);
    EXPECT_EQ(directory, "");
    EXPECT_EQ(file, "tool.exe");
    SplitBrowsePath("C:\\Apps\\", &directory, &file);
    EXPECT_EQ(directory, "");
    EXPECT_EQ(file, "C:\\Apps\\");
}

TEST(ShortcutFromFile, AProgramInUpperCase)
{
    CreateDirectoryA("C:\\APPS", nullptr);
    std::string program = Fixture::ExeDirectory() + "\\fixture.exe";
    ASSERT_TRUE(CopyFileA(program.c_str(), "C:\\APPS\\EDITOR.EXE", FALSE));
    ShortcutFields fields;
    ASSERT_TRUE(ShortcutFromFile("C:\\APPS\\EDITOR.EXE", &fields));
    EXPECT_STREQ(fields.Title, "Editor");
    EXPECT_STREQ(fields.CommandLine, "c:\\apps\\editor.exe");
    EXPECT_STREQ(fields.WorkingDirectory, "C:\\APPS");
    EXPECT_EQ(lstrcmpiA(fields.IconFile, "C:\\APPS\\EDITOR.EXE"), 0) << fields.IconFile;
    EXPECT_EQ(fields.IconIndex, 0);
}

TEST(ShortcutFromFile, APathWithBlanksIsQuoted)
{
    CreateDirectoryA("C:\\My Apps", nullptr);
    std::string program = Fixture::ExeDirectory() + "\\fixture.exe";
    ASSERT_TRUE(CopyFileA(program.c_str(), "C:\\My Apps\\Tool Box.exe", FALSE));
    ShortcutFields fields;
    ASSERT_TRUE(ShortcutFromFile("C:\\My Apps\\Tool Box.exe", &fields));
    EXPECT_STREQ(fields.CommandLine, "\"c:\\my apps\\tool box.exe\"");
    EXPECT_STREQ(fields.WorkingDirectory, "\"C:\\My Apps\"");
    EXPECT_STREQ(fields.Title, "Tool box");
}

TEST(ShortcutFromFile, ADocumentTakesItsProgramsIcon)
{
    std::string document = WriteFile(TempPath("Quarterly.Report.txt"));
    ShortcutFields fields;
    ASSERT_TRUE(ShortcutFromFile(document.c_str(), &fields));
    EXPECT_STREQ(fields.Title, "Quarterly");
    std::string icon = fields.IconFile;
    for (char& c : icon)
        c = (char)tolower((unsigned char)c);
    EXPECT_NE(icon.find("notepad.exe"), std::string::npos) << fields.IconFile;
}

TEST(ShortcutFromFile, AFolderIsOpenedByItsProgramWithOurFolderIcon)
{
    CreateDirectoryA("C:\\Letters", nullptr);
    char found[MAX_PATH] = "";
    bool associated = (INT_PTR)FindExecutableA("C:\\Letters", "", found) > 32;
    ShortcutFields fields;
    ASSERT_TRUE(ShortcutFromFile("C:\\Letters", &fields));
    EXPECT_STREQ(fields.Title, "Letters");
    if (associated && lstrcmpiA(found, "C:\\Letters") != 0) {
        EXPECT_EQ(std::string(fields.CommandLine), std::string(found) + " c:\\letters");
        char own[MAX_PATH];
        GetModuleFileNameA(nullptr, own, MAX_PATH);
        EXPECT_STREQ(fields.IconFile, own);
        EXPECT_EQ(fields.IconIndex, 8);
    } else {
        // Nothing opens it: it stays as it is.
        EXPECT_STREQ(fields.CommandLine, "c:\\letters");
    }
}

TEST(ShortcutFromFile, ShellLinksGiveTheirTargetDescriptionAndIcon)
{
    CoInitialize(nullptr);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string notepad = std::string(windows) + "\\notepad.exe";
    std::string described = TempPath("Described.lnk");
    ASSERT_TRUE(MakeLink(described, notepad, "Plain Text Editor", windows, notepad, 0));
    ShortcutFields fields;
    ASSERT_TRUE(ShortcutFromFile(described.c_str(), &fields));
    EXPECT_STREQ(fields.Title, "Plain Text Editor");
    EXPECT_NE(std::string(fields.CommandLine), "");
    EXPECT_EQ(GetFileAttributesA(fields.CommandLine) != INVALID_FILE_ATTRIBUTES, true) << fields.CommandLine;
    EXPECT_EQ(lstrcmpiA(fields.WorkingDirectory, windows), 0) << fields.WorkingDirectory;
    EXPECT_EQ(lstrcmpiA(fields.IconFile, notepad.c_str()), 0) << fields.IconFile;

    // Without a description the title comes from the target, ".exe" cut.
    std::string plain = TempPath("Plain.lnk");
    ASSERT_TRUE(MakeLink(plain, notepad, ""));
    ASSERT_TRUE(ShortcutFromFile(plain.c_str(), &fields));
    EXPECT_STREQ(fields.Title, "Notepad");

    // Environment strings are expanded.
    std::string expanding = TempPath("Expanding.lnk");
    ASSERT_TRUE(MakeLink(expanding, "%SystemRoot%\\notepad.exe", "Expanded", "%TEMP%", "%SystemRoot%\\notepad.exe", 0));
    char target[MaxText], directory[MaxText], description[MaxText], icon[MaxText];
    int index = -1;
    ReadShellLink(nullptr, expanding.c_str(), target, directory, description, icon, &index);
    EXPECT_EQ(std::string(target).find('%'), std::string::npos) << target;
    EXPECT_EQ(std::string(directory).find('%'), std::string::npos) << directory;
    EXPECT_EQ(std::string(icon).find('%'), std::string::npos) << icon;
    EXPECT_STREQ(description, "Expanded");
    EXPECT_EQ(index, 0);

    // A file that is no link at all: the drop stops there.
    std::string broken = WriteFile(TempPath("Broken.lnk"), std::string(100, '\x7F'));
    EXPECT_FALSE(ShortcutFromFile(broken.c_str(), &fields));
    ReadShellLink(nullptr, broken.c_str(), target, directory, description, icon, &index);
    EXPECT_STREQ(target, "");
    EXPECT_STREQ(description, "");
    CoUninitialize();
}

// Links that would overrun the system's parser never reach it: they read
// as links that cannot be resolved, and a real link still reads.
TEST(ShortcutFromFile, LinksThatWouldOverrunTheParserAreNotResolved)
{
    CoInitialize(nullptr);
    auto header = [](DWORD flags) {
        std::string link(0x4C, '\0');
        link[0] = 0x4C;
        const unsigned char id[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
        link.replace(4, 16, (const char*)id, 16);
        memcpy(&link[0x14], &flags, 4);
        return link;
    };
    auto number = [](DWORD value, int bytes) { return std::string((const char*)&value, (size_t)bytes); };
    const DWORD idList = 0x1, linkInfo = 0x2, name = 0x4, relativePath = 0x8, unicode = 0x80;

    std::vector<std::string> overruns = {
        // A relative path of 20,000 characters.
        header(relativePath | unicode) + number(20000, 2) + std::string(40000, 'A'),
        // A name that runs past the end of the file.
        header(name) + number(10, 2) + "short",
        // An item id list longer than the file.
        header(idList) + number(0x100, 2) + std::string(16, '\1'),
        // Link info whose local base path lies outside it.
        header(linkInfo) + number(0x1C, 4) + number(0x1C, 4) + number(1, 4) + number(0x10, 4) +
            number(0x1000, 4) + number(0, 4) + number(0, 4),
        // An environment block whose path has no end inside its field.
        header(0) + number(0x314, 4) + number(0xA0000001, 4) + std::string(0x30C, 'A'),
    };
    char target[MaxText], directory[MaxText], description[MaxText], icon[MaxText];
    int index = -1;
    ShortcutFields fields;
    for (size_t i = 0; i < overruns.size(); i++) {
        std::string path = WriteFile(TempPath("Overrun" + std::to_string(i) + ".lnk"), overruns[i]);
        EXPECT_FALSE(ShellLinkFileIsSound(path.c_str())) << i;
        ReadShellLink(nullptr, path.c_str(), target, directory, description, icon, &index);
        EXPECT_STREQ(target, "") << i;
        EXPECT_FALSE(ShortcutFromFile(path.c_str(), &fields)) << i;
    }

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string notepad = std::string(windows) + "\\notepad.exe";
    std::string real = TempPath("Real.lnk");
    ASSERT_TRUE(MakeLink(real, notepad, std::string(300, 'D'), windows, notepad, 0));
    EXPECT_TRUE(ShellLinkFileIsSound(real.c_str()));
    ReadShellLink(nullptr, real.c_str(), target, directory, description, icon, &index);
    EXPECT_NE(std::string(target), "");
    CoUninitialize();
}

TEST(ShortcutFromFile, TitlesFromPaths)
{
    auto title = [](const char* path) {
        char command[MaxText], result[MaxText];
        lstrcpynA(command, path, MaxText);
        TitleFromPath(command, result, MaxText);
        return std::string(result) + "|" + command;
    };
    EXPECT_EQ(title("C:\\Tools\\GREP.EXE"), "Grep.exe|c:\\tools\\grep.exe");
    EXPECT_EQ(title("notepad"), "Notepad|notepad");
    EXPECT_EQ(title("C:\\Tools\\"), "C:\\tools|c:\\tools\\");
    EXPECT_EQ(title("\"C:\\A B\\Run Me.bat\" -x"), "Run me.bat|\"c:\\a b\\run me.bat\" -x");
    EXPECT_EQ(title(""), "|");
}

} // namespace
