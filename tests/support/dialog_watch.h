// Modal dialogs and message boxes run their own message loop in the
// thread that opened them, so a test thread that opens one cannot look at
// it. A DialogWatch does, from a thread of its own: it waits for a
// top-level window of this process with the given caption, records its
// texts, and then runs an action on it (typically pressing a button).
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class DialogWatch {
public:
    using Action = std::function<void(HWND)>;
    DialogWatch(const std::string& caption, Action action, DWORD timeoutMs = 10000);
    ~DialogWatch();  // waits for the watching thread
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    // Waits for the watch to end; true if the window was seen.
    bool Finish();
    bool Seen() const { return seen_; }
    HWND Window() const { return window_; }
    // The texts of its static controls, one per line.
    const std::string& Text() const { return text_; }

private:
    void Run(std::string caption, Action action, DWORD timeoutMs);

    std::thread thread_;
    std::atomic<bool> seen_{false};
    std::atomic<HWND> window_{nullptr};
    std::string text_;
};

// Actions.
void PressButton(HWND dialog, int id);        // BM_CLICK on the control
void CloseWindowBox(HWND dialog);             // WM_CLOSE (the close box)
std::string ControlText(HWND dialog, int id);
// Finds a visible top-level window of this process with that caption.
HWND FindOwnWindow(const std::string& caption);
