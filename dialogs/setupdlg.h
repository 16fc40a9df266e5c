// The Setup dialog: the program's options, the toolbar's own customisation
// and the colour of the two lists.
#pragma once
#include <windows.h>

// Runs the dialog (template "SETUP") owned by owner. The global hot key is
// unregistered while it is open and registered again when it closes. OK
// applies every option at once and returns 1: the caller then saves the
// settings. Cancel (or the close box) returns 0; a colour or a toolbar
// arrangement confirmed in their own dialogs stays in force either way.
INT_PTR RunSetupDialog(HWND owner);

// Places the main window above all others, or among them, as Settings Top
// says; position and size stay.
void ApplyAlwaysOnTop();

// Runs the colour chooser preset to *color; true, with the chosen colour
// stored, when the user confirms it, false with *color unchanged otherwise.
bool ChooseListColor(HWND owner, COLORREF* color);

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
