#include "setup/welcome.h"

#include "common/modal.h"
#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

class WelcomeScreen : public ModalDialog {
    BOOL OnInit() override
    {
        CentreOnScreen(Dialog());
        return TRUE;
    }
    // Enter presses the default button, Install: IDOK is none of the
    // screen's buttons.
    void OnOK() override {}
    BOOL OnCommand(int id, int) override
    {
        if (id != IDC_WELCOME_INSTALL && id != IDC_WELCOME_REMOVE)
            return FALSE;
        End(id);
        return TRUE;
    }
};

} // namespace

INT_PTR RunWelcomeScreen()
{
    WelcomeScreen screen;
    return screen.Run(SetupState.Instance, "WELCOME", SetupState.Background);
}
