// The status bar: object count and memory figures.
#pragma once
#include <windows.h>

#include "tasks/refresh.h"

// Creates the (hidden) status bar with its four parts.
HWND CreateStatusBarWindow(HWND parent, HINSTANCE instance);

// "1,234" for 1234, "999", "1234,567" for 1234567: one separator at most.
void KilobyteText(ULONGLONG kilobytes, char* buffer, int size);

// The four part texts for a row count and memory figures.
void StatusPartTexts(int objectCount, const MemoryFigures& memory, char texts[4][64]);

// Brings the status bar up to date (when it is shown), rewriting a part only
// when its text changed.
void UpdateStatusBar(int objectCount, const MemoryFigures& memory);

// Places the bar at the bottom of the main window after its layout, and
// draws it whole.
void PlaceStatusBar(WPARAM kind, LPARAM size);

// A line of progress across the whole status bar, shown at once (for work
// that runs between two messages); EndStatusProgress brings the parts back.
void ShowStatusProgress(const char* text);
void EndStatusProgress();
