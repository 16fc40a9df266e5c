// The icon in the task bar's notification area.
#pragma once
#include <windows.h>

// The icon's identifier, which the shell's callback carries in wParam.
const unsigned TrayIconId = 1;

void AddTrayIcon();
void RemoveTrayIcon();

// The message the shell broadcasts when it has (re)started with an empty
// notification area.
UINT TaskbarCreatedMessage();
// On that message: the icon is added again when the TaskBar option is on.
void OnTaskbarCreated();
