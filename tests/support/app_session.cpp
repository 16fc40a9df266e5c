#include "app_session.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "common/product.h"
#include "app/resource.h"
#include "model/shellstate.h"
#include "app/startup.h"
#include "model/settings.h"
#include "wait.h"

void CleanRegistry()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, MakerKeyName);
}

void SetWineVersionFor(const char* exeName, const char* version)
{
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!version || !version[0]) {
        SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &handle, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(handle, "Version", 0, REG_SZ, (const BYTE*)version,
                       (DWORD)strlen(version) + 1);
        RegCloseKey(handle);
    }
}

bool TrayIconShown(HWND main)
{
    // Changing the tip of an icon that is not there fails.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = main;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, "Corvanix");
    return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

bool ProductValueExists(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

DWORD ProductDword(const char* name)
{
    HKEY key;
    DWORD value = 0xDEADBEEF, size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    if (RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)&value, &size) != ERROR_SUCCESS || size != 4)
        value = 0xDEADBEEF;
    RegCloseKey(key);
    return value;
}

void FreshStart()
{
    CleanRegistry();
    ResetSettings();
}

AppSession::~AppSession()
{
    if (running_)
        Exit();
}

bool AppSession::Start(const char* tail, int show)
{
    int exitCode = 0;
    running_ = StartUp(GetModuleHandleA(nullptr), tail, show, &exitCode);
    if (running_)
        PumpFor(50);
    return running_;
}

bool AppSession::StartInFront()
{
    if (!Start())
        return false;
    SetForegroundWindow(ShellState.MainWindow);
    return WaitFor([] { return GetForegroundWindow() == ShellState.MainWindow; }, 3000);
}

void AppSession::Exit()
{
    if (!running_)
        return;
    running_ = false;
    if (IsWindow(ShellState.MainWindow))
        SendMessageA(ShellState.MainWindow, WM_COMMAND, IDM_EXIT, 0);
    // The Exit command ends with the quit message; take it off the queue so
    // that later waits in this test keep pumping.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT AppSession::Command(int id)
{
    return SendMessageA(ShellState.MainWindow, WM_COMMAND, id, 0);
}

bool AppSession::WaitForPasses(int passes, DWORD timeoutMs)
{
    LONG target = ShellState.Diagnostics.PassesApplied + passes;
    return WaitFor([&] { return ShellState.Diagnostics.PassesApplied >= target; }, timeoutMs, 5);
}
