// The icon in the task bar's notification area.
#pragma once

void AddTrayIcon();
void RemoveTrayIcon();
