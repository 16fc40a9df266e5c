// The commands that open the Folder Properties and Setup dialogs, with
// what surrounds each dialog: the busy mark, the hot keys, the save.
#pragma once
#include <windows.h>

// New (folder menu, Insert in the folder pane): the dialog in new-folder
// mode. The new folder's hot key is registered at once, with the box that
// tells who holds it when it cannot be.
void NewFolderCommand();

// Properties (folder menu, Alt+Enter in the folder pane): the dialog on the
// selected folder, with every hot key released while it is open and
// registered again afterwards, whatever the dialog's result. Nothing
// happens when no folder row is selected.
void FolderPropertiesCommand();

// Setup (File menu, toolbar): the Setup dialog; after OK everything is
// saved.
void SetupCommand();
