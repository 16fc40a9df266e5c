#include "setup/progress.h"

#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

INT_PTR OnInit(HWND window)
{
    CentreOnScreen(window);
    return TRUE;
}

void OnClose(HWND window)
{
    DestroyWindow(window);
    if (SetupState.ProgressWindow == window)
        SetupState.ProgressWindow = nullptr;
}

// The texts are set while the step's work runs on this thread, before the
// loop gets another turn: draw them at once.
void SetLine(int id, const char* text)
{
    HWND window = SetupState.ProgressWindow;
    if (!window)
        return;
    SetDlgItemTextA(window, id, text);
    UpdateWindow(window);
}

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(window);
    case WM_CLOSE: OnClose(window); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void OpenProgressWindow()
{
    // A step that opens its window while the last one's close request still
    // waits in the queue takes the old one down first.
    if (SetupState.ProgressWindow)
        OnClose(SetupState.ProgressWindow);
    SetupState.ProgressWindow =
        CreateDialogParamA(SetupState.Instance, "MODELESS", SetupState.Background, ProgressProc, 0);
    if (SetupState.ProgressWindow)
        UpdateWindow(SetupState.ProgressWindow);
}

void SetProgressAction(const char* text)
{
    SetLine(IDC_PROGRESS_ACTION, text);
}

void SetProgressItem(const char* text)
{
    SetLine(IDC_PROGRESS_ITEM, text);
}

void CloseProgressWindow()
{
    if (SetupState.ProgressWindow)
        PostMessageA(SetupState.ProgressWindow, WM_CLOSE, 0, 0);
}
