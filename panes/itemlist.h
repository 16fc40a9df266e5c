// The item list window: the running tasks and the current folder's
// shortcuts, with drag and drop and files dropped from the shell.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "model/settings.h"

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
// Makes a new list view the item list.
void SubclassItemList(HWND list);
// Forgets the list of an earlier run (the tests start the program many
// times in one process).
void ResetItemListWindow();

// Sets both list views' colours from Settings Color: the background, and
// black or white text, whichever reads better on it.
void ApplyListColors();

struct Folder;
struct Shortcut;

// Asks "Confirm Delete of Shortcut" for one shortcut row and removes it on
// Yes; false when the user chose Cancel (the walk over the selection ends).
bool ConfirmDeleteShortcut(Shortcut* shortcut);

// A shortcut takes the edited label as its title.
void RenameShortcut(Shortcut* shortcut, const char* text);

// Reads the name of a dropped file into a MaxText buffer; false when it
// cannot be read or does not fit.
bool ReadDroppedName(HDROP drop, UINT index, char* name);

// The row under a point of a list's client area, -1 when none.
int HitRow(HWND list, POINT client);

// What both lists leave to the list view's own procedure, but for
// Alt+Enter: the list view reports plain key presses only, and Alt+Enter,
// a system key, would never reach the main window's keyboard table. Both
// lists report it to the main window the way the list view reports the
// others.
LRESULT PassListMessage(HWND list, WNDPROC listViewProc, UINT message, WPARAM wParam, LPARAM lParam);

// Gives one row (or, with -1, none) the drop-target highlight.
void SetDropHighlight(HWND list, int row);

// Whether a WM_DROPHOVER is the item list's own drag asking: sent by this
// thread, with no parameters, while the drag holds the mouse. Any other is
// ignored.
bool IsOwnDropHover(WPARAM wParam, LPARAM lParam);
