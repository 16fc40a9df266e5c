// The HOTKEY screen: the user presses the global hot key.
#pragma once
#include <windows.h>

#include "common/hotkeycode.h"

// Shows it modally over the background window: 1 after OK, with the key
// the user chose in `chosen`; 2 after Cancel, 0 when it was closed
// otherwise.
INT_PTR RunHotKeyScreen(HotKeyCode* chosen);
