#include "setup/welcome.h"

#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

INT_PTR OnInit(HWND dialog)
{
    CentreOnScreen(dialog);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_WELCOME_INSTALL:
    case IDC_WELCOME_REMOVE:
    case IDCANCEL:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK WelcomeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunWelcomeScreen()
{
    return DialogBoxParamA(SetupState.Instance, "WELCOME", SetupState.Background, WelcomeProc, 0);
}
