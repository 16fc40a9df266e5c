#include "winkit/faultguard.h"

#include <stdio.h>

#include <atomic>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The message handling in progress on the interface thread, read by the
// fault handler on whichever thread faults.
std::atomic<MessageGuard*> Innermost{nullptr};
// The vectored handler, for the process's life once installed.
PVOID FaultHandler = nullptr;

// Deeper than any handling of ours; a longer chain is not believed.
const int MaxFrames = 512;

bool IsSurvivableFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
        return true;
    default:
        // Stack overflows among them: the guard page is spent.
        return false;
    }
}

// Our own code: the image this file is linked into.
bool InOwnImage(ULONG_PTR address)
{
    ULONG_PTR base = (ULONG_PTR)&__ImageBase;
    const IMAGE_NT_HEADERS* headers = (const IMAGE_NT_HEADERS*)(base + __ImageBase.e_lfanew);
    return address >= base && address < base + headers->OptionalHeader.SizeOfImage;
}

// The thread's own block (its Self field holds its flat address).
NT_TIB* ThreadBlock()
{
    NT_TIB* tib;
#if defined(__x86_64__)
    __asm__("movq %%gs:0x30, %0" : "=r"(tib));
#else
    __asm__("movl %%fs:0x18, %0" : "=r"(tib));
#endif
    return tib;
}

bool OnOwnStack(ULONG_PTR address, size_t size)
{
    const NT_TIB* tib = ThreadBlock();
    return address >= (ULONG_PTR)tib->StackLimit && address + size <= (ULONG_PTR)tib->StackBase;
}

#if defined(__x86_64__)

// Unwinds, with the system's tables, from the faulting instruction up to
// the guard's frame: true when every frame on the way is our own code.
bool OwnFramesUpToGuard(const CONTEXT& fault, const MessageGuard* guard)
{
    CONTEXT context = fault;
    for (int depth = 0; depth < MaxFrames; depth++) {
        if (context.Rsp > (ULONG_PTR)guard)
            return true;
        if (!InOwnImage(context.Rip) || !OnOwnStack(context.Rsp, sizeof(DWORD64)))
            return false;
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function) {
            PVOID handlerData = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context,
                             &handlerData, &establisher, nullptr);
        } else {
            // A function without a frame of its own: its return address is on top.
            context.Rip = *(const DWORD64*)context.Rsp;
            context.Rsp += sizeof(DWORD64);
        }
    }
    return false;
}

ULONG_PTR FaultAddress(const CONTEXT& context)
{
    return context.Rip;
}

// Continues the thread in resume with the stack the fault left: the
// frames below the fault are dead once the fault is dismissed.
void ContinueIn(CONTEXT* context, void (*resume)())
{
    context->Rsp = (context->Rsp & ~(ULONG_PTR)15) - sizeof(DWORD64);
    context->Rip = (ULONG_PTR)resume;
}

#elif defined(__i386__)

// Follows the saved frame pointers from the faulting function up to the
// guard's frame: true when every return address on the way is our own
// code. Our code keeps its frame pointers; a frame of the system's that
// stands in between shows as a return address outside our image, whether
// or not it keeps one itself. Only a function that touches no stack at all
// goes without a frame, and whatever of ours the system calls reads its
// arguments from the stack: a frameless function is called by our own
// code, whose frame the chain starts from.
bool OwnFramesUpToGuard(const CONTEXT& fault, const MessageGuard* guard)
{
    if (!InOwnImage(fault.Eip))
        return false;
    ULONG_PTR frame = fault.Ebp;
    for (int depth = 0; depth < MaxFrames; depth++) {
        if (frame > (ULONG_PTR)guard)
            return true;
        if (frame < fault.Esp || frame % sizeof(ULONG_PTR) || !OnOwnStack(frame, 2 * sizeof(ULONG_PTR)))
            return false;
        const ULONG_PTR* saved = (const ULONG_PTR*)frame;
        if (!InOwnImage(saved[1]) || saved[0] <= frame)
            return false;
        frame = saved[0];
    }
    return false;
}

