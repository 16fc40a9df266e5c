#include "wait.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to eat: leave it for the thread's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

// Waits up to ms, waking early for new messages.
void Idle(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

}  // namespace

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        Idle(ms - elapsed);
    }
}

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs) {
    if (stepMs == 0) stepMs = 1;
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (cond()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) break;
        DWORD left = timeoutMs - elapsed;
        DWORD until = GetTickCount() + (left < stepMs ? left : stepMs);
        // Messages that arrive meanwhile are handled right away.
        for (;;) {
            DWORD now = GetTickCount();
            if (static_cast<LONG>(until - now) <= 0) break;
            Idle(until - now);
            PumpMessages();
        }
    }
    PumpMessages();
    return cond();
}
