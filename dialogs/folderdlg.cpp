#include "dialogs/folderdlg.h"

#include "common/texts.h"
#include "winkit/help.h"
#include "model/shellstate.h"
#include "dialogs/maindialog.h"
#include "hotkeyctl/hotkeyctl.h"
#include "dialogs/controlids.h"
#include "winkit/faultguard.h"

namespace {

class FolderDialog : public ArgsDialog<FolderDialogArgs> {
public:
    using ArgsDialog::ArgsDialog;

private:
    BOOL OnInit() override
    {
        HWND dialog = Dialog();
        // No more than the store keeps: a longer title would not load again.
        SendDlgItemMessageA(dialog, IDC_FOLDER_TITLE, EM_LIMITTEXT, MaxTextLength, 0);
        if (args.NewFolder) {
            SetWindowTextA(dialog, "New Folder");
            SetHotKeyControlValue(dialog, IDC_FOLDER_HOTKEY, args.HotKey);
            return TRUE;
        }
        SetDlgItemTextA(dialog, IDC_FOLDER_TITLE, args.Title.c_str());
        SetHotKeyControlValue(dialog, IDC_FOLDER_HOTKEY, args.HotKey);
        SetChecked(dialog, IDC_FOLDER_SYSTEM, args.ListSystemTasks != 0);
        return TRUE;
    }

    // No title is required: an untitled folder is kept like any other.
    void OnOK() override
    {
        HWND dialog = Dialog();
        char title[MaxText];
        GetDlgItemTextA(dialog, IDC_FOLDER_TITLE, title, MaxText);
        args.Title = title;
        args.HotKey = UsableHotKey(HotKeyControlValue(dialog, IDC_FOLDER_HOTKEY));
        args.ListSystemTasks = Checked(dialog, IDC_FOLDER_SYSTEM) ? 1 : 0;
        End(1);
    }

    void OnCancel() override { End(0); }

    BOOL OnCommand(int id, int) override
    {
        if (id != IDC_FOLDER_HELP)
            return FALSE;
        ShowHelpTopic(Dialog(), "Folder Properties");
        return TRUE;
    }
};

} // namespace

HotKeyCode OfferedFolderHotKey(int paneIndex)
{
    const int functionKeys = 24;  // F1 to F24
    if (paneIndex < 0 || paneIndex >= functionKeys)
        return 0;
    return MakeHotKeyCode(VK_F1 + paneIndex, HotKeyCtrl | HotKeyAlt);
}

INT_PTR RunFolderDialog(HWND owner, FolderDialogArgs& args)
{
    FolderDialog dialog(args);
    return dialog.Run(ShellState.Instance, "VIEW", owner) == 1 ? 1 : 0;
}
