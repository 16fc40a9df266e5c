// Benchmark of large folders: start-up with 500 shortcuts in the first
// folder, entering another folder of 500, a drop of 500 files onto the item
// list, and 5 more files dropped onto that folder. For each, the time until
// every row is shown, and the longest time the main window went without
// answering a message (a thread of its own asks it every few milliseconds).
// Then the saves of 60 folders of 400 shortcuts (the first one after the
// start, one after a single change) and the Exit, and a start and an Exit
// with a folder of 20,000 shortcuts edited in by hand.
//
// Prints figures; asserts nothing. Run with scripts/bench.sh.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/mainwnd.h"
#include "common/product.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/itemrows.h"
#include "winkit/winutil.h"
#include "answer_watch.h"
#include "app_session.h"
#include "file_drop.h"
#include "registry_values.h"
#include "session_probe.h"
#include "wait.h"

namespace {

const int Shortcuts = 500;
const char FilesDirectory[] = "C:\\bench";

double Now()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

std::string FileName(const char* stem, int i)
{
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%s\\%s%03d.txt", FilesDirectory, stem, i);
    return name;
}

void MakeFiles(const char* stem, int count)
{
    CreateDirectoryA(FilesDirectory, nullptr);
    for (int i = 0; i < count; i++) {
        HANDLE file = CreateFileA(FileName(stem, i).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
}

// The icon of shortcut j of a folder whose shortcuts have icons of their
// own: one of the shell library's, its path written three ways.
struct IconSource {
    std::string File;
    int Index;
};

IconSource OwnIconOf(int j)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string library[3] = {"shell32.dll", std::string(system) + "\\shell32.dll",
                                    std::string(system) + "\\..\\system32\\shell32.dll"};
    int icons = (int)(INT_PTR)ExtractIconA(GetModuleHandleA(nullptr), "shell32.dll", (UINT)-1);
    if (icons <= 0)
        icons = 1;
    return {library[(j / icons) % 3], j % icons};
}

// A folder of shortcuts to documents, as drops of those files make them;
// without a program, each shortcut shows an icon of its own.
void StoreFolder(int index, const char* title, const char* stem, int count, const char* program)
{
    HKEY folders = nullptr, key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, FoldersKeyName, 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &folders, nullptr);
    PutText(folders, std::to_string(index), title);
    RegCreateKeyExA(folders, std::to_string(index).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    PutDword(key, "0", 0);
    PutDword(key, "1", 0);
    for (int j = 0; j < count; j++) {
        std::string n = std::to_string(j);
        IconSource own = OwnIconOf(j);
        PutText(key, "T" + n, std::string(stem) + std::to_string(j));
        PutText(key, "C" + n, FileName(stem, j));
        PutText(key, "D" + n, FilesDirectory);
        PutText(key, "I" + n, program ? program : own.File);
        PutDword(key, "X" + n, program ? 0 : own.Index);
        PutDword(key, "V" + n, 1);
        PutDword(key, "O" + n, 1);
    }
    RegCloseKey(key);
    RegCloseKey(folders);
}

// Every value a save writes, for each of the folder's shortcuts.
void StoreWholeFolder(int index, int count)
{
    HKEY folders = nullptr, key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, FoldersKeyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &folders, nullptr);
    PutText(folders, std::to_string(index), "Folder " + std::to_string(index));
    RegCreateKeyExA(folders, std::to_string(index).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    PutDword(key, "0", 0);
    PutDword(key, "1", 0);
    for (int j = 0; j < count; j++) {
        std::string n = std::to_string(j);
        PutText(key, "T" + n, "Shortcut " + std::to_string(index) + "." + n);
        PutText(key, "C" + n, "C:\\Programs\\program" + n + ".exe -x");
        PutText(key, "D" + n, "C:\\Programs");
        PutText(key, "I" + n, "");
        for (const char* letter : {"X", "W", "P", "V", "N"})
            PutDword(key, letter + n, 0);
        PutDword(key, "O" + n, 1);
        LONG position[2] = {0, 0};
        RegSetValueExA(key, ("Z" + n).c_str(), 0, REG_BINARY, (const BYTE*)position,
                       sizeof position);
    }
    RegCloseKey(key);
    RegCloseKey(folders);
}

double TimedSave()
{
    double began = Now();
    SaveLayoutAndSettings();
    double took = Now() - began;
    PumpFor(100);
    return took;
}

void ReportTime(const char* what, double took, const char* note = "")
{
    printf("  %-38s %8.0f ms%s\n", what, took, note);
    fflush(stdout);
}

void ManyFolders()
{
    const int folders = 60, shortcuts = 400;
    printf("\nSaves of %d folders of %d shortcuts\n\n", folders, shortcuts);
    FreshStart();
    for (int i = 0; i < folders; i++)
        StoreWholeFolder(i, shortcuts);
    AppSession session;
    double began = Now();
    session.Start();
    ReportTime("start-up", Now() - began);
    ReportTime("the first save", TimedSave());
    FolderAt(30)->First->Next->Title.Set("Changed");
    ReportTime("a save after one change", TimedSave());
    RemoveShortcut(FolderAt(45), FolderAt(45)->First);
    began = Now();
    session.Exit();
    ReportTime("Exit after one deletion", Now() - began);
    // Every value written afresh: the registry emptied behind a running
    // program, as a removal does.
    session.Start();
    CleanRegistry();
    ReportTime("a save of everything anew", TimedSave());
    session.Exit();
    CleanRegistry();
}

void HandEditedFolder()
{
    const int shortcuts = 20000;
    printf("\nA folder of %d shortcuts edited in by hand\n\n", shortcuts);
    FreshStart();
    StoreWholeFolder(0, shortcuts);
    AnswerWatch watch;
    AppSession session;
    watch.Reset();
    double began = Now();
    session.Start();
    char note[96];
    snprintf(note, sizeof note, "   longest without answer %7.0f ms   %d shortcuts taken in",
             watch.Longest(), ShortcutCount(FolderAt(0)));
    ReportTime("start-up", Now() - began, note);
    began = Now();
    session.Exit();
    ReportTime("Exit", Now() - began);
    CleanRegistry();
}

int ShortcutRows()
{
    int rows = 0;
    for (int row = 0; row < ItemRows(); row++)
        if (ItemCell(row, 1) == "Shortcut")
            rows++;
    return rows;
}

// Waits, pumping, until the current folder's rows are all shown and no
// rebuild is pending any more (after the work changed the generation, when
// it is to), then prints the figures of what started at `began`.
void Report(const char* what, double began, AnswerWatch& watch, int wanted, LONG generation = -1)
{
    bool done = WaitFor([&] {
        if (generation >= 0 && ShellState.RefreshGeneration == generation)
            return false;
        int count = ShortcutCount(ShellState.CurrentFolder);
        return !ShellState.RefreshRequested && count >= wanted && ShortcutRows() >= count;
    }, 300000, 2);
    double took = Now() - began;
    PumpFor(100);  // the last question is answered
    printf("  %-38s %8.0f ms   longest without answer %7.0f ms   %d rows%s\n", what, took,
           watch.Longest(), ShortcutRows(), done ? "" : "  (not all)");
    fflush(stdout);
}

// Answers every message box of this process with its default button, as a
// user who reads it would.
class BoxAnswerer {
public:
    BoxAnswerer() : thread_([this] { Run(); }) {}
    ~BoxAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    int Answered() const { return answered_; }

private:
    static BOOL CALLBACK Answer(HWND window, LPARAM self)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            lstrcmpA(className, "#32770") == 0) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            ((BoxAnswerer*)self)->answered_++;
        }
        return TRUE;
    }
    void Run()
    {
        while (!stop_) {
            EnumWindows(Answer, (LPARAM)this);
            Sleep(50);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

POINT EmptySpot()
{
    RECT client;
    GetClientRect(ShellState.ItemList, &client);
    return POINT{client.right - 40, client.bottom - 30};
}

// What the icons of that folder cost without the program around them, one
// step at a time: extracting them (as the shell cache does), drawing the
// shortcut arrow over each at both sizes, adding both to image lists.
void IconFloors()
{
    std::vector<HICON> icons, arrowed;
    double began = Now();
    for (int j = 0; j < Shortcuts; j++) {
        IconSource own = OwnIconOf(j);
        HICON icon = ExtractIconA(GetModuleHandleA(nullptr), own.File.c_str(), (UINT)own.Index);
        if ((UINT_PTR)icon > 1)
            icons.push_back(icon);
    }
    double extracted = Now() - began;
    began = Now();
    for (HICON icon : icons) {
        arrowed.push_back(OverlayIcon(icon, ShellState.IconTable[IconShortcut], 32));
        arrowed.push_back(OverlayIcon(icon, ShellState.IconTable[IconShortcut], 16));
    }
    double overlaid = Now() - began;
    HIMAGELIST large = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 16, 32);
    HIMAGELIST small = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 16, 32);
    began = Now();
    for (size_t i = 0; i + 1 < arrowed.size(); i += 2) {
        ImageList_AddIcon(large, arrowed[i]);
        ImageList_AddIcon(small, arrowed[i + 1]);
    }
    double added = Now() - began;
    ImageList_Destroy(large);
    ImageList_Destroy(small);
    for (HICON icon : icons)
        DestroyIcon(icon);
    for (HICON icon : arrowed)
        if (icon)
            DestroyIcon(icon);
    printf("  bare steps for %d icons: ExtractIcon %.0f ms, arrow at two sizes %.0f ms, "
           "adding to two image lists %.0f ms\n", (int)icons.size(), extracted, overlaid, added);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // "icons": only the start-up and the folder of icons of their own.
    bool iconsOnly = argc > 1 && strcmp(argv[1], "icons") == 0;
    printf("Large folder benchmark (%d shortcuts; times until every row is shown)\n\n", Shortcuts);
    MakeFiles("note", Shortcuts);
    MakeFiles("paper", Shortcuts);
    MakeFiles("drop", Shortcuts + 5);
    char program[MAX_PATH] = "";
    FindExecutableA(FileName("note", 0).c_str(), "", program);

    FreshStart();
    StoreFolder(0, "Main", "note", Shortcuts, program);
    StoreFolder(1, "Other", "paper", Shortcuts, program);
    StoreFolder(2, "Drops", "none", 0, program);
    StoreFolder(3, "Own icons", "paper", Shortcuts, nullptr);

    AnswerWatch watch;
    AppSession session;
    Settings.View = 0;  // large icons
    watch.Reset();
    double began = Now();
    session.Start();
    Report("start-up with 500 shortcuts in the folder", began, watch, Shortcuts);

    if (!iconsOnly) {
        watch.Reset();
        began = Now();
        PostMessageA(ShellState.MainWindow, WM_HOTKEY, 1, 0);
        Report("entering another folder of 500", began, watch, Shortcuts);
    }

    watch.Reset();
    began = Now();
    PostMessageA(ShellState.MainWindow, WM_HOTKEY, 3, 0);
    Report("entering 500 with icons of their own", began, watch, Shortcuts);
    WaitFor([] { return RowsAwaitingImages() == 0; }, 300000, 2);
    printf("  %-38s %8.0f ms   longest without answer %7.0f ms\n",
           "  ... until every icon is shown", Now() - began, watch.Longest());
    IconFloors();
    if (iconsOnly) {
        session.Exit();
        CleanRegistry();
        return 0;
    }

    PostMessageA(ShellState.MainWindow, WM_HOTKEY, 2, 0);
    WaitFor([] { return ShellState.CurrentFolder == FolderAt(2) && ItemRows() == 0; }, 30000);
    PumpFor(500);
    BoxAnswerer boxes;
    std::vector<std::string> files;
    for (int i = 0; i < Shortcuts; i++)
        files.push_back(FileName("drop", i));
    watch.Reset();
    LONG generation = ShellState.RefreshGeneration;
    began = Now();
    PostMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop(files, EmptySpot()), 0);
    Report("a drop of 500 files onto the item list", began, watch, Shortcuts, generation);

    // Onto a full folder: what does not fit is refused at once.
    files.clear();
    for (int i = Shortcuts; i < Shortcuts + 5; i++)
        files.push_back(FileName("drop", i));
    PumpFor(500);
    watch.Reset();
    generation = ShellState.RefreshGeneration;
    began = Now();
    PostMessageA(ShellState.ItemList, WM_DROPFILES, (WPARAM)MakeDrop(files, EmptySpot()), 0);
    Report("5 more files onto that folder", began, watch, Shortcuts, generation);
    printf("  (%d message boxes answered)\n", boxes.Answered());

    // The save after the drops, as at Exit or at the Setup dialog's OK
    // with the window on screen: the new shortcuts are written.
    int saved = 0;
    for (int i = 0; i < FolderCount(); i++)
        saved += ShortcutCount(FolderAt(i));
    watch.Reset();
    began = Now();
    SaveLayoutAndSettings();
    double took = Now() - began;
    PumpFor(100);
    printf("  %-38s %8.0f ms   longest without answer %7.0f ms   %d shortcuts\n",
           "the save after the drops", took, watch.Longest(), saved);

    session.Exit();
    CleanRegistry();

    ManyFolders();
    HandEditedFolder();
    return 0;
}
