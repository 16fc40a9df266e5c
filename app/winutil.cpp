#include "app/winutil.h"

bool IsOwnThreadWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

void ShowWindowNoWait(HWND window, int command)
{
    if (IsOwnThreadWindow(window))
        ShowWindow(window, command);
    else
        ShowWindowAsync(window, command);
}

bool SendMessageNoHang(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       DWORD_PTR* result, UINT timeoutMs)
{
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutA(window, message, wParam, lParam,
                                       SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &answer);
    if (result)
        *result = sent ? answer : 0;
    return sent != 0;
}

int ReadWindowText(HWND window, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    int length = 0;
    if (processId != GetCurrentProcessId()) {
        // For another process's window the system answers from its own copy
        // of the text and sends nothing to the window.
        length = GetWindowTextA(window, buffer, size);
    } else {
        DWORD_PTR answer = 0;
        if (SendMessageNoHang(window, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer, &answer))
            length = (int)answer;
    }
    if (length < 0)
        length = 0;
    if (length >= size)
        length = size - 1;
    buffer[length] = 0;
    return length;
}

HICON WindowIcon(HWND window)
{
    HICON icon = (HICON)GetClassLongPtrA(window, GCLP_HICON);
    if (icon)
        return icon;
    DWORD_PTR answer = 0;
    if (SendMessageNoHang(window, WM_QUERYDRAGICON, 0, 0, &answer))
        icon = (HICON)answer;
    return icon;
}

bool ClassIs(const char* className, const char* name)
{
    return lstrcmpiA(className, name) == 0;
}
