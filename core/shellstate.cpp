#include "core/shellstate.h"

ShellStateRecord ShellState;

void ResetShellState()
{
    ShellState.Instance = nullptr;
    ShellState.MainWindow = ShellState.FolderPane = ShellState.ItemList = nullptr;
    ShellState.StatusWindow = ShellState.ToolbarWindow = nullptr;
    ShellState.FolderPaneDefaultProc = ShellState.ItemListDefaultProc = nullptr;
    ShellState.FolderImages = nullptr;
    ShellState.ItemMenu = ShellState.FolderMenu = nullptr;
    ShellState.MoveToMenu = ShellState.CopyToMenu = nullptr;
    for (HICON& icon : ShellState.IconTable)
        icon = nullptr;
    for (HCURSOR& cursor : ShellState.CursorTable)
        cursor = nullptr;
    ShellState.IsNT = ShellState.IsNewShell = FALSE;
    ShellState.FrameWidth = 0;
    ShellState.Hidden = 0;
    ShellState.RefreshRequested = 1;  // the first pass builds the list
    ShellState.RefreshGeneration = 0;
    ShellState.Active = ShellState.Busy = ShellState.Splitting = FALSE;
    ShellState.Folders.clear();
    ShellState.CurrentFolder = nullptr;
    ShellState.CurrentFolderIndex = 0;
    ShellState.SystemTaskList.Clear();
    ShellState.LastFocus = nullptr;
    ShellState.PendingShows.clear();
    ShellState.ShowRequests = 0;
    ShellState.PutAwayRecord.Written.clear();
    ShellState.PutAwayRecord.Identities.clear();
    ShellState.RefreshThreadHandle = nullptr;
    ShellState.RefreshStop = nullptr;
    ShellState.PassPending = 0;
    ShellState.HelpThread = nullptr;
    ShellState.HelpThreadId = 0;
    ShellState.ReadyPass = nullptr;
    ShellState.InnermostGuard = nullptr;
    // Icons of an earlier run are gone with it.
    ShellState.ShellCache.Icons.clear();
    ShellState.ShellCache.Programs.clear();
    ShellState.ShellCache.Arrowed.clear();
}

namespace {
struct ShellStateInitialiser {
    ShellStateInitialiser() { ResetShellState(); }
} shellStateInitialiser;
}
