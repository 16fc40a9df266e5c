#include "folders/folderpane.h"

#include "app/shellstate.h"

LRESULT CALLBACK FolderPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(ShellState.FolderPaneDefaultProc, pane, message, wParam, lParam);
}
