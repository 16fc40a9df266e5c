#include "dialogs/setupdlg.h"

#include <commdlg.h>
#include <stdio.h>

#include "common/texts.h"
#include "winkit/help.h"
#include "model/shellstate.h"
#include "dialogs/maindialog.h"
#include "hotkeyctl/hotkeyctl.h"
#include "dialogs/controlids.h"
#include "model/settings.h"
#include "winkit/faultguard.h"

namespace {

class SetupDialog : public ArgsDialog<SetupDialogArgs> {
public:
    using ArgsDialog::ArgsDialog;

private:
    BOOL OnInit() override
    {
        HWND dialog = Dialog();
        if (!args.HasTray)
            EnableWindow(GetDlgItem(dialog, IDC_SETUP_TASKBAR), FALSE);
        SetHotKeyControlValue(dialog, IDC_SETUP_HOTKEY, args.HotKey);
        SetChecked(dialog, IDC_SETUP_TOP, args.Top != 0);
        SetChecked(dialog, IDC_SETUP_PROGMAN, args.Progman != 0);
        SetChecked(dialog, IDC_SETUP_TASKBAR, args.TaskBar != 0);
        SetChecked(dialog, IDC_SETUP_AUTOCLOSE, args.AutoClose != 0);
        FillPriorityList(dialog, IDC_SETUP_PRIORITY, args.Priority);
        return TRUE;
    }

    // The chosen hot key is registered before anything is read: a
    // combination that another program holds is refused with the dialog
    // still open, instead of silently becoming no hot key.
    bool TakeHotKey()
    {
        HWND dialog = Dialog();
        HotKeyCode chosen = UsableHotKey(HotKeyControlValue(dialog, IDC_SETUP_HOTKEY));
        if (!args.TakeHotKey(chosen) && chosen) {
            char name[MaxText], text[MaxText + 160];
            HotKeyText(chosen, name, sizeof name);
            snprintf(text, sizeof text,
                     "The hot key %s is taken: another program already uses it.\n"
                     "Please choose another one.",
                     name);
            MessageBoxA(dialog, text, "Hot Key in Use", MB_ICONEXCLAMATION);
            FocusControl(dialog, IDC_SETUP_HOTKEY);
            return false;
        }
        args.HotKey = chosen;
        return true;
    }

    void OnOK() override
    {
        if (!TakeHotKey())
            return;
        HWND dialog = Dialog();
        args.TaskBar = Checked(dialog, IDC_SETUP_TASKBAR) ? 1 : 0;
        args.AutoClose = Checked(dialog, IDC_SETUP_AUTOCLOSE) ? 1 : 0;
        args.Top = Checked(dialog, IDC_SETUP_TOP) ? 1 : 0;
        args.Progman = Checked(dialog, IDC_SETUP_PROGMAN) ? 1 : 0;
        args.Priority = ChosenPriority(dialog, IDC_SETUP_PRIORITY, args.Priority);
        End(1);
    }

    void OnCancel() override { End(0); }

    void OnToolBar()
    {
        HWND dialog = Dialog();
        args.CustomizeToolbar();
        // The customisation dialog belongs to the main window and enables it
        // again when it ends, while this dialog still holds it modal.
        HWND owner = GetWindow(dialog, GW_OWNER);
        if (owner)
            EnableWindow(owner, FALSE);
        SetActiveWindow(dialog);
        FocusControl(dialog, IDC_SETUP_TOOLBAR);
    }

    void OnColor()
    {
        if (ChooseListColor(Dialog(), &args.Color))
            args.ApplyColor(args.Color);
    }

    BOOL OnCommand(int id, int) override
    {
        switch (id) {
        case IDC_SETUP_TOOLBAR: OnToolBar(); return TRUE;
        case IDC_SETUP_COLOR: OnColor(); return TRUE;
        case IDC_SETUP_HELP: ShowHelpTopic(Dialog(), "Setup Command"); return TRUE;
        default: return FALSE;
        }
    }
};

} // namespace

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

INT_PTR RunSetupDialog(HWND owner, SetupDialogArgs& args)
{
    SetupDialog dialog(args);
    return dialog.Run(ShellState.Instance, "SETUP", owner) == 1 ? 1 : 0;
}
