// The commands that open the dialogs, with what surrounds each dialog: the
// busy mark, the hot keys, the save; and the applying of what the dialog
// gives back, which no dialog does itself.
#pragma once
#include <windows.h>

struct Shortcut;

// New (folder menu, Insert in the folder pane): the dialog in new-folder
// mode. The new folder's hot key is registered at once, with the box that
// tells who holds it when it cannot be.
void NewFolderCommand();

// Properties (folder menu, Alt+Enter in the folder pane): the dialog on the
// selected folder, with every hot key released while it is open and
// registered again afterwards, whatever the dialog's result. Nothing
// happens when no folder row is selected.
void FolderPropertiesCommand();

// Setup (File menu, toolbar): the Setup dialog, with the global hot key
// released while it is open; after OK every option applies and everything
// is saved.
void SetupCommand();

// Run (File menu, toolbar): the Run dialog; a command it started goes into
// the Run history.
void RunProgramCommand();

// Create Shortcut (toolbar, Insert in the item list): the Shortcut
// Properties dialog in create mode, owned by owner; OK makes the shortcut
// in the current folder. 1 when it was made; 0 after Cancel or the close
// box, and when the folder is full (a box says so) or the shortcut could
// not be made.
INT_PTR CreateShortcutCommand(HWND owner);

// The Shortcut Properties dialog on a shortcut of the current folder, owned
// by owner; OK stores its fields, and its title labels the shortcut's own
// row, or the row of taskWindow when the Task Properties dialog of that
// window opened it. 1 after OK, 0 otherwise.
INT_PTR EditShortcutCommand(HWND owner, Shortcut* shortcut, HWND taskWindow = nullptr);
