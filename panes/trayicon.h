// The icon in the task bar's notification area.
#pragma once

// The icon's identifier, which the shell's callback carries in wParam.
const unsigned TrayIconId = 1;

void AddTrayIcon();
void RemoveTrayIcon();
