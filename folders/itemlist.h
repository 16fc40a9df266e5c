// The item list window: the running tasks and the current folder's
// shortcuts, with drag and drop and files dropped from the shell.
#pragma once
#include <windows.h>

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

struct Shortcut;

// Asks "Confirm Delete of Shortcut" for one shortcut row and removes it on
// Yes; false when the user chose Cancel (the walk over the selection ends).
bool ConfirmDeleteShortcut(Shortcut* shortcut);

// A shortcut takes the edited label as its title.
void RenameShortcut(Shortcut* shortcut, const char* text);
