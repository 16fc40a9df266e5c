// Handling a message so that whatever goes wrong in it is reported in the
// "Exception Error" box and the program goes on: a C++ exception, and a
// fault (an access violation, a division by zero...) in our own code.
//
// A fault is taken back to the guard only when every frame between the
// faulting instruction and the guard is our own code: then nothing but our
// own frames is left behind (their locals leak), and no state of the
// system's libraries is cut off halfway. A fault that does not qualify
// (in a system library, under a frame of one, on a thread without a guard,
// a stack overflow) is left to the last-resort handler, which shows every
// put-away window again and ends the program (app/faults.h).
//
// The way back is GCC's own non-local goto (__builtin_setjmp and
// __builtin_longjmp), which restores the guard's frame and unwinds nothing:
// neither the system's unwinder nor GCC's exception tables are asked to
// walk out of a faulting instruction. The check of the frames differs by
// target: on x86_64 the system's unwind tables (RtlVirtualUnwind); on i686,
// where our code keeps its frame pointers (see CMakeLists.txt), the chain
// of saved frame pointers.
#pragma once
#include <windows.h>

struct MessageGuard {
    void* Resume[5];  // __builtin_setjmp's buffer
    MessageGuard* Outer;
    DWORD ThreadId;
    volatile LONG Checking;  // a fault is being looked at
#if defined(__i386__)
    void* ExceptionList;  // the thread's handler chain at entry
#endif
    // The message, for the report.
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

// Watches for faults on every thread (a vectored handler, where the system
// has them); removed at Exit.
void InstallFaultGuard();
void RemoveFaultGuard();

// The message handling in progress on the interface thread that a fault
// may return to, null when none.
MessageGuard* InnermostGuard();
// Forgets the guards of an earlier run (the tests start the program many
// times in one process). The fault handler belongs to the process and
// stays.
void ResetFaultGuard();

void EnterGuard(MessageGuard* guard, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void LeaveGuard(MessageGuard* guard);
// Shows the "Exception Error" box for the guard's message.
void ReportException(const MessageGuard* guard);

// The text of the exception report for a message.
void ExceptionReportText(UINT message, WPARAM wParam, LPARAM lParam, char* buffer, int size);

// Runs the handler; false when a C++ exception escaped from it.
template <class Handler>
bool CallCatchingExceptions(MessageGuard* guard, Handler& handle, LRESULT* result)
{
    try {
        *result = handle(guard->Window, guard->Message, guard->WParam, guard->LParam);
        return true;
    } catch (...) {
        *result = 0;
        return false;
    }
}

// Runs the handling of one message; an exception or a fault escaping from
// it is reported in the "Exception Error" box owned by the window, and the
// message counts as handled (result 0).
template <class Handler>
__attribute__((noinline)) LRESULT GuardedCall(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, Handler handle)
{
    MessageGuard guard;
    if (__builtin_setjmp(guard.Resume)) {
        // Back from a fault: only what lives in memory is read here.
        LeaveGuard(&guard);
        ReportException(&guard);
        return 0;
    }
    EnterGuard(&guard, window, message, wParam, lParam);
    LRESULT result;
    bool handled = CallCatchingExceptions(&guard, handle, &result);
    LeaveGuard(&guard);
    if (!handled)
        ReportException(&guard);
    return result;
}
