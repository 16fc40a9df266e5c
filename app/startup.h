// The program's start-up and message loop.
#pragma once
#include <windows.h>

#include <vector>

#include "common/hotkeycode.h"

// The number a second start forwards: leading white space skipped, an
// optional sign, then decimal digits up to the first other character.
long ParseForwardedNumber(const char* tail);

// Runs the start-up sequence. Returns true when the message loop is to run;
// false when the program ends at once with *exitCode (a second start that
// handed over, or a window that could not be created). The first step
// decides, for the whole desktop, which start is the program: it holds
// the instance until LetGoOfInstance.
bool StartUp(HINSTANCE instance, const char* commandTail, int showCommand, int* exitCode);
// Puts ShellState and the state each module keeps back to what they were
// before start-up: StartUp begins with it, as a test does that runs the
// program many times in one process.
void ResetProgramState();
// Lets go of the instance: at the end of Exit and of the message loop, and
// where start-up fails.
void LetGoOfInstance();

// Gets, translates and dispatches until Exit or the installer's message
// ends it with EndMessageLoop; returns the quit message's code. A message
// that cannot be fetched is passed over, and any other quit message runs
// Exit first.
int RunMessageLoop();
// Posts the quit message that ends the loop.
void EndMessageLoop();

// A hot key that could not be registered: the global one (PaneIndex -1) or
// the folder of a pane row, and the combination it had.
struct LostHotKey {
    int PaneIndex;
    HotKeyCode Code;
};

// Registers the global hot key and every folder's hot key for MainWindow;
// a hot key that cannot be registered becomes 0 and is listed in the
// result. A combination without a key is no hot key and is not listed.
std::vector<LostHotKey> RegisterHotKeys();
// The matching unregistration, of every identifier a folder may hold.
void UnregisterHotKeys();

// The tray icon.
void AddTrayIcon();
void RemoveTrayIcon();
