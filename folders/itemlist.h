// The item list window: the running tasks and the current folder's
// shortcuts, with drag and drop and files dropped from the shell.
#pragma once
#include <windows.h>

LRESULT CALLBACK ItemListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
