// The "GETKEY" control: the user enters a key combination by pressing it.
// Its value is a HotKeyCode, set and read through WM_COMMAND.
#pragma once
#include <windows.h>

#include "common/hotkeycode.h"

#define GETKEY_SETVALUE 100
#define GETKEY_GETVALUE 101

// Registers the window class "GETKEY"; true on success.
bool RegisterHotKeyControlClass(HINSTANCE instance);

// The value of a dialog's GETKEY control, and setting it.
HotKeyCode HotKeyControlValue(HWND dialog, int id);
void SetHotKeyControlValue(HWND dialog, int id, HotKeyCode code);

// The text the control shows for a value, e.g. "Ctrl+Alt+F5" or "<none>".
void HotKeyText(DWORD code, char* buffer, int size);

// Synthesises a key press with the given modifier flags (1 Alt, 2 Ctrl,
// 4 Shift) held, releasing the other modifiers first.
void SendKeystroke(UINT virtualKey, UINT modifiers);
