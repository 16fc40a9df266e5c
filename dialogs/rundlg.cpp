#include "dialogs/rundlg.h"

#include <string>

#include "dialogs/controlids.h"
#include "launch/launch.h"
#include "launch/shelllink.h"
#include "model/commandtext.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/winutil.h"

namespace {

// What the dialog hands back.
struct RunDialogState {
    DWORD ProcessId;
};

RunDialogState* StateOf(HWND dialog)
{
    return (RunDialogState*)GetWindowLongPtrA(dialog, DWLP_USER);
}

INT_PTR OnInit(HWND dialog, RunDialogState* state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    HWND box = GetDlgItem(dialog, IDC_RUN_COMMAND);
    for (int slot = 0; slot < RunHistoryCount(); slot++)
        SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)RunHistoryText(slot));
    if (RunHistoryCount() > 0)
        SendMessageA(box, CB_SETCURSEL, 0, 0);
    for (const char* name : {"Normal", "Low", "High", "Highest"})
        SendDlgItemMessageA(dialog, IDC_RUN_PRIORITY, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessageA(dialog, IDC_RUN_PRIORITY, CB_SETCURSEL, PriorityNormal, 0);
    CheckDlgButton(dialog, IDC_RUN_SEPARATE, BST_CHECKED);
    return TRUE;
}

// The command the box will hold: while a list entry is being chosen the
// edit field still shows the one before.
std::string CommandBoxText(HWND dialog, WORD notification)
{
    HWND box = GetDlgItem(dialog, IDC_RUN_COMMAND);
    LRESULT chosen = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (notification != CBN_SELCHANGE || chosen == CB_ERR)
        return DialogItemText(dialog, IDC_RUN_COMMAND);
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, chosen, 0);
    if (length == CB_ERR)
        return DialogItemText(dialog, IDC_RUN_COMMAND);
    std::string text((size_t)length + 1, '\0');
    SendMessageA(box, CB_GETLBTEXT, chosen, (LPARAM)&text[0]);
    text.resize((size_t)length);
    return text;
}

// A program that runs in a memory space of its own anyway has nothing to
// choose.
void OnCommandBoxChanged(HWND dialog, WORD notification)
{
    bool win32 = IsWin32Program(CommandBoxText(dialog, notification).c_str()) != 0;
    CheckDlgButton(dialog, IDC_RUN_SEPARATE, win32 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_RUN_SEPARATE), !win32);
}

// A shell shortcut file stands for its target; anything typed after its
// name goes with it.
std::string ResolvedCommand(HWND dialog, const std::string& typed)
{
    char target[MaxText];
    ReadShellLink(dialog, Unquoted(typed).c_str(), target, nullptr, nullptr, nullptr, nullptr);
    return target[0] ? std::string(target) : typed;
}

DWORD ChosenPriority(HWND dialog)
{
    LRESULT index = SendDlgItemMessageA(dialog, IDC_RUN_PRIORITY, CB_GETCURSEL, 0, 0);
    return index >= PriorityLow && index <= PriorityHighest ? (DWORD)index : (DWORD)PriorityNormal;
}

void OnOK(HWND dialog, RunDialogState* state)
{
    std::string command = ResolvedCommand(dialog, DialogItemText(dialog, IDC_RUN_COMMAND));
    if (command.empty())
        return;
    DWORD separate = IsDlgButtonChecked(dialog, IDC_RUN_SEPARATE) == BST_CHECKED ? 1 : 0;
    DWORD processId = LaunchCommand(command.c_str(), "", 0, separate, ChosenPriority(dialog));
    if (!processId) {
        // The failure has been reported; the command stays for a correction.
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_RUN_COMMAND), TRUE);
        return;
    }
    RunHistoryInsert(command.c_str());
    state->ProcessId = processId;
    EndDialog(dialog, 1);
}

void OnBrowse(HWND dialog)
{
    char path[MaxText];
    lstrcpynA(path, Unquoted(DialogItemText(dialog, IDC_RUN_COMMAND)).c_str(), MaxText);
    if (!BrowseForFile(dialog, path, MaxText, ProgramFilter, "Browse"))
        return;
    SetDlgItemTextA(dialog, IDC_RUN_COMMAND, QuotedIfBlank(path).c_str());
    OnCommandBoxChanged(dialog, 0);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog, StateOf(dialog)); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_RUN_BROWSE: OnBrowse(dialog); return TRUE;
    case IDC_RUN_HELP: ShowHelpTopic(dialog, "Run Command"); return TRUE;
    case IDC_RUN_COMMAND: OnCommandBoxChanged(dialog, HIWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

} // namespace

namespace {

INT_PTR HandleRunDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, (RunDialogState*)lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleRunDialogMessage);
}

INT_PTR RunRunDialog(HWND owner)
{
    RunDialogState state = {0};
    DialogBoxParamA(ShellState.Instance, "RUN", owner, RunDialogProc, (LPARAM)&state);
    return state.ProcessId;
}
