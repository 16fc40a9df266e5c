// setup.exe in the test's own Wine prefix, driven screen by screen: the
// files it installs into the system directory, the Start Menu groups and
// links that Wine's explorer makes from its Program Manager commands, the
// registry, a running Corvanix, removal, and the older systems that Wine
// pretends to be.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/hotkeycode.h"
#include "common/product.h"
#include "app_session.h"
#include "child_process.h"
#include "corvanix_process.h"
#include "fixture_client.h"
#include "registry_values.h"
#include "setup_run.h"
#include "wait.h"

namespace {

const int Install = 1039;
const int Remove = 3;

std::string SystemDir()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path) + "\\";
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
}

std::string GroupDir() { return ShellFolder(CSIDL_PROGRAMS) + "\\Corvanix"; }
std::string StartupLink() { return ShellFolder(CSIDL_STARTUP) + "\\Corvanix.lnk"; }

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a directory: what setup leaves in the system directory.
std::set<std::string> FilesIn(const std::string& directory)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::set<std::string> NewFiles(const std::set<std::string>& before)
{
    std::set<std::string> added;
    for (const std::string& name : FilesIn(SystemDir()))
        if (!before.count(name))
            added.insert(name);
    return added;
}

// The target of a shell link, read with the shell's own link object.
std::string LinkTarget(const std::string& link)
{
    std::string target;
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shellLink->Release();
    return target;
}