ULONG_PTR FaultAddress(const CONTEXT& context)
{
    return context.Eip;
}

void ContinueIn(CONTEXT* context, void (*resume)())
{
    context->Esp = (context->Esp & ~(ULONG_PTR)15) - sizeof(DWORD);
    context->Eip = (ULONG_PTR)resume;
}

#else
#error "a frame check for this processor"
#endif

// Where a fault is taken back to: the innermost guard's setjmp.
__attribute__((noreturn, noinline)) void ResumeAtGuard()
{
    MessageGuard* guard = Innermost;
#if defined(__i386__)
    // Handlers registered by the frames left behind are gone with them.
    ThreadBlock()->ExceptionList = (_EXCEPTION_REGISTRATION_RECORD*)guard->ExceptionList;
#endif
    __builtin_longjmp(guard->Resume, 1);
}

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info)
{
    MessageGuard* guard = Innermost;
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (!guard || guard->ThreadId != GetCurrentThreadId() || !IsSurvivableFault(record->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    // A fault while we look at this one goes its own way.
    if (InterlockedExchange(&guard->Checking, 1))
        return EXCEPTION_CONTINUE_SEARCH;
    if (!InOwnImage(FaultAddress(*info->ContextRecord)) ||
        !OwnFramesUpToGuard(*info->ContextRecord, guard))
        return EXCEPTION_CONTINUE_SEARCH;
    ContinueIn(info->ContextRecord, ResumeAtGuard);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Owned by the top-level window, also when a child control's message
// faulted.
HWND ReportOwner(HWND window)
{
    while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        window = GetParent(window);
    return window;
}

} // namespace

void InstallFaultGuard()
{
    if (FaultHandler)
        return;
    // Vectored handlers came with Windows XP; older systems go without
    // (every fault is then left to the last-resort handler).
    typedef PVOID(WINAPI * AddHandler)(ULONG, PVECTORED_EXCEPTION_HANDLER);
    AddHandler add = (AddHandler)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                      "AddVectoredExceptionHandler");
    if (add)
        FaultHandler = add(1, OnFault);
}

void RemoveFaultGuard()
{
    if (!FaultHandler)
        return;
    typedef ULONG(WINAPI * RemoveHandler)(PVOID);
    RemoveHandler remove = (RemoveHandler)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                               "RemoveVectoredExceptionHandler");
    if (remove)
        remove(FaultHandler);
    FaultHandler = nullptr;
}

MessageGuard* InnermostGuard()
{
    return Innermost;
}

void ResetFaultGuard()
{
    Innermost = nullptr;
}

void EnterGuard(MessageGuard* guard, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    guard->Outer = Innermost;
    guard->ThreadId = GetCurrentThreadId();
    guard->Checking = 0;
#if defined(__i386__)
    guard->ExceptionList = ThreadBlock()->ExceptionList;
#endif
    guard->Window = window;
    guard->Message = message;
    guard->WParam = wParam;
    guard->LParam = lParam;
    Innermost = guard;
}

void LeaveGuard(MessageGuard* guard)
{
    Innermost = guard->Outer;
}

void ReportException(const MessageGuard* guard)
{
    char text[512];
    ExceptionReportText(guard->Message, guard->WParam, guard->LParam, text, sizeof text);
    MessageBoxA(ReportOwner(guard->Window), text, "Exception Error", MB_ICONERROR);
}

void ExceptionReportText(UINT message, WPARAM wParam, LPARAM lParam, char* buffer, int size)
{
    snprintf(buffer, (size_t)size,
             "Please note the information below\n\r"
             "and report it to Zarn support with a description of what you were doing.\n\r"
             "\n"
             " Message:\t%08lXh\n\r"
             " wParam:\t%08lXh\n\r"
             "lParam:\t\t%08lXh",
             (unsigned long)message, (unsigned long)wParam, (unsigned long)lParam);
}
