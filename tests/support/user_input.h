// Real keyboard and mouse input, through SendInput, as a user gives it: it
// reaches the window with the keyboard focus (or under the mouse), in
// whichever thread of whichever process that window lives.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

void SendKey(WORD key, bool down);
// Presses the keys in order and lets them go in reverse order.
void PressKeys(std::initializer_list<WORD> keys);
// Types letters (upper case with Shift), digits and blanks.
void TypeText(const std::string& text);
// A left click at a point of the screen.
void ClickAt(int x, int y);
// A left click at the centre of a window.
void ClickWindow(HWND window);
