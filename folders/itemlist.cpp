#include "folders/itemlist.h"

#include <stdio.h>

#include "app/shellstate.h"
#include "folders/model.h"

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(ShellState.ItemListDefaultProc, list, message, wParam, lParam);
}

bool ConfirmDeleteShortcut(Shortcut* shortcut)
{
    char question[MaxText + 64];
    snprintf(question, sizeof question, "Confirm Delete of Shortcut \"%s\".", shortcut->Title.Get());
    int answer = MessageBoxA(ShellState.MainWindow, question, "Delete Shortcut",
                             MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES)
        RemoveShortcut(ShellState.CurrentFolder, shortcut);
    return true;
}

void RenameShortcut(Shortcut* shortcut, const char* text)
{
    shortcut->Title.Set(text);
}
