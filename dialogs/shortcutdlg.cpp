#include "dialogs/shortcutdlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "dialogs/controlids.h"
#include "launch/launch.h"
#include "launch/shelllink.h"
#include "model/commandtext.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"

namespace {

const char NoticeCaption[] = "Corvanix Shortcut";
const int IconItemHeight = 36;

// What the dialog keeps while it is open.
struct ShortcutDialogState {
    Shortcut* Edited;  // null in create mode until OK makes it
    BOOL CreateMode;
    // The item-list row whose label takes the title (the shortcut's own, or
    // the Task's when the Task Properties dialog opened this one) and what
    // that row held then.
    int Row;
    LPARAM RowValue;
    HBRUSH CaptionBrush;
    HBRUSH FaceBrush;
    // The icon file, without quotes, whose icons the list shows.
    char IconFile[MaxText];
    int IconCount;
};

ShortcutDialogState* StateOf(HWND dialog)
{
    return (ShortcutDialogState*)GetWindowLongPtrA(dialog, DWLP_USER);
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// ExtractIcon answers the number of icons of a file for index -1; only
// its low word is a count.
int IconCountOf(const char* file)
{
    if (!file[0])
        return 0;
    return (int)((UINT_PTR)ExtractIconA(ShellState.Instance, file, (UINT)-1) & 0xFFFF);
}

void FillIconList(HWND dialog, ShortcutDialogState* state, const char* iconFile)
{
    char file[MaxText];
    lstrcpynA(file, iconFile, MaxText);
    lstrcpynA(state->IconFile, StripQuotes(file), MaxText);
    state->IconCount = IconCountOf(state->IconFile);
    HWND list = GetDlgItem(dialog, IDC_SHORTCUT_ICONS);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < state->IconCount; i++)
        SendMessageA(list, LB_ADDSTRING, 0, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int ShowStateButton(BYTE showState)
{
    switch (showState) {
    case 1: return IDC_SHORTCUT_MINIMIZED;
    case 2: return IDC_SHORTCUT_MAXIMIZED;
    default: return IDC_SHORTCUT_NORMAL;
    }
}

BYTE ChosenShowState(HWND dialog)
{
    if (Checked(dialog, IDC_SHORTCUT_MINIMIZED))
        return 1;
    if (Checked(dialog, IDC_SHORTCUT_MAXIMIZED))
        return 2;
    return 0;
}

// A program that runs in a memory space of its own anyway has nothing to
// choose.
void OnCommandLineChanged(HWND dialog)
{
    bool win32 = IsWin32Program(DialogItemText(dialog, IDC_SHORTCUT_COMMAND).c_str()) != 0;
    SetChecked(dialog, IDC_SHORTCUT_SEPARATE, win32);
    EnableWindow(GetDlgItem(dialog, IDC_SHORTCUT_SEPARATE), !win32);
}

// Several instances of one program cannot be told apart when the folder is
// left, so they are always put away with it.
void LockContainToMultiple(HWND dialog)
{
    bool multiple = Checked(dialog, IDC_SHORTCUT_MULTIPLE);
    if (multiple)
        SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
    EnableWindow(GetDlgItem(dialog, IDC_SHORTCUT_CONTAIN), !multiple);
}

void OnIconFileChanged(HWND dialog, ShortcutDialogState* state)
{
    HWND field = GetDlgItem(dialog, IDC_SHORTCUT_ICONFILE);
    if (!state || !SendMessageA(field, EM_GETMODIFY, 0, 0))
        return;
    FillIconList(dialog, state, DialogItemText(dialog, IDC_SHORTCUT_ICONFILE).c_str());
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONS, LB_SETCURSEL, 0, 0);
    SendMessageA(field, EM_SETMODIFY, FALSE, 0);
}

void FillFromShortcut(HWND dialog, ShortcutDialogState* state, const Shortcut* shortcut)
{
    SetDlgItemTextA(dialog, IDC_SHORTCUT_TITLE, shortcut->Title.Get());
    SetDlgItemTextA(dialog, IDC_SHORTCUT_COMMAND, shortcut->CommandLine.Get());
    SetDlgItemTextA(dialog, IDC_SHORTCUT_DIRECTORY, shortcut->WorkingDirectory.Get());
    SetDlgItemTextA(dialog, IDC_SHORTCUT_ICONFILE, shortcut->IconFile.Get());
    FillIconList(dialog, state, shortcut->IconFile.Get());
    // An index beyond the file's icons selects nothing.
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONS, LB_SETCURSEL, (WPARAM)shortcut->IconIndex, 0);
    CheckRadioButton(dialog, IDC_SHORTCUT_NORMAL, IDC_SHORTCUT_MAXIMIZED,
                     ShowStateButton(shortcut->ShowState));
    // The command line has already set the separate-memory box by the
    // program's kind; the stored flags only add to the boxes, and lock
    // nothing: only a click on "Run Multiple Instances" does.
    if (shortcut->MultipleInstances)
        SetChecked(dialog, IDC_SHORTCUT_MULTIPLE, true);
    if (shortcut->ContainInFolder)
        SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
    if (shortcut->SeparateMemory)
        SetChecked(dialog, IDC_SHORTCUT_SEPARATE, true);
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_PRIORITY, CB_SETCURSEL, shortcut->Priority, 0);
}

