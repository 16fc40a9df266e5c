#include "panes/trayicon.h"

#include <windows.h>
#include <shellapi.h>

#include "common/messages.h"
#include "model/settings.h"
#include "model/shellstate.h"

static void FillTrayRecord(NOTIFYICONDATAA* data)
{
    ZeroMemory(data, sizeof *data);
    data->cbSize = NOTIFYICONDATAA_V1_SIZE;  // 88 bytes on 32-bit Windows
    data->hWnd = ShellState.MainWindow;
    data->uID = TrayIconId;
    data->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data->uCallbackMessage = WM_TRAYICON;
    data->hIcon = ShellState.IconTable[IconTaskbar];
    lstrcpynA(data->szTip, "Corvanix", sizeof data->szTip);
}

void AddTrayIcon()
{
    NOTIFYICONDATAA data;
    FillTrayRecord(&data);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void RemoveTrayIcon()
{
    NOTIFYICONDATAA data;
    FillTrayRecord(&data);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

UINT TaskbarCreatedMessage()
{
    // Registered once: every registration of the name counts up its atom.
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void OnTaskbarCreated()
{
    if (ShellState.IsNewShell && Settings.TaskBar)
        AddTrayIcon();
}
