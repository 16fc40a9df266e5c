#include "setup/messagebox.h"

#include <algorithm>
#include <vector>

#include "setup/setupstate.h"

namespace {

const UINT GuardPeriodMs = 100;

// While a box waits: its caption, and the windows it has taken the
// activation from once, which may keep it when they take it again.
struct FrontGuardRecord {
    const char* Caption;
    std::vector<HWND> Known;
};
FrontGuardRecord FrontGuard;

bool IsKnown(HWND window)
{
    return std::find(FrontGuard.Known.begin(), FrontGuard.Known.end(), window) != FrontGuard.Known.end();
}

// The box: a window of this thread that the background window owns,
// under the box's caption (the progress window has none).
BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    char caption[MaxText] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (GetWindow(window, GW_OWNER) != SetupState.Background || lstrcmpA(caption, FrontGuard.Caption) != 0)
        return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

void CALLBACK KeepBoxInFront(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, (LPARAM)&box);
    if (!box)
        return;
    // MB_TOPMOST leaves a box with an owner among the ordinary windows under
    // Wine, where a window another program raises without activating it
    // would cover the box.
    if (!(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST))
        SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // With no window active (the desktop is, once the window that was
    // has closed) the box takes the activation, however often that comes.
    HWND front = GetForegroundWindow();
    if (front && front != GetDesktopWindow()) {
        DWORD processId = 0;
        GetWindowThreadProcessId(front, &processId);
        if (processId == GetCurrentProcessId() || IsKnown(front))
            return;
        FrontGuard.Known.push_back(front);
    }
    SetForegroundWindow(box);
}

} // namespace

int SetupMessage(const char* text, const char* caption, UINT style)
{
    FrontGuard.Caption = caption;
    FrontGuard.Known.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, GuardPeriodMs, KeepBoxInFront);
    int answer = MessageBoxA(SetupState.Background, text, caption, style | MB_TOPMOST | MB_SETFOREGROUND);
    KillTimer(nullptr, timer);
    return answer;
}