// Raises the file version in a program's version resource, so that the
// installed copy is newer than the one setup brings.
void MakeNewer(const std::string& path)
{
    std::string bytes = Contents(path);
    const DWORD signature = 0xFEEF04BD;
    size_t at = bytes.find(std::string((const char*)&signature, 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info;
    memcpy(&info, &bytes[at], sizeof info);
    info.dwFileVersionMS += 0x00010000;
    memcpy(&bytes[at], &info, sizeof info);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Answers for an installation; other boxes get their first button.
SetupScript Installing(bool startAtLogon, bool startNow = false)
{
    SetupScript script;
    script.Welcome = Install;
    script.Answer = [=](const std::string& text) {
        if (text == "Automatically Start Corvanix Upon Logon ?")
            return startAtLogon ? IDYES : IDNO;
        if (text == "Start Corvanix Now ?")
            return startNow ? IDYES : IDNO;
        return 0;
    };
    return script;
}

const std::vector<std::string> Installed = {
    "Corvanix Setup: Automatically Start Corvanix Upon Logon ?",
    "Corvanix Setup: Start Corvanix Now ?",
    "Corvanix Setup: Installation Complete.",
};

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        RemoveInstallation();
        source = MakeSource(true);
    }
    void TearDown() override
    {
        SetWineVersionFor("setup.exe", "");
        RemoveInstallation();
        CoUninitialize();
    }

    // A folder with setup.exe, Corvanix.exe and, when asked, a help file:
    // the real one when the build made it, a stand-in otherwise.
    std::string MakeSource(bool withHelp)
    {
        std::string folder = "C:\\corvanix-source-" + std::to_string(++sources);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string built = Fixture::ExeDirectory() + "\\..\\dist\\";  // what a user copies
        CopyFileA((built + "setup.exe").c_str(), (folder + "\\setup.exe").c_str(), FALSE);
        CopyFileA((built + "Corvanix.exe").c_str(), (folder + "\\Corvanix.exe").c_str(), FALSE);
        if (withHelp && !CopyFileA((built + "Corvanix.hlp").c_str(), (folder + "\\Corvanix.hlp").c_str(), FALSE))
            std::ofstream(folder + "\\Corvanix.hlp", std::ios::binary) << "?_\x03\x00 help";
        return folder;
    }

    void RemoveInstallation()
    {
        for (const char* name : {"Corvanix.exe", "Corvanix.hlp"}) {
            std::string path = SystemDir() + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        std::string group = GroupDir();
        group.push_back('\0');
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = group.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&operation);
        DeleteFileA(StartupLink().c_str());
        CleanRegistry();
    }

    // Runs setup from the source folder to its end.
    bool Run(SetupScript* script, const std::string& folder = "")
    {
        SetupProcess setup;
        if (!setup.Start(folder.empty() ? source : folder))
            return false;
        bool ended = setup.Run(script);
        exitCode = setup.ExitCode();
        return ended;
    }

    void InstallOnce(bool startAtLogon = true)
    {
        SetupScript script = Installing(startAtLogon);
        ASSERT_TRUE(Run(&script));
        ASSERT_EQ(script.Boxes, Installed);
    }

    std::string source;
    int sources = 0;
    DWORD exitCode = STILL_ACTIVE;
};

// The colour of every row of the screen's left edge, as the display shows it.
std::vector<COLORREF> LeftEdge(int height)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, height, screen, 5, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> rows;
    for (int y = 0; y < height; y++) {
        DWORD pixel = ((DWORD*)bits)[y];
        rows.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rows;
}

TEST_F(SetupTest, AFirstInstallationCopiesTheFilesAndMakesTheGroupAndTheStartupEntry)
{
    std::set<std::string> before = FilesIn(SystemDir());
    SetupScript script = Installing(true);
    script.HotKey = {VK_CONTROL, VK_F9};
    std::vector<COLORREF> edge;
    script.AtWelcome = [&](HWND) { edge = LeftEdge(GetSystemMetrics(SM_CYSCREEN)); };
    ASSERT_TRUE(Run(&script));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(script.Boxes, Installed);
    EXPECT_EQ(script.Screens, (std::vector<std::string>{"WELCOME", "HOTKEY"}));

    // A 768-pixel screen: 256 bands of 3 pixels, the first two both at 255.
    ASSERT_EQ(edge.size(), 768u);
    for (int y = 0; y < 768; y++) {
        int band = y / 3;
        int blue = 256 - band > 255 ? 255 : 256 - band;
        ASSERT_EQ(edge[y], RGB(0, 0, blue)) << "row " << y;
    }

    std::string system = SystemDir();
    EXPECT_TRUE(Contents(system + "Corvanix.exe") == Contents(source + "\\Corvanix.exe"));
    EXPECT_TRUE(Contents(system + "Corvanix.hlp") == Contents(source + "\\Corvanix.hlp"));
    // Nothing else: no temporary copy left behind.
    EXPECT_EQ(NewFiles(before), (std::set<std::string>{"Corvanix.exe", "Corvanix.hlp"}));

    EXPECT_EQ(ProductDword("HotKey"), MakeHotKeyCode(VK_F9, HotKeyCtrl));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, READ_CONTROL, &key), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                    &descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL read = nullptr;
    if (descriptor)
        GetSecurityDescriptorDacl(descriptor, &present, &read, &defaulted);
    EXPECT_FALSE(present && read == nullptr) << "a null DACL lets everyone change the key";
    LocalFree(descriptor);
    RegCloseKey(key);

    EXPECT_EQ(LinkTarget(GroupDir() + "\\Corvanix.lnk"), system + "Corvanix.exe");
    EXPECT_EQ(LinkTarget(GroupDir() + "\\Corvanix Help.lnk"), system + "Corvanix.hlp");
    EXPECT_EQ(LinkTarget(StartupLink()), system + "Corvanix.exe");
}

TEST_F(SetupTest, AReinstallWithNoToTheLogonQuestionRemovesTheStartupEntry)
{
    InstallOnce(true);
    ASSERT_TRUE(Exists(StartupLink()));
    // OK without a key keeps the Break key that the screen offers.
    SetupScript script = Installing(false);
    ASSERT_TRUE(Run(&script));
    EXPECT_EQ(script.Boxes, Installed);
    EXPECT_EQ(ProductDword("HotKey"), (DWORD)VK_PAUSE);
    EXPECT_FALSE(Exists(StartupLink()));
    EXPECT_TRUE(Exists(GroupDir() + "\\Corvanix.lnk"));
    EXPECT_TRUE(Exists(GroupDir() + "\\Corvanix Help.lnk"));
}

