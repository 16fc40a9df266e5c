#include "user_input.h"

#include "dialog_watch.h"
#include "wait.h"

#include <atomic>
#include <iterator>
#include <thread>

namespace {

void SendKey(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, 0);
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void SendCharacter(char c)
{
    INPUT input[2] = {};
    for (int i = 0; i < 2; i++) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wScan = (WORD)(unsigned char)c;
        input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof input[0]);
}

} // namespace

void TypeText(const std::string& text)
{
    for (char c : text) {
        SendCharacter(c);
        Sleep(2);
    }
    Sleep(50);
}

void PressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        SendKey(key, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        SendKey(*it, false);
    Sleep(80);
}

void ReplaceFocusedText(const std::string& text)
{
    PressKeys({VK_END});
    PressKeys({VK_SHIFT, VK_HOME});
    if (text.empty())
        PressKeys({VK_DELETE});
    else
        TypeText(text);
}

void ClickControl(HWND dialog, int id)
{
    RECT box = {};
    GetWindowRect(GetDlgItem(dialog, id), &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    Sleep(30);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(80);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= timeoutMs)
            return cond();
        Sleep(20);
    }
    return true;
}

LRESULT AskControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_BLOCK, 2000, &result);
    return (LRESULT)result;
}

HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

bool ButtonChecked(HWND dialog, int id)
{
    return AskControl(dialog, id, BM_GETCHECK) == BST_CHECKED;
}

void EnsureClosed(HWND dialog, DWORD timeoutMs)
{
    if (WaitUntil([&] { return !IsWindow(dialog); }, timeoutMs))
        return;
    EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            char name[16] = "";
            GetClassNameA(window, name, sizeof name);
            if (processId == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0)
                PostMessageA(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
}

bool DriveDialog(const std::string& caption, const std::function<void()>& open,
                 const std::function<void(HWND)>& drive)
{
    DialogWatch watch(caption, [&](HWND dialog) {
        drive(dialog);
        EnsureClosed(dialog);
    });
    open();
    return watch.Finish();
}

void HoldKey(WORD key, bool down)
{
    SendKey(key, down);
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

void DragWithMouse(POINT from, POINT to, bool control)
{
    std::atomic<bool> done{false};
    std::thread hand([&] {
        SetCursorPos(from.x, from.y);
        Sleep(150);
        if (control)
            SendKey(VK_CONTROL, true);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        Sleep(150);
        for (int step = 1; step <= 8; step++) {
            SetCursorPos(from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8);
            Sleep(60);
        }
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        if (control)
            SendKey(VK_CONTROL, false);
        Sleep(150);
        done = true;
    });
    WaitFor([&] { return done.load(); }, 10000);
    hand.join();
    PumpFor(200);
}
