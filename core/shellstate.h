// The one process-wide record of window handles, menus, icons, cursors,
// operating-system flags, the folder list and the current folder, and the
// flags that the interface thread shares with the refresh thread.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/product.h"
#include "core/contained.h"
#include "core/shellcache.h"

struct Folder;

// Private messages of the main window (1126, the installer's, is in
// common/product.h).
const UINT WM_SHOWMAINWINDOW = WM_USER + 101;  // 1125: a second start asks to come forward
const UINT WM_TRAYICON = WM_USER + 103;        // 1127: mouse event on the tray icon
// Posted by the refresh thread when a gathered pass waits to be applied.
const UINT WM_APPLYREFRESH = WM_APP + 1;
// Drag feedback sent to the list view under the cursor.
const UINT WM_DROPHOVER = 555;

// Hot-key identifier of the global hot key; folders use their pane index.
const int GlobalHotKeyId = 0xBFF0;  // 49136

// Entries of IconTable and CursorTable.
enum IconEntry {
    IconTaskbar, IconNoClass, IconNot, IconCopy, IconMove, IconView, IconOpenView, IconShortcut,
    IconEntries
};
enum CursorEntry {
    CursorArrow, CursorSizeWE, CursorCopy, CursorMove, CursorCopyMany, CursorMoveMany, CursorNot,
    CursorEntries
};

// Show and hide requests to another thread's window that its owner has
// not carried out yet: whether it is to be visible, the command last
// asked for, the command last sent (a hide may wait for the owner's
// answer), and the number of the answer that tells the last one sent is
// carried out (0 when no answer could be asked for).
struct PendingShow {
    bool Visible;
    int Command;
    int Sent;
    ULONG_PTR Request;
};

struct MessageGuard;
struct RefreshPass;

// What the put-away record (store/putaway.h) last wrote, value by value,
// and the process and class of each window in it, read once per window.
struct PutAwayRecordState {
    std::vector<std::string> Written;
    std::unordered_map<HWND, std::string> Identities;
};

struct ShellStateRecord {
    HINSTANCE Instance;

    HWND MainWindow;
    HWND FolderPane;
    HWND ItemList;
    HWND StatusWindow;
    HWND ToolbarWindow;
    WNDPROC FolderPaneDefaultProc;
    WNDPROC ItemListDefaultProc;

    HIMAGELIST FolderImages;

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
    BOOL Splitting;

    // The folders in the order of the folder pane, whose rows mirror them.
    std::vector<Folder*> Folders;
    Folder* CurrentFolder;
    int CurrentFolderIndex;

    // Windows that were hidden when the program started, and the desktop
    // and taskbar windows; filled once at start-up.
    ContainedList SystemTaskList;

    // Show and hide requests not yet carried out by their windows' owners,
    // and the number of the latest.
    std::unordered_map<HWND, PendingShow> PendingShows;
    ULONG_PTR ShowRequests;

    PutAwayRecordState PutAwayRecord;

    // The child that had the focus when the main window was deactivated.
    HWND LastFocus;

    // The refresh thread, the event that ends it, whether a gathered pass
    // still waits to be applied, and that pass: the refresh thread leaves
    // it here and only tells the main window that it is ready.
    HANDLE RefreshThreadHandle;
    HANDLE RefreshStop;
    std::atomic<LONG> PassPending;
    std::atomic<RefreshPass*> ReadyPass;

    // The message handling in progress on the interface thread that a
    // fault may return to (core/faultguard.h). The handlers that watch
    // for faults (app/faults.h) belong to the process, not to one run of
    // start-up: ResetShellState leaves them alone.
    std::atomic<MessageGuard*> InnermostGuard;
    PVOID FaultHandler;
    BOOL LastResortInstalled;
    LPTOP_LEVEL_EXCEPTION_FILTER PreviousFaultFilter;
    std::atomic<LONG> EndingAfterFault;

    // The thread that carries help requests to the viewer, started by the
    // first of them (core/help.cpp).
    HANDLE HelpThread;
    DWORD HelpThreadId;

    // The shell's answers about files, kept for the run (core/shellcache.h).
    ShellCacheRecord ShellCache;
};

extern ShellStateRecord ShellState;

// Puts the record back to its state before start-up.
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
