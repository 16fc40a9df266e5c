#include "folders/itemlist.h"

#include "app/shellstate.h"

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(ShellState.ItemListDefaultProc, list, message, wParam, lParam);
}
