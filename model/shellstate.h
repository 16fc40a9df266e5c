// The one process-wide record of what every part of the program reads:
// the instance, the main windows' handles, the menus, the icon and cursor
// tables, the system's flags, the current folder, and the flags that the
// interface thread shares with the refresh thread. Start-up writes it; the
// main window, the folder switch and the refresh keep the flags; the
// current folder is set by the model when it makes the first folder (and
// cleared when it frees it), by the folder switch, and by Folder
// Properties, which acts on the selected folder. Everything else is kept by the module that writes it
// (see the README's source tree).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>

struct Folder;

// Entries of IconTable and CursorTable.
enum IconEntry {
    IconTaskbar, IconNoClass, IconNot, IconCopy, IconMove, IconView, IconOpenView, IconShortcut,
    IconEntries
};
enum CursorEntry {
    CursorArrow, CursorSizeWE, CursorCopy, CursorMove, CursorCopyMany, CursorMoveMany, CursorNot,
    CursorEntries
};

struct ShellStateRecord {
    HINSTANCE Instance;

    HWND MainWindow;
    HWND FolderPane;
    HWND ItemList;
    HWND StatusWindow;
    HWND ToolbarWindow;

    HMENU ItemMenu;
    HMENU FolderMenu;
    HMENU MoveToMenu;
    HMENU CopyToMenu;

    HICON IconTable[IconEntries];
    HCURSOR CursorTable[CursorEntries];

    BOOL IsNT;
    BOOL IsNewShell;
    int FrameWidth;

    // Shared with the refresh thread. RefreshGeneration counts the rebuild
    // requests: a pass gathered before the latest one is stale.
    std::atomic<LONG> Hidden;
    std::atomic<LONG> RefreshRequested;
    std::atomic<LONG> RefreshGeneration;

    BOOL Active;
    BOOL Busy;

    // The folder selected in the folder pane (model/model.h keeps the
    // list), and its row.
    Folder* CurrentFolder;
    int CurrentFolderIndex;
};

extern ShellStateRecord ShellState;

// Puts the record back to its state before start-up (the tests start the
// program many times in one process; app/startup.h resets every module).
void ResetShellState();

// Asks the refresh to rebuild the item list (the folder, its shortcuts or
// the options changed); it also cuts the refresh thread's wait short.
inline void RequestRefresh()
{
    ShellState.RefreshGeneration++;
    ShellState.RefreshRequested = 1;
}

inline HICON DefaultIcon()
{
    return ShellState.IconTable[IconNoClass];
}

// Runs a modal piece of work with Busy set, so that automatic close leaves
// the window alone meanwhile.
template <class Work>
void RunBusy(Work work)
{
    BOOL wasBusy = ShellState.Busy;
    ShellState.Busy = TRUE;
    work();
    ShellState.Busy = wasBusy;
}
