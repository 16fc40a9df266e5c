#include "setup/hotkeyscreen.h"

#include "common/hotkeycode.h"
#include "common/modal.h"
#include "common/product.h"
#include "hotkeyctl/hotkeyctl.h"
#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

// The Break key, offered until the user presses another.
const HotKeyCode OfferedHotKey = VK_PAUSE;

// The product key gets the default security of the user's hive, as the
// main program gives it.
void StoreHotKey(HotKeyCode code)
{
    HKEY key = nullptr;
    char keyClass[] = "REG_SZ";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, keyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD value = code;
    RegSetValueExA(key, HotKeyValueName, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
}

class HotKeyScreen : public ModalDialog {
    BOOL OnInit() override
    {
        SetHotKeyControlValue(Dialog(), IDC_HOTKEY_KEY, OfferedHotKey);
        CentreOnScreen(Dialog());
        return TRUE;
    }
    void OnOK() override
    {
        StoreHotKey(HotKeyControlValue(Dialog(), IDC_HOTKEY_KEY));
        End(IDOK);
    }
};

} // namespace

INT_PTR RunHotKeyScreen()
{
    HotKeyScreen screen;
    return screen.Run(SetupState.Instance, "HOTKEY", SetupState.Background);
}
