#include "tasks/taskenum.h"

#include <stdio.h>
#include <string.h>

#include "model/shellstate.h"
#include "store/putaway.h"
#include "tasks/refresh.h"
#include "winkit/winutil.h"

namespace {

// Windows that were hidden when the program started, and the desktop and
// taskbar windows; filled once at start-up.
ContainedList SystemTasks;

bool IsOwnProcessWindow(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId();
}

// EnumContain: a visible application window is put away into the folder
// being left, unless a shortcut that stands for it asks to keep it on
// screen. Our own windows (the main window, an open dialog) stay. The
// window is hidden once the enumeration is over and recorded.
void ContainWindow(HWND window, std::vector<HWND>* putAway)
{
    if (window == ShellState.MainWindow || !SeenVisible(window) || IsOwnProcessWindow(window))
        return;
    char className[MaxText] = "";
    GetClassNameA(window, className, MaxText);
    if (IsShellWindowClass(className))
        return;
    Shortcut* shortcut = nullptr;
    for (int i = 0; i < FolderCount() && !shortcut; i++)
        shortcut = FindShortcutByWindow(FolderAt(i), window);
    if (shortcut && !shortcut->ContainInFolder)
        return;
    Folder* current = ShellState.CurrentFolder;
    ContainedEntry* entry = current ? current->Contained->Append(window) : nullptr;
    if (!entry)
        return;
    entry->ShowOnEnter = 1;
    putAway->push_back(window);
}

// EnumSystem: the windows hidden when we start, and the shell's own.
void RecordSystemWindow(HWND window)
{
    char className[MaxText] = "";
    GetClassNameA(window, className, MaxText);
    bool shell = IsShellWindowClass(className);
    bool hidden = window != ShellState.MainWindow && !IsWindowVisible(window) &&
                  !ClassIs(className, "Tooltips_class32");
    if (!shell && !hidden)
        return;
    ContainedEntry* entry = SystemTasks.Append(window);
    if (entry)
        entry->ShowOnEnter = 0;
}

void SplitFileTime(const FILETIME& time, SYSTEMTIME* parts)
{
    if (!FileTimeToSystemTime(&time, parts))
        ZeroMemory(parts, sizeof *parts);
}

} // namespace

const ContainedList& SystemTaskList()
{
    return SystemTasks;
}

void ForgetSystemTask(HWND window)
{
    while (SystemTasks.Remove(window)) {
    }
}

void ResetSystemTaskList()
{
    SystemTasks.Clear();
}

BOOL CALLBACK TaskEnumProc(HWND window, LPARAM param)
{
    const TaskEnumContext* context = (const TaskEnumContext*)param;
    switch (context->Mode) {
    case EnumList: GatherWindow(window, context->Pass); break;
    case EnumContain: ContainWindow(window, context->PutAway); break;
    case EnumSystem: RecordSystemWindow(window); break;
    }
    return TRUE;
}

void EnumerateTasks(TaskEnumMode mode)
{
    std::vector<HWND> putAway;
    TaskEnumContext context = {mode, nullptr, &putAway};
    EnumWindows(TaskEnumProc, (LPARAM)&context);
    if (putAway.empty())
        return;
    // Recorded before any of them goes: a Corvanix killed in between
    // leaves a record of windows that may still be on screen, never a
    // hidden window that no record knows.
    SyncPutAwayRecord();
    ShowRequestBatch hides;
    for (HWND window : putAway)
        ShowWindowNoWait(window, SW_HIDE);
}

void ShowFolderWindows(Folder* folder)
{
    if (!folder || !folder->Contained)
        return;
    ShowRequestBatch shows;
    ContainedEntry* entry = folder->Contained->Head;
    while (entry) {
        // The entry removed is the first of its window, never one after
        // this one, so the next link stays good.
        ContainedEntry* next = entry->Next;
        if (entry->ShowOnEnter) {
            HWND window = entry->Window;
            if (IsWindow(window))
                ShowContainedWindow(window);
            folder->Contained->Remove(window);
        }
        entry = next;
    }
}

const char* StateTextOf(bool visible, bool iconic, bool zoomed)
{
    if (!visible)
        return "Hidden";
    if (iconic)
        return "Minimized";
    if (zoomed)
        return "Maximized";
    return "Normal";
}

const char* StateText(HWND window)
{
    return StateTextOf(IsWindowVisible(window) != 0, IsIconic(window) != 0,
                       IsZoomed(window) != 0);
}

const char* PriorityText(DWORD priorityClass)
{
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return "Low";
    case HIGH_PRIORITY_CLASS: return "High";
    case REALTIME_PRIORITY_CLASS: return "Highest";
    default: return "Normal";
    }
}

const char* ShortcutPriorityText(DWORD choice)
{
    switch (choice) {
    case PriorityLow: return "Low";
    case PriorityHigh: return "High";
    case PriorityHighest: return "Highest";
    default: return "Normal";
    }
}

void StartedText(const FILETIME& creation, char* buffer, int size)
{
    SYSTEMTIME t;
    SplitFileTime(creation, &t);
    snprintf(buffer, (size_t)size, "%02u/%02u/%02u  %02u:%02u", t.wMonth, t.wDay,
             (unsigned)(t.wYear % 100), t.wHour, t.wMinute);
}

void DurationText(const FILETIME& duration, char* buffer, int size)
{
    SYSTEMTIME t;
    SplitFileTime(duration, &t);
    snprintf(buffer, (size_t)size, "%u:%02u:%02u.%03u", t.wHour, t.wMinute, t.wSecond,
             t.wMilliseconds);
}

bool IsShellWindowClass(const char* className)
{
    // Under Wine the tray is a top-level window of its own; put away with
    // a folder, it would take every tray icon, ours among them, with it.
    static const char* const shellClasses[] = {"DeskTopClass", "Shell_TrayWnd",
                                               "__winex11_standalone_tray", "Progman"};
    for (const char* shellClass : shellClasses)
        if (ClassIs(className, shellClass))
            return true;
    return false;
}

bool IsShellClass(const char* className)
{
    // Program Manager is listed when the options ask for it.
    return (IsShellWindowClass(className) && !ClassIs(className, "Progman")) ||
           ClassIs(className, "BubblePopup") || ClassIs(className, "Tooltips_class32") ||
           className[0] == '#';
}
