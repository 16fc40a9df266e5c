#include "dialogs/folderdlg.h"

#include <stdio.h>

#include "common/texts.h"
#include "dialogs/controlids.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"

namespace {

// The dialog's arguments, kept in DWLP_USER while it is open.
struct FolderDialogArgs {
    Folder* Edited;
    BOOL NewFolderMode;
    int PaneIndex;
};

FolderDialogArgs* ArgsOf(HWND dialog)
{
    return (FolderDialogArgs*)GetWindowLongPtrA(dialog, DWLP_USER);
}

void SetHotKeyField(HWND dialog, HotKeyCode code)
{
    SendDlgItemMessageA(dialog, IDC_FOLDER_HOTKEY, WM_COMMAND, GETKEY_SETVALUE, (LPARAM)code);
}

HotKeyCode HotKeyField(HWND dialog)
{
    return (HotKeyCode)SendDlgItemMessageA(dialog, IDC_FOLDER_HOTKEY, WM_COMMAND,
                                           GETKEY_GETVALUE, 0);
}

INT_PTR OnInit(HWND dialog, FolderDialogArgs* args)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)args);
    // No more than the store keeps: a longer title would not load again.
    SendDlgItemMessageA(dialog, IDC_FOLDER_TITLE, EM_LIMITTEXT, MaxTextLength, 0);
    if (args->NewFolderMode) {
        SetWindowTextA(dialog, "New Folder");
        SetHotKeyField(dialog, OfferedFolderHotKey(args->PaneIndex));
        return TRUE;
    }
    Folder* folder = args->Edited;
    SetDlgItemTextA(dialog, IDC_FOLDER_TITLE, folder->Title.Get());
    SetHotKeyField(dialog, folder->HotKey);
    CheckDlgButton(dialog, IDC_FOLDER_SYSTEM, folder->ListSystemTasks ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

bool MakeFolder(HWND dialog, const char* title, HotKeyCode hotKey, DWORD listSystemTasks)
{
    Folder* folder = CreateFolder(title, hotKey, listSystemTasks);
    if (!folder) {
        MessageBoxA(dialog, "There is not enough memory to make the folder.", "New Folder",
                    MB_ICONERROR);
        return false;
    }
    AddFolderRow(folder);
    return true;
}

void OnOK(HWND dialog, FolderDialogArgs* args)
{
    // No title is required: an untitled folder is kept like any other.
    char title[MaxText];
    GetDlgItemTextA(dialog, IDC_FOLDER_TITLE, title, MaxText);
    HotKeyCode hotKey = UsableHotKey(HotKeyField(dialog));
    DWORD listSystemTasks = IsDlgButtonChecked(dialog, IDC_FOLDER_SYSTEM) == BST_CHECKED ? 1 : 0;
    if (args->NewFolderMode) {
        if (!MakeFolder(dialog, title, hotKey, listSystemTasks)) {
            EndDialog(dialog, 0);
            return;
        }
    } else {
        Folder* folder = args->Edited;
        folder->Title.Set(title);
        folder->HotKey = hotKey;
        folder->ListSystemTasks = listSystemTasks;
    }
    RequestRefresh();
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog, ArgsOf(dialog)); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_FOLDER_HELP: ShowHelpTopic(dialog, "Folder Properties"); return TRUE;
    default: return FALSE;
    }
}

bool FolderListFull(HWND owner)
{
    if (FolderCount() < MaxFolders)
        return false;
    char text[160];
    snprintf(text, sizeof text,
             "Corvanix keeps at most %d folders. Delete a folder before you make a new one.",
             MaxFolders);
    MessageBoxA(owner, text, "New Folder", MB_ICONINFORMATION);
    return true;
}

} // namespace

HotKeyCode OfferedFolderHotKey(int paneIndex)
{
    const int functionKeys = 24;  // F1 to F24
    if (paneIndex < 0 || paneIndex >= functionKeys)
        return 0;
    return MakeHotKeyCode(VK_F1 + paneIndex, HotKeyCtrl | HotKeyAlt);
}

namespace {

INT_PTR HandleFolderDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, (FolderDialogArgs*)lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK FolderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleFolderDialogMessage);
}

INT_PTR RunFolderDialog(HWND owner, Folder* folder, BOOL newFolderMode, int paneIndex)
{
    if (newFolderMode ? FolderListFull(owner) : !folder)
        return 0;
    FolderDialogArgs args = {folder, newFolderMode, paneIndex};
    INT_PTR result = DialogBoxParamA(ShellState.Instance, "VIEW", owner, FolderDialogProc,
                                     (LPARAM)&args);
    return result == 1 ? 1 : 0;
}