TEST_F(SetupTest, ANewerInstalledProgramIsReplacedOnlyAfterOK)
{
    InstallOnce();
    std::string installed = SystemDir() + "Corvanix.exe";
    MakeNewer(installed);
    std::string newer = Contents(installed);
    std::set<std::string> before = FilesIn(SystemDir());
    const std::string attributes =
        "Install File: Corvanix.exe - Installed File Attributes are Different.\r\n\nOK to Proceed ?";
    const std::string newerQuestion =
        "Install File: Corvanix.exe - Installed Version is Newer.\r\n\nOK to Proceed ?";

    SetupScript cancelled = Installing(true);
    cancelled.Answer = [](const std::string& text) {
        return text.find("Newer") != std::string::npos ? IDCANCEL : 0;
    };
    ASSERT_TRUE(Run(&cancelled));
    EXPECT_EQ(cancelled.Boxes, (std::vector<std::string>{Installed[0], attributes, newerQuestion,
                                                          "Corvanix Setup: Installation Failed."}));
    EXPECT_TRUE(Contents(installed) == newer);
    EXPECT_TRUE(NewFiles(before).empty()) << *NewFiles(before).begin();

    SetupScript forced = Installing(true);
    ASSERT_TRUE(Run(&forced));
    std::vector<std::string> expected = {Installed[0], attributes, newerQuestion, Installed[1], Installed[2]};
    EXPECT_EQ(forced.Boxes, expected);
    EXPECT_TRUE(Contents(installed) == Contents(source + "\\Corvanix.exe"));
    EXPECT_TRUE(NewFiles(before).empty()) << *NewFiles(before).begin();
}

TEST_F(SetupTest, AProtectedOrLockedInstalledFileFailsTheInstallation)
{
    InstallOnce();
    std::string installed = SystemDir() + "Corvanix.exe";
    std::set<std::string> before = FilesIn(SystemDir());

    SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_READONLY);
    SetupScript script = Installing(true);
    ASSERT_TRUE(Run(&script));
    EXPECT_EQ(script.Boxes, (std::vector<std::string>{
                                Installed[0], "Install File: Corvanix.exe - Installed File is Write-Protected.",
                                "Corvanix Setup: Installation Failed."}));
    SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_NORMAL);

    HANDLE held = CreateFileA(installed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetupScript locked = Installing(true);
    ASSERT_TRUE(Run(&locked));
    CloseHandle(held);
    ASSERT_EQ(locked.Boxes.size(), 3u);
    EXPECT_EQ(locked.Boxes[1].rfind("Install File: Corvanix.exe - ", 0), 0u) << locked.Boxes[1];
    EXPECT_EQ(locked.Boxes[2], "Corvanix Setup: Installation Failed.");
    EXPECT_TRUE(NewFiles(before).empty()) << *NewFiles(before).begin();
}

TEST_F(SetupTest, AMissingHelpFileFailsTheInstallationWithoutAGroup)
{
    std::string folder = MakeSource(false);
    std::set<std::string> before = FilesIn(SystemDir());
    SetupScript script = Installing(true);
    ASSERT_TRUE(Run(&script, folder));
    EXPECT_EQ(script.Boxes, (std::vector<std::string>{
                                "Corvanix Setup: Automatically Start Corvanix Upon Logon ?",
                                "Install File: Corvanix.hlp - Can't read source file.",
                                "Corvanix Setup: Installation Failed."}));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(NewFiles(before), (std::set<std::string>{"Corvanix.exe"}));
    EXPECT_FALSE(Exists(GroupDir()));
    EXPECT_FALSE(Exists(StartupLink()));
}

// The program file of a process: the first module of its snapshot.
std::string ProgramOf(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "";
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    std::string path = Module32First(snapshot, &module) ? module.szExePath : "";
    CloseHandle(snapshot);
    return path;
}

