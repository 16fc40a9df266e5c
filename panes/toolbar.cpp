#include "panes/toolbar.h"

#include <algorithm>

#include "model/shellstate.h"
#include "panes/commandids.h"

#define SEPARATOR {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0}
#define BUTTON(image, command, style) {image, command, TBSTATE_ENABLED, style, {0}, 0, 0}

const TBBUTTON ToolbarButtonTable[ToolbarEntries] = {
    SEPARATOR,                                              // 0
    BUTTON(0, IDM_OPEN, TBSTYLE_BUTTON),                    // 1
    BUTTON(2, IDM_MINIMIZE, TBSTYLE_BUTTON),                // 2
    SEPARATOR,                                              // 3
    BUTTON(5, IDM_CLOSE, TBSTYLE_BUTTON),                   // 4
    SEPARATOR,                                              // 5
    BUTTON(19, IDM_CREATESHORTCUT, TBSTYLE_BUTTON),         // 6
    SEPARATOR,                                              // 7
    BUTTON(6, IDM_PROPERTIES, TBSTYLE_BUTTON),              // 8
    SEPARATOR,                                              // 9
    BUTTON(11, IDM_FOLDERS, TBSTYLE_CHECK),                 // 10
    SEPARATOR,                                              // 11
    BUTTON(7, IDM_LARGEICONS, TBSTYLE_CHECKGROUP),          // 12
    BUTTON(8, IDM_SMALLICONS, TBSTYLE_CHECKGROUP),          // 13
    BUTTON(9, IDM_LIST, TBSTYLE_CHECKGROUP),                // 14
    BUTTON(10, IDM_DETAILS, TBSTYLE_CHECKGROUP),            // 15
    SEPARATOR,                                              // 16
    BUTTON(13, IDM_HELP_CONTENTS, TBSTYLE_BUTTON),          // 17
    BUTTON(1, IDM_HIDE, TBSTYLE_BUTTON),                    // 18
    BUTTON(18, IDM_SHOW, TBSTYLE_BUTTON),                   // 19
    BUTTON(3, IDM_MAXIMIZE, TBSTYLE_BUTTON),                // 20
    BUTTON(4, IDM_RENAME, TBSTYLE_BUTTON),                  // 21
    BUTTON(16, IDM_RUN, TBSTYLE_BUTTON),                    // 22
    BUTTON(12, IDM_SETUP, TBSTYLE_BUTTON),                  // 23
    BUTTON(15, IDM_EXIT, TBSTYLE_BUTTON),                   // 24
    BUTTON(17, IDM_SCREENSAVER, TBSTYLE_BUTTON),            // 25
    BUTTON(14, IDM_ABOUT, TBSTYLE_BUTTON),                  // 26
};

namespace {

struct CommandString {
    int Command;
    UINT String;
};

const CommandString CommandStrings[] = {
    {IDM_OPEN, IDS_OPEN},
    {IDM_HIDE, IDS_HIDE},
    {IDM_SHOW, IDS_SHOW},
    {IDM_MINIMIZE, IDS_MINIMIZE},
    {IDM_MAXIMIZE, IDS_MAXIMIZE},
    {IDM_CLOSE, IDS_CLOSE},
    {IDM_CREATESHORTCUT, IDS_CREATESHORTCUT},
    {IDM_PROPERTIES, IDS_PROPERTIES},
    {IDM_RENAME, IDS_RENAME},
    {IDM_SETUP, IDS_SETUP},
    {IDM_EXIT, IDS_EXIT},
    {IDM_HELP_CONTENTS, IDS_HELP},
    {IDM_ABOUT, IDS_ABOUT},
    {IDM_LARGEICONS, IDS_LARGEICONS},
    {IDM_LIST, IDS_LIST},
    {IDM_RUN, IDS_RUN},
    {IDM_SMALLICONS, IDS_SMALLICONS},
    {IDM_DETAILS, IDS_DETAILS},
    {IDM_SCREENSAVER, IDS_SCREENSAVER},
    {IDM_FOLDERS, IDS_FOLDERLIST},
};

const int BitmapImages = 20;
const int ImageWidth = 18;
const int ImageHeight = 17;

} // namespace

