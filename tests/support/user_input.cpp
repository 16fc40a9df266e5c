#include "user_input.h"

#include <ctype.h>

void SendKey(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, 0);
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        SendKey(key, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        SendKey(*it, false);
}

void TypeText(const std::string& text)
{
    for (char c : text) {
        bool upper = isupper((unsigned char)c) != 0;
        WORD key = (WORD)toupper((unsigned char)c);
        if (upper)
            PressKeys({VK_SHIFT, key});
        else
            PressKeys({key});
    }
}

void ClickAt(int x, int y)
{
    SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof input[0]);
}

void ClickWindow(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
