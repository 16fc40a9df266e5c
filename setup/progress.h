// The progress window (MODELESS): two lines telling what setup is doing
// and to which file or key. It lives while one step of installing or
// removing runs.
#pragma once
#include <windows.h>

// Opens the window, owned by the background window, and keeps it in
// SetupState.ProgressWindow.
void OpenProgressWindow();
// Sets its action line (1065) and its item line (1067).
void SetProgressAction(const char* text);
void SetProgressItem(const char* text);
// Posts the window a close request; it goes once the loop takes it.
void CloseProgressWindow();