TEST_F(SetupTest, ARunningCorvanixEndsBeforeTheCopyAndShowsItsWindowsAgain)
{
    // Two folders, so that a window can be put away in the first.
    EXPECT_TRUE(PutText(FoldersKeyName, "0", "Main"));
    EXPECT_TRUE(PutText(FoldersKeyName, "1", "Other"));
    SetupScript first = Installing(false, true);
    ASSERT_TRUE(Run(&first));
    ASSERT_EQ(first.Boxes, Installed);

    // "Start Corvanix Now ?" Yes started the installed program.
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = FindCorvanixWindow()) != nullptr; }, 10000));
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HANDLE running = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(lstrcmpiA(ProgramOf(pid).c_str(), (SystemDir() + "Corvanix.exe").c_str()), 0)
        << ProgramOf(pid);

    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Put Away\""));
    HWND window = app.Window("Put Away");
    ASSERT_NE(window, nullptr);
    // The second folder's number, handed over by a second start.
    CorvanixProcess second;
    ASSERT_TRUE(second.Start("1"));
    ASSERT_TRUE(second.WaitForExit());
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }, 5000));

    // A program file that runs cannot be deleted: the installation would
    // have said "Corvanix.exe - File is in use." had it not ended first.
    SetupScript again = Installing(false);
    ASSERT_TRUE(Run(&again));
    EXPECT_EQ(again.Boxes, Installed);
    EXPECT_EQ(WaitForSingleObject(running, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != 0; }, 5000));
    TerminateProcess(running, 1);
    CloseHandle(running);
}

TEST_F(SetupTest, RemovalTakesEverythingKeepsOtherProductsAndNamesWhatStays)
{
    InstallOnce(true);
    std::string other = std::string(MakerKeyName) + "\\Other";
    EXPECT_TRUE(PutDword(other, "Kept", 1));
    // The main program runs, with its whole layout in the registry, and
    // another program holds the help file open.
    ChildProcess corvanix;
    std::string program = SystemDir() + "Corvanix.exe";
    ASSERT_TRUE(corvanix.Start(program, "\"" + program + "\""));
    EXPECT_TRUE(WaitFor([] { return FindCorvanixWindow() != nullptr; }, 10000));
    EXPECT_TRUE(PutText(FolderKey(0), "T0", "Notepad"));
    // A key whose name has no ANSI form: no ANSI call opens it.
    std::string folder = FolderKey(1);
    std::wstring unnamed = std::wstring(folder.begin(), folder.end()) + L"\\\u041f\u0430\u043f\u043a\u0430";
    HKEY key;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, unnamed.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    std::string help = SystemDir() + "Corvanix.hlp";
    HANDLE held = CreateFileA(help.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    SetupScript script;
    // The text beside the button carries the same mnemonic.
    script.WelcomeKey = 'R';
    script.Welcome = IDCANCEL;
    ASSERT_TRUE(Run(&script));
    CloseHandle(held);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].find("Corvanix has been removed."), std::string::npos) << script.Boxes[0];
    EXPECT_NE(script.Boxes[0].find(help), std::string::npos) << script.Boxes[0];
    EXPECT_NE(script.Boxes[0].find(std::string("HKEY_CURRENT_USER\\") + FolderKey(1) + "\\"), std::string::npos);
    EXPECT_TRUE(corvanix.Ended());
    EXPECT_FALSE(Exists(program));
    EXPECT_FALSE(Exists(GroupDir()));
    EXPECT_FALSE(Exists(StartupLink()));
    EXPECT_FALSE(KeyExists(FolderKey(0)));
    EXPECT_TRUE(KeyExists(other));

    // The help file goes now, and the maker key, empty at last, with it.
    RegDeleteKeyW(HKEY_CURRENT_USER, unnamed.c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, other.c_str());
    SetupScript again;
    again.Welcome = Remove;
    ASSERT_TRUE(Run(&again));
    EXPECT_EQ(again.Boxes, (std::vector<std::string>{"Corvanix Setup: Corvanix has been removed."}));
    EXPECT_FALSE(Exists(help));
    EXPECT_FALSE(KeyExists(MakerKeyName));
}

