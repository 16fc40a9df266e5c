// The Task Properties dialog: the details of one running application and
// the priority class of its process.
#pragma once
#include <windows.h>

#include <string>

// Runs the dialog for a window, whose item-list row is row (-1 when it has
// none or the caller does not know it); 1 after OK (or when the window has
// no title or its process cannot be opened, and the dialog never shows), 2
// after Cancel or the close box.
INT_PTR RunTaskPropertiesDialog(HWND window, int row = -1);

INT_PTR CALLBACK TaskPropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The details text of a window and its process.
std::string TaskDetailsText(HWND window, HANDLE process, DWORD processId, DWORD threadId);
// "%u/%u/%u  %u:%02u": month, day, full year, hour, minute.
void CreatedText(const FILETIME& creation, char* buffer, int size);
// The priority list's index for a priority class.
int PriorityIndexOf(DWORD priorityClass);
