// setup.exe as a process of its own, driven as a user drives it: each
// screen and box it opens is recognised, looked at, and answered with a
// real click or real key presses.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"

// How to answer the setup program, and what was seen.
struct SetupScript {
    // The WELCOME screen's button: 1039 Install, 3 Remove, 2 Cancel. With a
    // key, Alt with that letter first; the button is clicked only when the
    // screen is still there.
    int Welcome = 1039;
    char WelcomeKey = 0;
    // Keys held together on the HOTKEY screen (none: OK at once); the
    // screen's button.
    std::vector<WORD> HotKey;
    int HotKeyButton = IDOK;
    // The button for a box, given its text; unset or 0: the box's first
    // button.
    std::function<int(const std::string& text)> Answer;
    // Called when the WELCOME or HOTKEY screen is up, before it is answered.
    std::function<void(HWND)> AtWelcome;
    std::function<void(HWND)> AtHotKey;

    // Filled while it runs: every box as "caption: text", in order, and
    // the screens answered ("WELCOME", "HOTKEY"). The progress window
    // comes and goes too quickly to be seen for sure.
    std::vector<std::string> Boxes;
    std::vector<std::string> Screens;
};

class SetupProcess {
public:
    // Starts setup.exe from the folder (its own directory is its source).
    bool Start(const std::string& folder);
    // Answers every screen and box by the script until the process ends
    // (false on time-out: it is then ended by its handle).
    bool Run(SetupScript* script, DWORD timeoutMs = 60000);
    DWORD ExitCode() const { return process_.ExitCode(); }
    // A visible top-level window of the process for which the test holds.
    HWND FindWindowOf(const std::function<bool(HWND)>& test) const;

private:
    ChildProcess process_;
};

// The text of a message box, or of a static control of a dialog.
std::string MessageBoxText(HWND box);
std::string WindowTextOf(HWND window);
// Brings the dialog forward, waits until nothing covers the control and
// clicks it with the real mouse (user_input.h clicks where it is).
void ClickControlInFront(HWND dialog, int id);
// Presses the keys in order and lets them go in reverse order.
void PressChord(const std::vector<WORD>& keys);