INT_PTR OnInit(HWND dialog, ShortcutDialogState* state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    if (state->Row < 0 || !RowData(ShellState.ItemList, state->Row, &state->RowValue))
        state->RowValue = (LPARAM)state->Edited;
    for (const char* name : {"Normal", "Low", "High", "Highest"})
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_PRIORITY, CB_ADDSTRING, 0, (LPARAM)name);
    state->CaptionBrush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    state->FaceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    if (state->CreateMode) {
        SetWindowTextA(dialog, "Create Shortcut");
        CheckRadioButton(dialog, IDC_SHORTCUT_NORMAL, IDC_SHORTCUT_MAXIMIZED, IDC_SHORTCUT_NORMAL);
        SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_PRIORITY, CB_SETCURSEL, PriorityNormal, 0);
    } else {
        FillFromShortcut(dialog, state, state->Edited);
    }
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONFILE, EM_SETMODIFY, FALSE, 0);
    return TRUE;
}

void OnMeasureItem(MEASUREITEMSTRUCT* measure)
{
    measure->itemHeight = IconItemHeight;
}

void OnDrawItem(ShortcutDialogState* state, const DRAWITEMSTRUCT* draw)
{
    if (!state || draw->itemID == (UINT)-1)
        return;
    RECT frame = draw->rcItem;
    frame.left += 4;
    frame.right -= 4;
    FrameRect(draw->hDC, &frame, (draw->itemState & ODS_SELECTED) ? state->CaptionBrush : state->FaceBrush);
    HICON icon = ExtractIconA(ShellState.Instance, state->IconFile, draw->itemID);
    bool own = (UINT_PTR)icon > 1;
    int width = draw->rcItem.right - draw->rcItem.left;
    DrawIcon(draw->hDC, draw->rcItem.left + (width - 32) / 2, draw->rcItem.top + 2,
             own ? icon : DefaultIcon());
    if (own)
        DestroyIcon(icon);
}

INT_PTR OnColorListBox(HWND dialog, ShortcutDialogState* state, HDC dc, HWND control)
{
    if (!state || control != GetDlgItem(dialog, IDC_SHORTCUT_ICONS))
        return FALSE;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)state->FaceBrush;
}

void OnBrowse(HWND dialog, ShortcutDialogState* state)
{
    std::string command = DialogItemText(dialog, IDC_SHORTCUT_COMMAND);
    char path[MaxText];
    lstrcpynA(path, Unquoted(command).c_str(), MaxText);
    if (!BrowseForFile(dialog, path, MaxText, ProgramFilter, "Browse"))
        return;

    std::string chosen = QuotedIfBlank(path);
    SetDlgItemTextA(dialog, IDC_SHORTCUT_COMMAND, chosen.c_str());
    SetDlgItemTextA(dialog, IDC_SHORTCUT_ICONFILE, chosen.c_str());
    if (DialogItemText(dialog, IDC_SHORTCUT_TITLE).empty()) {
        // TitleFromPath puts the path in lower case, and the working
        // directory below is taken from it as it then is.
        char title[MaxText];
        TitleFromPath(path, title, MaxText);
        if (strstr(title, ".exe"))
            *strchr(title, '.') = 0;
        SetDlgItemTextA(dialog, IDC_SHORTCUT_TITLE, title);
    }
    char* slash = strrchr(path, '\\');
    std::string directory = slash ? std::string(path, (size_t)(slash - path)) : std::string();
    SetDlgItemTextA(dialog, IDC_SHORTCUT_DIRECTORY, QuotedIfBlank(directory).c_str());

    SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONFILE, EM_SETMODIFY, TRUE, 0);
    OnIconFileChanged(dialog, state);
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_SHORTCUT_TITLE), TRUE);
}

