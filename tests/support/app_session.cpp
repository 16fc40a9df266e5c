#include "app_session.h"

#include <shellapi.h>

#include "common/product.h"
#include "model/shellstate.h"
#include "panes/itemrows.h"
#include "app/resource.h"
#include "app/startup.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "wait.h"

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
    LONG target = PassesApplied() + passes;
    return WaitFor([&] { return PassesApplied() >= target; }, timeoutMs, 5);
}
