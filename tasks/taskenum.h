// What a Task is and how the top-level windows are found: one enumeration
// callback run in three modes, and the per-folder sets of windows.
#pragma once
#include <windows.h>

#include <vector>

#include "model/model.h"

enum TaskEnumMode {
    EnumList = 0,     // gather the windows for a refresh pass (refresh thread)
    EnumContain = 1,  // put the visible windows away into the CurrentFolder
    EnumSystem = 2,   // record the hidden and shell windows at start-up
};

struct RefreshPass;

// What TaskEnumProc is given through EnumWindows' parameter.
struct TaskEnumContext {
    TaskEnumMode Mode;
    RefreshPass* Pass;              // EnumList only
    std::vector<HWND>* PutAway;     // EnumContain only: the windows to hide
};

BOOL CALLBACK TaskEnumProc(HWND window, LPARAM context);

// Runs TaskEnumProc over all top-level windows in one of the two
// interface-thread modes. EnumContain records the windows it puts away
// (store/putaway.h) before it asks any of them to hide.
void EnumerateTasks(TaskEnumMode mode);

// The windows that were hidden when the program started (EnumSystem), and
// the shell's own: never put away with a folder, listed in a folder that
// asks for them.
const ContainedList& SystemTaskList();
// A window that an earlier run of the program had put away was not hidden
// before the program started.
void ForgetSystemTask(HWND window);
// Empties the list (the tests start the program many times in one process).
void ResetSystemTaskList();

// After CurrentFolder has become the folder entered: shows its windows
// again in the state they were left in (in one batch of requests, or in
// the caller's) and takes them out of its list. The caller brings the
// record of put-away windows up to date once its batch has ended.
void ShowFolderWindows(Folder* folder);

// "Hidden", "Minimized", "Maximized" or "Normal".
const char* StateText(HWND window);
const char* StateTextOf(bool visible, bool iconic, bool zoomed);
// "Low", "High", "Highest" or "Normal" for a process priority class.
const char* PriorityText(DWORD priorityClass);
// The same words for a shortcut's priority choice.
const char* ShortcutPriorityText(DWORD choice);

// "%02u/%02u/%02u  %02u:%02u": month, day, the year's last two digits,
// hour, minute.
void StartedText(const FILETIME& creation, char* buffer, int size);
// "%u:%02u:%02u.%03u": hours, minutes, seconds, milliseconds (within a day).
void DurationText(const FILETIME& duration, char* buffer, int size);

// The shell's own windows: the desktop, the task bar and its tray, and
// Program Manager. They are never put away with a folder.
bool IsShellWindowClass(const char* className);
// Class names that are never tasks: the shell's windows (Program Manager
// aside, listed when the options ask for it), tool tips and balloons, and
// the system's own classes.
bool IsShellClass(const char* className);
