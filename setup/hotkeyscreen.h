// The HOTKEY screen: the user presses the global hot key, which is stored
// where the main program reads it.
#pragma once
#include <windows.h>

// Shows it modally over the background window: 1 after OK (the hot key is
// written), 2 after Cancel, 0 when it was closed otherwise.
INT_PTR RunHotKeyScreen();
