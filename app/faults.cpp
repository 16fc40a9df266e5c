#include "app/faults.h"

#include <signal.h>

#include "core/faultguard.h"
#include "core/shellstate.h"
#include "store/putaway.h"

namespace {

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
    if (IsGccException(code) && ShellState.PreviousFaultFilter)
        return ShellState.PreviousFaultFilter(info);
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
    if (ShellState.LastResortInstalled)
        return;
    ShellState.PreviousFaultFilter = SetUnhandledExceptionFilter(LastResort);
    signal(SIGABRT, OnAbort);
    ShellState.LastResortInstalled = TRUE;
}

void RemoveFaultHandlers()
{
    RemoveFaultGuard();
    if (!ShellState.LastResortInstalled)
        return;
    SetUnhandledExceptionFilter(ShellState.PreviousFaultFilter);
    signal(SIGABRT, SIG_DFL);
    ShellState.LastResortInstalled = FALSE;
}

void EndAfterFault(DWORD code)
{
    // A second fault on the way out (in the restoring thread, say) ends
    // at once.
    if (ShellState.EndingAfterFault.exchange(1) == 0) {
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
