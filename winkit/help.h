// The help file: every Help button, the Help menu and the toolbar's
// customisation open it through here.
//
// The viewer runs in a process of its own and may take seconds to start,
// so requests are handed to a thread of their own and these calls return
// at once; the viewer is asked to close when the program ends.
#pragma once
#include <windows.h>

#include <string>

// Opens the help file at the topic of a keyword ("Toolbar", "Run Command").
void ShowHelpTopic(HWND owner, const char* keyword);
// Opens the help file's contents.
void ShowHelpContents(HWND owner);
// Tells the viewer that the program no longer needs it (at Exit, and when
// the installer ends the program). Waits a little for the requests still
// under way; a viewer that does not answer holds nothing up for long.
void CloseHelp(HWND owner);
// Forgets the help thread of an earlier run (the tests start the program
// many times in one process).
void ResetHelp();

// The help file beside the program, where the build and the installer
// put it.
std::string HelpFilePath();
// Wine's viewer cannot look keywords up; it is started at the topic's
// context name instead. The context name of a keyword's topic, or null
// for a keyword the program does not ask for.
const char* HelpContextOf(const char* keyword);
