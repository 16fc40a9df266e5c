#include "setup/hotkeyscreen.h"

#include "common/hotkeycode.h"
#include "common/modal.h"
#include "hotkeyctl/hotkeyctl.h"
#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

// The Break key, offered until the user presses another.
const HotKeyCode OfferedHotKey = VK_PAUSE;

class HotKeyScreen : public ModalDialog {
public:
    HotKeyCode Chosen = OfferedHotKey;

private:
    BOOL OnInit() override
    {
        SetHotKeyControlValue(Dialog(), IDC_HOTKEY_KEY, OfferedHotKey);
        CentreOnScreen(Dialog());
        return TRUE;
    }
    void OnOK() override
    {
        Chosen = HotKeyControlValue(Dialog(), IDC_HOTKEY_KEY);
        End(IDOK);
    }
};

} // namespace

INT_PTR RunHotKeyScreen(HotKeyCode* chosen)
{
    HotKeyScreen screen;
    INT_PTR result = screen.Run(SetupState.Instance, "HOTKEY", SetupState.Background);
    *chosen = screen.Chosen;
    return result;
}
