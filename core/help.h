// The help file: every Help button, the Help menu and the toolbar's
// customisation open it through here.
#pragma once
#include <windows.h>

// Opens the help file at the topic of a keyword ("Toolbar", "Run Command").
void ShowHelpTopic(HWND owner, const char* keyword);
// Opens the help file's contents.
void ShowHelpContents(HWND owner);