// The title of a shortcut whose title field is empty: the command line
// (so a path keeps its path) cut at its first ".", its first character in
// upper case.
void TitleFromCommandLine(const char* commandLine, char* title, int size)
{
    lstrcpynA(title, commandLine ? commandLine : "", size);
    if (char* dot = strchr(title, '.'))
        *dot = 0;
    CharUpperBuffA(title, title[0] ? 1 : 0);
}

// A shortcut the registry would not give back is not made at all.
bool CurrentFolderHasRoom(HWND owner)
{
    if (ShortcutCount(ShellState.CurrentFolder) < MaxShortcutsPerFolder)
        return true;
    char text[128];
    snprintf(text, sizeof text, "Only %d shortcuts fit in a folder; the shortcut was not made.",
             MaxShortcutsPerFolder);
    MessageBoxA(owner, text, NoticeCaption, MB_ICONEXCLAMATION);
    return false;
}

// Everything OK stores, read and checked before anything is changed.
struct ShortcutInput {
    std::string Title, CommandLine, WorkingDirectory, IconFile;
};

// A text the registry could not give back would start something else
// after the next start: it is refused, with the field named.
bool FitsAShortcut(HWND dialog, const ShortcutInput& input)
{
    const struct {
        const std::string* Text;
        const char* Name;
        int Field;
    } fields[] = {
        {&input.Title, "title", IDC_SHORTCUT_TITLE},
        {&input.CommandLine, "command line", IDC_SHORTCUT_COMMAND},
        {&input.WorkingDirectory, "working directory", IDC_SHORTCUT_DIRECTORY},
        {&input.IconFile, "icon file name", IDC_SHORTCUT_ICONFILE},
    };
    for (const auto& field : fields) {
        if (field.Text->size() <= (size_t)MaxTextLength)
            continue;
        char text[160];
        snprintf(text, sizeof text, "The %s is too long: a shortcut keeps at most %d characters.",
                 field.Name, MaxTextLength);
        MessageBoxA(dialog, text, NoticeCaption, MB_ICONEXCLAMATION);
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, field.Field), TRUE);
        return false;
    }
    // Neither a title nor a command to make one from: a row nobody could
    // tell apart or start.
    if (input.Title.empty()) {
        MessageBoxA(dialog, "The shortcut needs a title or a command line.", NoticeCaption,
                    MB_ICONEXCLAMATION);
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_SHORTCUT_TITLE), TRUE);
        return false;
    }
    return true;
}

void SetRowTitle(const ShortcutDialogState* state, const char* title)
{
    HWND list = ShellState.ItemList;
    if (!list || !HasShortcut(ShellState.CurrentFolder, (LPARAM)state->Edited))
        return;
    // Rows move while the dialog is open (the refresh goes on): the row is
    // the one that still holds what it held.
    int row = RowOfData(list, state->RowValue);
    if (row < 0)
        return;
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(title);
    SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

void Store(HWND dialog, ShortcutDialogState* state, const ShortcutInput& input)
{
    Shortcut* shortcut = state->Edited;
    shortcut->Title.Set(input.Title.c_str());
    if (!state->CreateMode)
        SetRowTitle(state, input.Title.c_str());
    shortcut->CommandLine.Set(input.CommandLine.c_str());
    shortcut->WorkingDirectory.Set(input.WorkingDirectory.c_str());
    shortcut->IconFile.Set(input.IconFile.c_str());
    LRESULT icon = SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONS, LB_GETCURSEL, 0, 0);
    shortcut->IconIndex = icon == LB_ERR ? 0 : (LONG)icon;
    shortcut->ShowState = ChosenShowState(dialog);
    shortcut->MultipleInstances = Checked(dialog, IDC_SHORTCUT_MULTIPLE) ? 1 : 0;
    shortcut->ContainInFolder = Checked(dialog, IDC_SHORTCUT_CONTAIN) ? 1 : 0;
    shortcut->SeparateMemory = Checked(dialog, IDC_SHORTCUT_SEPARATE) ? 1 : 0;
    LRESULT priority = SendDlgItemMessageA(dialog, IDC_SHORTCUT_PRIORITY, CB_GETCURSEL, 0, 0);
    shortcut->Priority = priority == CB_ERR ? (DWORD)PriorityNormal : (DWORD)priority;
    if (shortcut->IconFile.Empty()) {
        char program[MaxText];
        lstrcpynA(program, input.CommandLine.c_str(), MaxText);
        shortcut->IconFile.Set(FirstArgument(program));
        shortcut->IconIndex = 0;
    }
    LoadShortcutIcon(shortcut);
}

