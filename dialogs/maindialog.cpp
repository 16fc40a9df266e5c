#include "dialogs/maindialog.h"

#include "winkit/faultguard.h"
#include "model/settings.h"
#include "winkit/winutil.h"
#include "launch/launch.h"
#include "model/commandtext.h"

INT_PTR GuardedDialog::Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, Handler handler)
{
    return GuardedCall(dialog, message, wParam, lParam, handler);
}

void FillPriorityList(HWND dialog, int id, DWORD selected)
{
    for (const char* name : {"Normal", "Low", "High", "Highest"})
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, selected, 0);
}

DWORD ChosenPriority(HWND dialog, int id, DWORD fallback)
{
    LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return index >= PriorityNormal && index <= PriorityHighest ? (DWORD)index : fallback;
}

void FollowProgramKind(HWND dialog, int separateBox, const char* command)
{
    bool win32 = IsWin32Program(command) != 0;
    SetChecked(dialog, separateBox, win32);
    EnableWindow(GetDlgItem(dialog, separateBox), !win32);
}

bool BrowseForProgram(HWND dialog, int commandField, char* path)
{
    lstrcpynA(path, Unquoted(DialogItemText(dialog, commandField)).c_str(), MaxText);
    return BrowseForFile(dialog, path, MaxText, ProgramFilter, "Browse");
}
