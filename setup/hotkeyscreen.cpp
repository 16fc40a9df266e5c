#include "setup/hotkeyscreen.h"

#include "common/hotkeycode.h"
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

INT_PTR OnInit(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, WM_COMMAND, GETKEY_SETVALUE, OfferedHotKey);
    CentreOnScreen(dialog);
    return TRUE;
}

void OnOK(HWND dialog)
{
    HotKeyCode code = (HotKeyCode)SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, WM_COMMAND, GETKEY_GETVALUE, 0);
    StoreHotKey(code);
    EndDialog(dialog, IDOK);
}

void OnCancel(HWND dialog)
{
    EndDialog(dialog, IDCANCEL);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog); return TRUE;
    case IDCANCEL: OnCancel(dialog); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK HotKeyScreenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunHotKeyScreen()
{
    return DialogBoxParamA(SetupState.Instance, "HOTKEY", SetupState.Background, HotKeyScreenProc, 0);
}