HWND CreateToolbarWindow(HWND parent, HINSTANCE instance)
{
    return CreateToolbarEx(parent, WS_CHILD | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE,
                           IDC_TOOLBARWINDOW, BitmapImages, instance, IDB_TOOLBAR,
                           ToolbarButtonTable, ToolbarShownEntries, 0, 0,
                           ImageWidth, ImageHeight, sizeof(TBBUTTON));
}

UINT ToolbarStringOfCommand(int command)
{
    for (const CommandString& entry : CommandStrings)
        if (entry.Command == command)
            return entry.String;
    return 0;
}

UINT ToolbarStringOfEntry(int entry)
{
    if (entry < 0 || entry >= ToolbarEntries || ToolbarButtonTable[entry].fsStyle == TBSTYLE_SEP)
        return 0;
    return ToolbarStringOfCommand(ToolbarButtonTable[entry].idCommand);
}

void ToolbarOnNeedText(NMHDR* header)
{
    TOOLTIPTEXTA* tip = (TOOLTIPTEXTA*)header;
    UINT string = ToolbarStringOfCommand((int)header->idFrom);
    if (!string)
        return;
    tip->hinst = ShellState.Instance;
    tip->lpszText = MAKEINTRESOURCEA(string);
}

BOOL ToolbarOnGetButtonInfo(NMTOOLBARA* request)
{
    int entry = request->iItem;
    if (entry < 0 || entry >= ToolbarEntries)
        return FALSE;
    request->tbButton = ToolbarButtonTable[entry];
    if (request->pszText && request->cchText > 0) {
        char name[64] = "";
        UINT string = ToolbarStringOfEntry(entry);
        if (string)
            LoadStringA(ShellState.Instance, string, name, sizeof name);
        lstrcpynA(request->pszText, name, request->cchText);
        request->cchText = lstrlenA(request->pszText);
    }
    return TRUE;
}

std::vector<int> ToolbarArrangement()
{
    std::vector<int> buttons;
    int count = (int)SendMessageA(ShellState.ToolbarWindow, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        if (!SendMessageA(ShellState.ToolbarWindow, TB_GETBUTTON, i, (LPARAM)&button))
            continue;
        buttons.push_back(button.fsStyle & TBSTYLE_SEP ? 0 : button.idCommand);
    }
    return buttons;
}

void ApplyToolbarArrangement(const std::vector<int>& buttons)
{
    // Only a list of known buttons, each at most once, and separators
    // replaces the default arrangement: anything else was not written by
    // us, and would give a toolbar of garbage. A list without buttons is a
    // toolbar the user emptied.
    static const TBBUTTON separator = ToolbarButtonTable[0];
    std::vector<TBBUTTON> wanted;
    std::vector<int> placed;
    if (buttons.size() > (size_t)ToolbarMaxArrangement)
        return;
    for (int command : buttons) {
        if (command == 0) {
            wanted.push_back(separator);
            continue;
        }
        const TBBUTTON* known = nullptr;
        for (const TBBUTTON& entry : ToolbarButtonTable)
            if (!(entry.fsStyle & TBSTYLE_SEP) && entry.idCommand == command)
                known = &entry;
        if (!known || std::find(placed.begin(), placed.end(), command) != placed.end())
            return;
        placed.push_back(command);
        wanted.push_back(*known);
    }
    HWND toolbar = ShellState.ToolbarWindow;
    while (SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!SendMessageA(toolbar, TB_DELETEBUTTON, 0, 0))
            break;
    if (!wanted.empty())
        SendMessageA(toolbar, TB_ADDBUTTONSA, wanted.size(), (LPARAM)wanted.data());
}
