// The program's start-up and message loop.
#pragma once
#include <windows.h>

// The number a second start forwards: leading white space skipped, an
// optional sign, then decimal digits up to the first other character.
long ParseForwardedNumber(const char* tail);

// Runs the start-up sequence. Returns true when the message loop is to run;
// false when the program ends at once with *exitCode (a second start that
// handed over, or a window that could not be created).
bool StartUp(HINSTANCE instance, const char* commandTail, int showCommand, int* exitCode);

// Gets, translates and dispatches until the quit message; returns its code.
int RunMessageLoop();

// Registers the global hot key and every folder's hot key for MainWindow;
// a hot key that cannot be registered becomes 0.
void RegisterHotKeys();
// The matching unregistration.
void UnregisterHotKeys();

// The tray icon.
void AddTrayIcon();
void RemoveTrayIcon();
