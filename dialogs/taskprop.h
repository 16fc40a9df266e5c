// The Task Properties dialog: the details of one running application and
// the priority class of its process.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// What the dialog shows, what it may open, and the priority chosen. The
// caller sets the priority: the dialog changes nothing itself.
struct TaskPropertiesArgs {
    // In: the Task's window, and its process, opened by the caller with the
    // rights to query and to set its information.
    HWND Window = nullptr;
    HANDLE Process = nullptr;
    // In: whether the Task was started from a shortcut of the current
    // folder: "Shortcut..." is enabled, and its click calls EditShortcut
    // with this dialog, which opens the Shortcut Properties dialog owned by
    // it; this dialog stays open.
    bool HasShortcut = false;
    std::function<void(HWND dialog)> EditShortcut;
    // Out: after OK the priority choice selected (0 Normal to 3 Highest),
    // otherwise -1.
    int Priority = -1;
};

// Runs the dialog (template "TASKPROP") owned by owner; 1 after OK (or
// when the window has no title, and the dialog never shows), 2 after
// Cancel or the close box.
INT_PTR RunTaskPropertiesDialog(HWND owner, TaskPropertiesArgs& args);

// The details text of a window and its process.
std::string TaskDetailsText(HWND window, HANDLE process, DWORD processId, DWORD threadId);
// "%u/%u/%u  %u:%02u": month, day, full year, hour, minute.
void CreatedText(const FILETIME& creation, char* buffer, int size);
// The priority list's index for a priority class.
int PriorityIndexOf(DWORD priorityClass);
