// The setup program's one process-wide record, set at start-up, and the
// helpers every screen uses.
#pragma once
#include <windows.h>
#include <ddeml.h>

#include "common/texts.h"

struct SetupStateRecord {
    HINSTANCE Instance;
    // The desktop's rectangle, taken at start: the background, the title's
    // font and the centring of every screen follow it.
    RECT Screen;
    HWND Background;
    // The major version plus the minor version divided by 10 (integer
    // division): 4.0 gives 4, 3.51 gives 8, 3.10 gives 4.
    double SystemVersion;
    bool IsNT;
    DWORD BuildNumber;
    // Where the program is installed, and where the files to install are
    // found; both end in a backslash.
    char SystemDir[MaxText];
    char SourceDir[MaxText];
    // The client-only DDE instance and the one Program Manager
    // conversation it holds at a time.
    DWORD DdeInstance;
    HSZ ProgmanService;
    HSZ ProgmanTopic;
    HCONV ProgmanConversation;
    // Chosen by the logon question.
    bool StartAtLogon;
    // The open progress window, or null.
    HWND ProgressWindow;
};

extern SetupStateRecord SetupState;

// Reads the version and builds SystemDir and SourceDir; false when a
// directory does not fit.
bool ReadSystem();

// Moves a window, keeping its size, to the middle of the screen rectangle
// taken at start, without repainting.
void CentreOnScreen(HWND window);
