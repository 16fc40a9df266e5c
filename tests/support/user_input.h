// Real keyboard and mouse input (SendInput), for driving dialogs from a
// thread of the test's own while the dialog's modal loop runs in the
// test's main thread. The input goes to the foreground window.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

// Types the text, one character at a time.
void TypeText(const std::string& text);
// Presses the keys in order and lets them go in reverse order.
void PressKeys(std::initializer_list<WORD> keys);
// Replaces the text of the focused edit field: End, Shift+Home, then the
// text (an empty text deletes the selection).
void ReplaceFocusedText(const std::string& text);
// A left click in the middle of a dialog's control.
void ClickControl(HWND dialog, int id);

// Sleeps in steps until cond holds or timeoutMs pass; for threads that own
// no windows. Returns the last result of cond.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000);

// Waits for a dialog driven by a test to end; a test gone wrong must not
// leave it, or a box above it, waiting for ever: then every dialog box of
// this process is closed.
void EnsureClosed(HWND dialog, DWORD timeoutMs = 10000);

// Opens a dialog with open() and, from a DialogWatch's thread, hands it to
// drive, then sees it closed (EnsureClosed); false when it never showed.
bool DriveDialog(const std::string& caption, const std::function<void()>& open,
                 const std::function<void(HWND)>& drive);

// Another thread's dialog asked: a control's text, check state, list
// counts and selections.
bool ButtonChecked(HWND dialog, int id);
LRESULT AskControl(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The control of another thread's dialog that has the focus.
HWND FocusOf(HWND dialog);

// One key pressed or let go, to hold it over other input.
void HoldKey(WORD key, bool down);
// A left click at a point of the screen.
void ClickAt(int x, int y);
// Presses the left button at one point of the screen (with Control held,
// if asked), moves to another in steps and lets go, from a thread of its
// own while the calling thread pumps its messages and so runs whatever
// loop the press starts.
void DragWithMouse(POINT from, POINT to, bool control = false);
