// Runs Corvanix's start-up in the test's own thread, so that a test can
// drive the real main window with messages and look at ShellState,
// Settings and the folder model directly.
#pragma once
#include <windows.h>

#include <string>

// The registry helpers (CleanRegistry, ProductDword...) come with it.
#include "registry_values.h"

class AppSession {
public:
    AppSession() = default;
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    // Runs the start-up sequence with the given command tail and show
    // command; Settings are not reset first, so a test may set fields
    // before. Pumps the posted start-up work (the view command) before it
    // returns. False when start-up did not create the window.
    bool Start(const char* tail = "", int show = SW_SHOWNORMAL);
    // Starts and makes the main window the foreground window, as a user's
    // click would; false when either fails.
    bool StartInFront();
    // Exit through the Exit command; swallows the quit message.
    void Exit();
    bool Running() const { return running_; }

    // Sends a command to the main window.
    LRESULT Command(int id);
    // Waits for the refresh to have applied at least one more pass.
    bool WaitForPasses(int passes = 1, DWORD timeoutMs = 5000);

private:
    bool running_ = false;
};

// Resets Settings and the registry; the usual first lines of a test.
void FreshStart();

// Whether the tray icon of a main window (of any process) is there.
bool TrayIconShown(HWND main);
