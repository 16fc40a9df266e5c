// What the user does to the selected rows of the item list: open, hide,
// show, minimise, maximise, close, properties; and to one row by
// double-clicking it.
#pragma once
#include <windows.h>

// The commands (each walks the selected rows in index order; with no row
// selected the caller has already said so).
void OpenSelected();
void HideSelected();
void ShowSelected();
void MinimizeSelected();
void MaximizeSelected();
void CloseSelected();
void PropertiesOfSelected();

// The Task Properties dialog for a window; after OK its process gets the
// priority chosen, and a title changed through its Shortcut... labels the
// window's row. 1 after OK (or when the window has no title or
// its process cannot be opened, and the dialog never shows), 2 after
// Cancel or the close box.
INT_PTR ShowTaskProperties(HWND window);

// The double-click on the row under the last message's position.
void ActivateRowAtCursor();
// Starts or brings up what one row stands for.
void ActivateRow(int row);

// A Task's window takes the edited label as its text; false when the
// window has gone.
bool RenameTask(HWND window, const char* text);

// Sends a system command to another application's window, waiting for it
// at most a short while (never for a hung application).
void SendSystemCommand(HWND window, WPARAM command);

// How long CloseWatch waits before it asks, in milliseconds.
const DWORD CloseWatchDelay = 5000;
