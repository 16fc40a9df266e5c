// The program's options and the Run history.
#pragma once
#include <windows.h>

#include "common/hotkeycode.h"
#include "common/texts.h"

// Ctrl+Alt+F1: the hot key of the folder made on a first start.
const HotKeyCode FirstFolderHotKey = 0x00030070;

// Priority choice, shared by the program, shortcuts and the Run dialog.
enum PriorityChoice { PriorityNormal = 0, PriorityLow = 1, PriorityHigh = 2, PriorityHighest = 3 };

// Maps a priority choice to its process priority class.
DWORD PriorityClassOf(DWORD choice);

// The options. Each field is named after the registry value that stores it;
// the field widths are those of the stored values.
struct SettingsRecord {
    DWORD Priority;
    DWORD Top;
    DWORD Progman;
    DWORD StatusBar;
    DWORD ToolBar;
    DWORD Folders;
    DWORD TaskBar;
    DWORD AutoClose;
    DWORD nViewX;
    COLORREF Color;
    DWORD AcquireLength;
    HotKeyCode HotKey;
    RECT Window;
    DWORD View;
    WORD ColWidth[6];
};

extern SettingsRecord Settings;

// Puts every field back to its built-in initial value.
void ResetSettings();

// Reads a field that the refresh thread shares with the interface thread.
inline DWORD ReadShared(const DWORD& field)
{
    return __atomic_load_n(&field, __ATOMIC_RELAXED);
}

// The Run dialog's history: slot 0 is the newest; filled slots are
// contiguous from slot 0.
const int RunHistorySlots = 32;

struct RunHistoryRecord {
    char* Slot[RunHistorySlots];
};

extern RunHistoryRecord RunHistory;

// Puts a copy of the command in slot 0, moving the others down and dropping
// the oldest; true when it did. A command equal to slot 0 (ignoring case) is
// not inserted again, and neither is one longer than MaxTextLength: the
// registry could not give it back, and a shortened command would start
// something else.
bool RunHistoryInsert(const char* command);

// Releases every slot's text and empties it.
void RunHistoryClear();

// Number of filled slots.
int RunHistoryCount();

// The text of a slot, never null ("" when the slot is empty).
const char* RunHistoryText(int slot);
