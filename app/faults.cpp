#include "app/faults.h"

#include <signal.h>

#include <atomic>

#include "store/putaway.h"
#include "winkit/faultguard.h"

namespace {

// The last resort belongs to the process, not to one run of start-up:
// whether it is installed, the filter it replaced, and whether the end
// after a fault is under way.
BOOL LastResortInstalled = FALSE;
LPTOP_LEVEL_EXCEPTION_FILTER PreviousFaultFilter = nullptr;
std::atomic<LONG> EndingAfterFault{0};

// How long the windows may take to be asked back.
const DWORD RestoreTimeoutMs = 5000;
// The code abort() ends a program with.
const DWORD AbortExitCode = 3;

// GCC's own exceptions pass through the top-level filter on their way to
// std::terminate; the runtime's filter sends them on.
bool IsGccException(DWORD code)
{
    return (code & 0x20FFFFFF) == 0x20474343;
}

DWORD WINAPI RestoreThread(LPVOID)
{
    ShowRecordedWindows();
    return 0;
}

LONG WINAPI LastResort(EXCEPTION_POINTERS* info)
{
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (IsGccException(code) && PreviousFaultFilter)
        return PreviousFaultFilter(info);
    EndAfterFault(code);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnAbort(int)
{
    EndAfterFault(AbortExitCode);
}

} // namespace

void InstallFaultHandlers()
{
    InstallFaultGuard();
    if (LastResortInstalled)
        return;
    PreviousFaultFilter = SetUnhandledExceptionFilter(LastResort);
    signal(SIGABRT, OnAbort);
    LastResortInstalled = TRUE;
}

void RemoveFaultHandlers()
{
    RemoveFaultGuard();
    if (!LastResortInstalled)
        return;
    SetUnhandledExceptionFilter(PreviousFaultFilter);
    signal(SIGABRT, SIG_DFL);
    LastResortInstalled = FALSE;
}

void EndAfterFault(DWORD code)
{
    // A second fault on the way out (in the restoring thread, say) ends
    // at once.
    if (EndingAfterFault.exchange(1) == 0) {
        HANDLE thread = CreateThread(nullptr, 64 * 1024, RestoreThread, nullptr, 0, nullptr);
        if (thread) {
            WaitForSingleObject(thread, RestoreTimeoutMs);
            CloseHandle(thread);
        } else {
            ShowRecordedWindows();
        }
    }
    TerminateProcess(GetCurrentProcess(), code);
}
