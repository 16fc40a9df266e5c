// The setup program's message boxes: owned by the background window,
// active and in front of whatever opens while they wait for an answer.
#pragma once
#include <windows.h>

// A message box owned by the background window. A window of another
// program that takes the activation while it waits (a group folder that
// Program Manager's commands open, the Corvanix that setup started) has
// it taken back once; when the user activates it again, it stays active.
int SetupMessage(const char* text, const char* caption, UINT style);
