// The toolbar: its button table, its creation, and the answers it asks for
// (tooltips and the customisation list).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

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
// The arrangement: the buttons from left to right, each by its command,
// 0 for a separator.
std::vector<int> ToolbarArrangement();
// The most entries (buttons and separators) an arrangement may have.
const int ToolbarMaxArrangement = 64;
// Puts the buttons of an arrangement on the toolbar, each as the table has
// it; an empty one empties it. An arrangement that is not a valid list of
// known buttons and separators (a command the table does not know, a
// button twice, too many entries) leaves the toolbar as it is: the default
// arrangement.
void ApplyToolbarArrangement(const std::vector<int>& buttons);
// TBN_GETBUTTONINFO: entry n of the customisation list; FALSE once it ends.
BOOL ToolbarOnGetButtonInfo(NMTOOLBARA* request);