void OnOK(HWND dialog, ShortcutDialogState* state)
{
    ShortcutInput input;
    input.Title = DialogItemText(dialog, IDC_SHORTCUT_TITLE);
    input.CommandLine = DialogItemText(dialog, IDC_SHORTCUT_COMMAND);
    input.WorkingDirectory = DialogItemText(dialog, IDC_SHORTCUT_DIRECTORY);
    input.IconFile = DialogItemText(dialog, IDC_SHORTCUT_ICONFILE);
    if (input.Title.empty()) {
        std::string command = input.CommandLine.substr(0, MaxTextLength);
        char title[MaxText];
        TitleFromCommandLine(command.c_str(), title, MaxText);
        if (!title[0])
            UsableTitle(command.c_str(), title);
        input.Title = title;
    }
    if (!FitsAShortcut(dialog, input))
        return;
    if (state->CreateMode) {
        // The folder may have changed by its hot key meanwhile.
        state->Edited = CurrentFolderHasRoom(dialog) ? AddShortcut(ShellState.CurrentFolder) : nullptr;
        if (!state->Edited) {
            EndDialog(dialog, 0);
            return;
        }
    }
    Store(dialog, state, input);
    RequestRefresh();
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    ShortcutDialogState* state = StateOf(dialog);
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog, state); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_SHORTCUT_BROWSE: OnBrowse(dialog, state); return TRUE;
    case IDC_SHORTCUT_HELP: ShowHelpTopic(dialog, "Shortcut Properties"); return TRUE;
    case IDC_SHORTCUT_COMMAND: OnCommandLineChanged(dialog); return TRUE;
    case IDC_SHORTCUT_ICONFILE: OnIconFileChanged(dialog, state); return TRUE;
    case IDC_SHORTCUT_MULTIPLE: LockContainToMultiple(dialog); return TRUE;
    default: return FALSE;
    }
}

} // namespace

namespace {

INT_PTR HandleShortcutDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, (ShortcutDialogState*)lParam);
    case WM_MEASUREITEM: OnMeasureItem((MEASUREITEMSTRUCT*)lParam); return TRUE;
    case WM_DRAWITEM: OnDrawItem(StateOf(dialog), (const DRAWITEMSTRUCT*)lParam); return TRUE;
    case WM_CTLCOLORLISTBOX: return OnColorListBox(dialog, StateOf(dialog), (HDC)wParam, (HWND)lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK ShortcutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleShortcutDialogMessage);
}

INT_PTR RunShortcutDialog(HWND owner, Shortcut* shortcut, BOOL createMode, int row)
{
    if (createMode) {
        if (!CurrentFolderHasRoom(owner))
            return 0;
        shortcut = nullptr;
    } else if (!shortcut) {
        return 0;
    }
    ShortcutDialogState state = {};
    state.Edited = shortcut;
    state.CreateMode = createMode;
    state.Row = row;
    INT_PTR result = DialogBoxParamA(ShellState.Instance, "SHORTCUT", owner, ShortcutDialogProc,
                                     (LPARAM)&state);
    for (HBRUSH brush : {state.CaptionBrush, state.FaceBrush})
        if (brush)
            DeleteObject(brush);
    return result == 1 ? 1 : 0;
}
