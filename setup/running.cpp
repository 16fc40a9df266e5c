#include "setup/running.h"

#include <windows.h>

#include "common/messages.h"
#include "common/product.h"

namespace {

// Long enough for a busy program to take the message, short enough that a
// hung one does not keep setup waiting for long.
const DWORD EndTimeoutMs = 10000;
const int MostPrograms = 8;

// Posted rather than sent: a hung program cannot block setup, and it still
// ends when it comes back.
void AskToEnd(HWND main)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    PostMessageA(main, WM_QUITNOW, 0, 0);
    if (process) {
        WaitForSingleObject(process, EndTimeoutMs);
        CloseHandle(process);
        return;
    }
    // Without a handle on the process, its window going is the sign.
    DWORD start = GetTickCount();
    while (IsWindow(main) && GetTickCount() - start < EndTimeoutMs)
        Sleep(50);
}

} // namespace

void EndRunningCorvanix()
{
    HWND asked[MostPrograms] = {};
    for (int count = 0; count < MostPrograms; count++) {
        HWND main = FindWindowA(MainWindowClass, nullptr);
        if (!main)
            return;
        for (int i = 0; i < count; i++) {
            if (asked[i] == main)
                return;  // it was asked and did not end
        }
        asked[count] = main;
        AskToEnd(main);
    }
}
