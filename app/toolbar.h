// The toolbar: its button table, its creation, and the answers it asks for
// (tooltips and the customisation list).
#pragma once
#include <windows.h>
#include <commctrl.h>

// The 27 buttons the toolbar knows; the first 18 are shown at first, the
// rest are offered when the user customises it.
const int ToolbarEntries = 27;
const int ToolbarShownEntries = 18;
extern const TBBUTTON ToolbarButtonTable[ToolbarEntries];

// Creates the (hidden) toolbar window of the main window.
HWND CreateToolbarWindow(HWND parent, HINSTANCE instance);

// The string id naming a command's button, 0 for none.
UINT ToolbarStringOfCommand(int command);
// The string id naming a button-table entry, 0 for separators.
UINT ToolbarStringOfEntry(int entry);

// TTN_NEEDTEXT: points the tooltip at the command's string resource.
void ToolbarOnNeedText(NMHDR* header);
// TBN_RESTORE: fills in each restored button from the table by its
// command, so that a saved arrangement comes back with its images.
LRESULT ToolbarOnRestore(NMTBRESTORE* restore);
// TBN_GETBUTTONINFO: entry n of the customisation list; FALSE once it ends.
BOOL ToolbarOnGetButtonInfo(NMTOOLBARA* request);
