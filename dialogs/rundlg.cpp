#include "dialogs/rundlg.h"

#include "winkit/help.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/winutil.h"
#include "dialogs/maindialog.h"
#include <string>
#include "dialogs/controlids.h"
#include "launch/launch.h"
#include "launch/shelllink.h"
#include "model/commandtext.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/winutil.h"

namespace {

class RunDialog : public ArgsDialog<RunDialogArgs> {
public:
    using ArgsDialog::ArgsDialog;

private:
    BOOL OnInit() override
    {
        HWND dialog = Dialog();
        HWND box = GetDlgItem(dialog, IDC_RUN_COMMAND);
        for (const std::string& command : args.History)
            SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)command.c_str());
        if (!args.History.empty())
            SendMessageA(box, CB_SETCURSEL, 0, 0);
        FillPriorityList(dialog, IDC_RUN_PRIORITY, PriorityNormal);
        SetChecked(dialog, IDC_RUN_SEPARATE, true);
        return TRUE;
    }

    // The command the box will hold: while a list entry is being chosen the
    // edit field still shows the one before.
    std::string CommandBoxText(WORD notification)
    {
        HWND box = GetDlgItem(Dialog(), IDC_RUN_COMMAND);
        LRESULT chosen = SendMessageA(box, CB_GETCURSEL, 0, 0);
        if (notification != CBN_SELCHANGE || chosen == CB_ERR)
            return DialogItemText(Dialog(), IDC_RUN_COMMAND);
        LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, chosen, 0);
        if (length == CB_ERR)
            return DialogItemText(Dialog(), IDC_RUN_COMMAND);
        std::string text((size_t)length + 1, '\0');
        SendMessageA(box, CB_GETLBTEXT, chosen, (LPARAM)&text[0]);
        text.resize((size_t)length);
        return text;
    }

    void OnCommandBoxChanged(WORD notification)
    {
        FollowProgramKind(Dialog(), IDC_RUN_SEPARATE, CommandBoxText(notification).c_str());
    }

    // A shell shortcut file stands for its target; anything typed after its
    // name goes with it.
    std::string ResolvedCommand(const std::string& typed)
    {
        char target[MaxText];
        ReadShellLink(Dialog(), Unquoted(typed).c_str(), target, nullptr, nullptr, nullptr, nullptr);
        return target[0] ? std::string(target) : typed;
    }

    void OnOK() override
    {
        HWND dialog = Dialog();
        std::string command = ResolvedCommand(DialogItemText(dialog, IDC_RUN_COMMAND));
        if (command.empty())
            return;
        DWORD separate = Checked(dialog, IDC_RUN_SEPARATE) ? 1 : 0;
        DWORD priority = ChosenPriority(dialog, IDC_RUN_PRIORITY, PriorityNormal);
        DWORD processId = args.Launch(command, separate, priority);
        if (!processId) {
            // The failure has been reported; the command stays for a correction.
            FocusControl(dialog, IDC_RUN_COMMAND);
            return;
        }
        args.Command = command;
        args.ProcessId = processId;
        End(1);
    }

    void OnCancel() override { End(0); }

    void OnBrowse()
    {
        char path[MaxText];
        if (!BrowseForProgram(Dialog(), IDC_RUN_COMMAND, path))
            return;
        SetDlgItemTextA(Dialog(), IDC_RUN_COMMAND, QuotedIfBlank(path).c_str());
        OnCommandBoxChanged(0);
    }

    BOOL OnCommand(int id, int notification) override
    {
        switch (id) {
        case IDC_RUN_BROWSE: OnBrowse(); return TRUE;
        case IDC_RUN_HELP: ShowHelpTopic(Dialog(), "Run Command"); return TRUE;
        case IDC_RUN_COMMAND: OnCommandBoxChanged((WORD)notification); return TRUE;
        default: return FALSE;
        }
    }
};

} // namespace

INT_PTR RunRunDialog(HWND owner, RunDialogArgs& args)
{
    RunDialog dialog(args);
    return dialog.Run(ShellState.Instance, "RUN", owner) == 1 ? 1 : 0;
}
