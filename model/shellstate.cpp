#include "model/shellstate.h"

ShellStateRecord ShellState;

void ResetShellState()
{
    ShellState.Instance = nullptr;
    ShellState.MainWindow = ShellState.FolderPane = ShellState.ItemList = nullptr;
    ShellState.StatusWindow = ShellState.ToolbarWindow = nullptr;
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
    ShellState.Active = ShellState.Busy = FALSE;
    ShellState.CurrentFolder = nullptr;
    ShellState.CurrentFolderIndex = 0;
}

namespace {
struct ShellStateInitialiser {
    ShellStateInitialiser() { ResetShellState(); }
} shellStateInitialiser;
}
