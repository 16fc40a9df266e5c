#include "dialogs/aboutdlg.h"

#include "model/shellstate.h"
#include "dialogs/maindialog.h"
#include "common/version.h"
#include "dialogs/controlids.h"
#include "winkit/faultguard.h"

namespace {

class AboutBox : public ArgsDialog<const AboutBoxArgs> {
public:
    using ArgsDialog::ArgsDialog;

private:
    BOOL OnInit() override
    {
        SetDlgItemTextA(Dialog(), IDC_ABOUT_VERSION, args.Version);
        return TRUE;
    }
    // Only the Close button (or Enter) and the close box end the box; Esc
    // does nothing, and neither does any other command.
    void OnOK() override { End(1); }
    void OnCancel() override {}
    BOOL OnCommand(int, int) override { return TRUE; }
    void OnClose() override { End(1); }
};

} // namespace

INT_PTR RunAboutBox(HWND owner, const AboutBoxArgs& args)
{
    AboutBox box(args);
    return box.Run(ShellState.Instance, "ABOUT", owner);
}
