#include "dialogs/setupdlg.h"

#include <commctrl.h>
#include <commdlg.h>
#include <stdio.h>

#include "common/texts.h"
#include "dialogs/controlids.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/commandids.h"
#include "panes/itemlist.h"
#include "panes/trayicon.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"

namespace {

bool Ticked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Tick(HWND dialog, int id, DWORD flag)
{
    CheckDlgButton(dialog, id, flag ? BST_CHECKED : BST_UNCHECKED);
}

bool RegisterGlobalHotKey(HotKeyCode code)
{
    return RegisterHotKey(ShellState.MainWindow, GlobalHotKeyId, HotKeyModifiers(code),
                          HotKeyVirtualKey(code)) != 0;
}

INT_PTR OnInit(HWND dialog)
{
    // Without a notification area there is no icon to choose, nor any to
    // keep.
    if (!ShellState.IsNewShell) {
        EnableWindow(GetDlgItem(dialog, IDC_SETUP_TASKBAR), FALSE);
        Settings.TaskBar = 0;
    }
    // Pressing the current combination in the hot-key field must reach the
    // field, not call the main window up.
    UnregisterHotKey(ShellState.MainWindow, GlobalHotKeyId);
    SendDlgItemMessageA(dialog, IDC_SETUP_HOTKEY, WM_COMMAND, GETKEY_SETVALUE,
                        (LPARAM)Settings.HotKey);
    Tick(dialog, IDC_SETUP_TOP, Settings.Top);
    Tick(dialog, IDC_SETUP_PROGMAN, Settings.Progman);
    Tick(dialog, IDC_SETUP_TASKBAR, Settings.TaskBar);
    Tick(dialog, IDC_SETUP_AUTOCLOSE, Settings.AutoClose);
    for (const char* name : {"Normal", "Low", "High", "Highest"})
        SendDlgItemMessageA(dialog, IDC_SETUP_PRIORITY, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessageA(dialog, IDC_SETUP_PRIORITY, CB_SETCURSEL, Settings.Priority, 0);
    return TRUE;
}

// The chosen hot key is registered before anything is applied: a
// combination that another program holds is refused with the dialog still
// open, instead of silently becoming no hot key.
bool TakeHotKey(HWND dialog)
{
    HotKeyCode chosen = UsableHotKey((HotKeyCode)SendDlgItemMessageA(
        dialog, IDC_SETUP_HOTKEY, WM_COMMAND, GETKEY_GETVALUE, 0));
    if (!RegisterGlobalHotKey(chosen) && chosen) {
        char name[MaxText], text[MaxText + 160];
        HotKeyText(chosen, name, sizeof name);
        snprintf(text, sizeof text,
                 "The hot key %s is taken: another program already uses it.\n"
                 "Please choose another one.",
                 name);
        MessageBoxA(dialog, text, "Hot Key in Use", MB_ICONEXCLAMATION);
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_SETUP_HOTKEY), TRUE);
        return false;
    }
    Settings.HotKey = chosen;
    return true;
}

void ApplyTrayIcon(bool ticked)
{
    if (ShellState.IsNewShell) {
        if (ticked)
            AddTrayIcon();
        else
            RemoveTrayIcon();
    }
    Settings.TaskBar = ticked ? 1 : 0;
}

void ApplyPriority(HWND dialog)
{
    LRESULT index = SendDlgItemMessageA(dialog, IDC_SETUP_PRIORITY, CB_GETCURSEL, 0, 0);
    if (index >= PriorityNormal && index <= PriorityHighest)
        __atomic_store_n(&Settings.Priority, (DWORD)index, __ATOMIC_RELAXED);
    SetPriorityClass(GetCurrentProcess(), PriorityClassOf(Settings.Priority));
}

void OnOK(HWND dialog)
{
    if (!TakeHotKey(dialog))
        return;
    ApplyTrayIcon(Ticked(dialog, IDC_SETUP_TASKBAR));
    Settings.AutoClose = Ticked(dialog, IDC_SETUP_AUTOCLOSE) ? 1 : 0;
    Settings.Top = Ticked(dialog, IDC_SETUP_TOP) ? 1 : 0;
    ApplyAlwaysOnTop();
    Settings.Progman = Ticked(dialog, IDC_SETUP_PROGMAN) ? 1 : 0;
    ApplyPriority(dialog);
    RequestRefresh();
    EndDialog(dialog, 1);
}

void OnCancel(HWND dialog)
{
    if (!RegisterGlobalHotKey(Settings.HotKey))
        Settings.HotKey = 0;
    EndDialog(dialog, 0);
}

void OnToolBar(HWND dialog)
{
    SendMessageA(ShellState.ToolbarWindow, TB_CUSTOMIZE, 0, 0);
    // The customisation dialog belongs to the main window and enables it
    // again when it ends, while this dialog still holds it modal.
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner)
        EnableWindow(owner, FALSE);
    SetActiveWindow(dialog);
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_SETUP_TOOLBAR), TRUE);
}

void OnColor(HWND dialog)
{
    if (!ChooseListColor(dialog, &Settings.Color))
        return;
    ApplyListColors();
    InvalidateRect(ShellState.FolderPane, nullptr, TRUE);
    InvalidateRect(ShellState.ItemList, nullptr, TRUE);
    RequestRefresh();
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog); return TRUE;
    case IDCANCEL: OnCancel(dialog); return TRUE;
    case IDC_SETUP_TOOLBAR: OnToolBar(dialog); return TRUE;
    case IDC_SETUP_COLOR: OnColor(dialog); return TRUE;
    case IDC_SETUP_HELP: ShowHelpTopic(dialog, "Setup Command"); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void ApplyAlwaysOnTop()
{
    SetWindowPos(ShellState.MainWindow, Settings.Top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool ChooseListColor(HWND owner, COLORREF* color)
{
    COLORREF custom[16];
    for (COLORREF& entry : custom)
        entry = RGB(255, 255, 255);
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = *color;
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_PREVENTFULLOPEN;
    if (!ChooseColorA(&choice))
        return false;
    *color = choice.rgbResult;
    return true;
}

namespace {

INT_PTR HandleSetupDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: OnCancel(dialog); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleSetupDialogMessage);
}

INT_PTR RunSetupDialog(HWND owner)
{
    INT_PTR result = DialogBoxParamA(ShellState.Instance, "SETUP", owner, SetupDialogProc, 0);
    return result == 1 ? 1 : 0;
}
