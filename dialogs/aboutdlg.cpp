#include "dialogs/aboutdlg.h"

#include "common/version.h"
#include "dialogs/controlids.h"
#include "model/shellstate.h"
#include "winkit/faultguard.h"

namespace {

const char VersionText[] = CORVANIX_PRODUCT_VERSION_TEXT;

INT_PTR AboutOnInit(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, VersionText);
    return TRUE;
}

// Only the Close button (or Enter) ends the box; Esc does nothing.
INT_PTR AboutOnCommand(HWND dialog, WPARAM wParam)
{
    if (wParam == IDOK)
        EndDialog(dialog, 1);
    return TRUE;
}

} // namespace

namespace {

INT_PTR HandleAboutDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return AboutOnInit(dialog);
    case WM_COMMAND: return AboutOnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleAboutDialogMessage);
}

INT_PTR RunAboutBox()
{
    return DialogBoxParamA(ShellState.Instance, "ABOUT", ShellState.MainWindow, AboutDialogProc, 0);
}