// The group folders that Program Manager's commands open and the Corvanix
// that setup starts come up while a box waits: it stays active, uncovered.
TEST_F(SetupTest, EveryBoxStaysActiveInFrontOfTheWindowsThatOpenMeanwhile)
{
    std::vector<std::string> behind;
    SetupScript install, remove;
    install.Answer = remove.Answer = [&](const std::string& text) {
        WaitFor([&] { return text != "Start Corvanix Now ?" ||
                             (FindWindowA(nullptr, "Corvanix") && FindWindowA(nullptr, "Startup")); }, 15000);
        WaitFor([&] { return text != "Installation Complete." || FindCorvanixWindow(); }, 15000);
        Sleep(1000);
        HWND front = GetForegroundWindow();
        RECT r = {};
        GetWindowRect(front, &r);
        POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        if (MessageBoxText(front) != text || GetAncestor(WindowFromPoint(centre), GA_ROOT) != front)
            behind.push_back(text);
        return text.find("Start") != std::string::npos ? IDYES : 0;
    };
    remove.Welcome = Remove;
    ASSERT_TRUE(Run(&install) && Run(&remove));
    EXPECT_EQ(install.Boxes, Installed);
    EXPECT_TRUE(behind.empty()) << ::testing::PrintToString(behind);
}

TEST_F(SetupTest, OnlySystemsBeforeVersion4AreAskedAboutTheVersion)
{
    for (const char* version : {"win95", "nt40", "nt351"}) {
        SetWineVersionFor("setup.exe", version);
        SetupScript script;
        script.WelcomeKey = 'C';
        ASSERT_TRUE(Run(&script)) << version;
        EXPECT_TRUE(script.Boxes.empty()) << version << ": " << script.Boxes.front();
        EXPECT_EQ(script.Screens, std::vector<std::string>{"WELCOME"}) << version;
    }
    SetWineVersionFor("setup.exe", "win30");
    SetupScript script;
    script.Answer = [](const std::string&) { return IDNO; };
    ASSERT_TRUE(Run(&script));
    EXPECT_EQ(script.Boxes,
              std::vector<std::string>{
                  "Corvanix Setup: Corvanix Requires Microsoft Windows Version 4.0\n"
                  "or Microsoft Windows NT Version 3.51 (or later).\n\n"
                  "This computer does not appear to be running one of\n"
                  "these operating systems.\n\n"
                  "Do you want to continue with installation anyway ?"});
    EXPECT_TRUE(script.Screens.empty());
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(SetupTest, CancelInstallsNothing)
{
    SetupScript atHotKey = Installing(true);
    atHotKey.WelcomeKey = 'I';
    atHotKey.Welcome = IDCANCEL;
    atHotKey.HotKeyButton = IDCANCEL;
    ASSERT_TRUE(Run(&atHotKey));
    EXPECT_EQ(atHotKey.Screens, (std::vector<std::string>{"WELCOME", "HOTKEY"}));
    EXPECT_TRUE(atHotKey.Boxes.empty());
    EXPECT_FALSE(KeyExists(ProductKeyName));

    // Cancel on the logon question: the hot key is stored already.
    SetupScript atLogon = Installing(true);
    atLogon.Answer = [](const std::string&) { return IDCANCEL; };
    ASSERT_TRUE(Run(&atLogon));
    EXPECT_EQ(atLogon.Boxes,
              std::vector<std::string>{"Corvanix Setup: Automatically Start Corvanix Upon Logon ?"});
    EXPECT_EQ(ProductDword("HotKey"), (DWORD)VK_PAUSE);
    EXPECT_FALSE(Exists(SystemDir() + "Corvanix.exe"));
    EXPECT_FALSE(Exists(GroupDir()));
}

TEST_F(SetupTest, ASecondSetupLeavesTheFirstAlone)
{
    SetupProcess first;
    ASSERT_TRUE(first.Start(source));
    ASSERT_TRUE(WaitFor([&] { return first.FindWindowOf([](HWND w) { return GetDlgItem(w, Install) != nullptr; }); },
                        15000));
    SetupScript second;
    ASSERT_TRUE(Run(&second));
    EXPECT_EQ(second.Boxes, std::vector<std::string>{"Corvanix Setup: Corvanix Setup is already running."});
    EXPECT_TRUE(second.Screens.empty());

    SetupScript rest;
    rest.Welcome = IDCANCEL;
    ASSERT_TRUE(first.Run(&rest));
    EXPECT_EQ(rest.Screens, std::vector<std::string>{"WELCOME"});
    EXPECT_EQ(first.ExitCode(), 0u);
}

} // namespace
