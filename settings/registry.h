// Everything the program remembers between runs, in the current user's
// registry.
#pragma once
#include <windows.h>

// Reads the options, window layout, Run history, folders and shortcuts.
void LoadSettings();
// Writes them all back.
void SaveSettings();
