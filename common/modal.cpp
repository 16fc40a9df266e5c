#include "common/modal.h"

namespace {

// The dialog Run is making: its window is not known before its first
// message, which may come before WM_INITDIALOG and its parameter.
thread_local ModalDialog* Opening = nullptr;

} // namespace

INT_PTR ModalDialog::Run(HINSTANCE instance, const char* templateName, HWND owner)
{
    Opening = this;
    INT_PTR result = DialogBoxParamA(instance, templateName, owner, Procedure, (LPARAM)this);
    Opening = nullptr;
    return result;
}

BOOL ModalDialog::OnCommand(int, int)
{
    return FALSE;
}

INT_PTR ModalDialog::OnMessage(UINT, WPARAM, LPARAM)
{
    return FALSE;
}

INT_PTR ModalDialog::Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, Handler handler)
{
    return handler(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ModalDialog* self = (ModalDialog*)GetWindowLongPtrA(dialog, DWLP_USER);
    if (!self && Opening) {
        // Only a dialog of ours still without its object reaches this: the
        // one being made.
        self = Opening;
        Opening = nullptr;
        self->dialog_ = dialog;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)self);
    }
    if (!self)
        return FALSE;
    return self->Handle(dialog, message, wParam, lParam, Dispatch);
}

INT_PTR ModalDialog::Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ModalDialog* self = (ModalDialog*)GetWindowLongPtrA(dialog, DWLP_USER);
    return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInit();
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: return OnCommand(LOWORD(wParam), HIWORD(wParam));
        }
    case WM_CLOSE:
        OnClose();
        return TRUE;
    default:
        return OnMessage(message, wParam, lParam);
    }
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void FocusControl(HWND dialog, int id)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, id), TRUE);
}
