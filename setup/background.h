// The background window of class "SetupClass": it covers the screen with a
// blue gradient and the title, and runs the setup flow.
#pragma once
#include <windows.h>

// Registers "SetupClass"; false when it could not be registered.
bool RegisterBackgroundClass(HINSTANCE instance);
// Creates the visible background window over the screen rectangle.
HWND CreateBackgroundWindow();
// Ends setup: destroys the background window and posts the quit message.
void EndSetup();
