// The plumbing of a modal dialog, for both programs. A dialog is a class
// derived from ModalDialog: its inputs and results are plain fields, its
// handlers virtual functions; Run keeps the object with the dialog's window
// and hands each message to the handler it is for.
#pragma once
#include <windows.h>

class ModalDialog {
public:
    ModalDialog() = default;
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Runs the dialog of the template, owned by owner, until a handler ends
    // it; the value it ended with, -1 when the dialog could not be made.
    INT_PTR Run(HINSTANCE instance, const char* templateName, HWND owner);

    // The handling of one message, answered as a dialog procedure answers.
    typedef INT_PTR (*Handler)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The dialog's window, from its first message on.
    HWND Dialog() const { return dialog_; }
    void End(INT_PTR result) { EndDialog(dialog_, result); }

    // WM_INITDIALOG; TRUE lets the dialog manager put the focus.
    virtual BOOL OnInit() { return TRUE; }
    // IDOK (the OK button, Enter): ends with IDOK.
    virtual void OnOK() { End(IDOK); }
    // IDCANCEL (the Cancel button, Esc): ends with IDCANCEL.
    virtual void OnCancel() { End(IDCANCEL); }
    // WM_CLOSE (the close box, Alt+F4): ends with 0.
    virtual void OnClose() { End(0); }
    // Every other WM_COMMAND; FALSE when the dialog does not handle it.
    virtual BOOL OnCommand(int id, int notification);
    // Every other message; FALSE leaves it to the dialog manager. Messages
    // that come before WM_INITDIALOG (WM_MEASUREITEM of an owner-drawn
    // control, say) come here too.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs the handling of one message. A program that wraps the handling
    // of every message (the main program reports a fault in it and goes
    // on) overrides this.
    virtual INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, Handler handler);

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
};

// Whether a check box or radio button of a dialog is ticked, and ticking it.
bool Checked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool on);

// Moves the focus to a control of the dialog as Tab does (an edit field's
// text selected).
void FocusControl(HWND dialog, int id);
