#include "winkit/winutil.h"

#include <commctrl.h>
#include <string.h>

#include <unordered_map>
#include <vector>

bool IsOwnThreadWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

namespace {

// Show and hide requests to another thread's window that its owner has
// not carried out yet: whether it is to be visible, the command last
// asked for, the command last sent (a request waits while another is on
// its way), the owner thread, and the number of the request sent (0 when
// no answer could be asked for).
struct PendingShow {
    bool Visible;
    int Command;
    int Sent;
    DWORD Thread;
    ULONG_PTR Request;
};

// A message on its way to an owner thread whose answer says that the
// requests sent to that thread before it are carried out, and the window
// it was sent through.
struct Acknowledgement {
    DWORD Thread;
    HWND Window;
};

// A window and the number of the last request sent to it.
struct SentTo {
    HWND Window;
    ULONG_PTR Request;
};

// Interface thread only: the requests not yet carried out by their
// windows' owners, the acknowledgements not answered yet (by the number of
// the last request each covers), the number of the latest request, and
// the owner threads sent requests since their last acknowledgement.
std::unordered_map<HWND, PendingShow> PendingShows;
std::unordered_map<ULONG_PTR, Acknowledgement> Acknowledgements;
ULONG_PTR ShowRequests = 0;
std::unordered_map<DWORD, SentTo> Unacknowledged;

// What a window is asked for in a batch, and the thread that owns it.
struct Ask {
    int Command;
    DWORD Thread;
};

// The batches open, and the commands asked for in them, the last one of
// each window counting, in the order the windows were first asked.
int BatchDepth = 0;
std::vector<HWND> AskedOrder;
std::unordered_map<HWND, Ask> Asked;

// Called once shows that had waited for an answer are sent.
void (*WaitingShowsSent)() = nullptr;

bool WaitsForShow(const PendingShow& pending)
{
    return pending.Command != pending.Sent && pending.Command != SW_HIDE;
}

// IsWindowVisible for a top-level window (its parent, the desktop, is
// always visible), in one call to the system instead of two.
bool TopLevelVisible(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A request followed by no answer (the owner's queue refused it) counts as
// done once the window shows what was asked.
bool PendingShowDone(HWND window, const PendingShow& pending)
{
    if (!IsWindow(window))
        return true;
    return pending.Request == 0 && TopLevelVisible(window) == pending.Visible;
}

// Whether a top-level window shows already what the command asks for, read
// from its style in one call: such a request would change nothing, or do
// no more than activate a window we bring back without activating.
bool ShowsAlready(HWND window, int command)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    bool visible = (style & WS_VISIBLE) != 0;
    if (command == SW_HIDE)
        return !visible;
    if (!visible)
        return false;
    switch (command) {
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: return (style & WS_MINIMIZE) != 0;
    case SW_SHOWMAXIMIZED: return (style & WS_MAXIMIZE) != 0;
    case SW_SHOWNOACTIVATE: return (style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0;
    default: return false;
    }
}

void SendShowRequest(HWND window, int command, DWORD thread)
{
    ShowWindowAsync(window, command);
    ULONG_PTR request = ++ShowRequests;
    PendingShows[window] = PendingShow{command != SW_HIDE, command, command, thread, request};
    Unacknowledged[thread] = SentTo{window, request};
}

// Sends what a window was asked for, unless it shows that already or a
// request is on its way to it: then the command waits for that request's
// answer, and goes only if it asks for something else than that request
// did. The owner's queue thus never holds a request that undoes another.
void Dispatch(HWND window, int command, DWORD thread)
{
    auto pending = PendingShows.find(window);
    if (pending == PendingShows.end()) {
        if (!ShowsAlready(window, command))
            SendShowRequest(window, command, thread);
        return;
    }
    PendingShow& waiting = pending->second;
    if (!waiting.Request) {
        if (waiting.Sent != command)
            SendShowRequest(window, command, thread);
        return;
    }
    waiting.Visible = command != SW_HIDE;
    waiting.Command = command;
}

void CALLBACK ShowRequestsAnswered(HWND window, UINT, ULONG_PTR request, LRESULT);

// Queues to each owner thread sent requests since its last acknowledgement
// one message whose answer says that they are carried out: a thread takes
// the messages sent to it in order, whichever of its windows they are for.
void SendAcknowledgements()
{
    for (const auto& waiting : Unacknowledged) {
        DWORD thread = waiting.first;
        const SentTo& last = waiting.second;
        if (SendMessageCallbackA(last.Window, WM_NULL, 0, 0, ShowRequestsAnswered, last.Request)) {
            Acknowledgements[last.Request] = Acknowledgement{thread, last.Window};
            continue;
        }
        for (auto& pending : PendingShows)
            if (pending.second.Thread == thread && pending.second.Request <= last.Request)
                pending.second.Request = 0;
    }
    Unacknowledged.clear();
}

// The owner thread has carried out every request sent to it up to this
// answer; what its windows were asked for meanwhile goes now.
void CALLBACK ShowRequestsAnswered(HWND, UINT, ULONG_PTR request, LRESULT)
{
    auto answered = Acknowledgements.find(request);
    if (answered == Acknowledgements.end())
        return;
    DWORD thread = answered->second.Thread;
    Acknowledgements.erase(answered);
    bool showsSent = false;
    {
        ShowRequestBatch batch;
        for (auto pending = PendingShows.begin(); pending != PendingShows.end();) {
            const PendingShow& done = pending->second;
            if (done.Thread != thread || !done.Request || done.Request > request) {
                ++pending;
                continue;
            }
            HWND window = pending->first;
            int command = done.Command;
            bool again = command != done.Sent;
            showsSent |= WaitsForShow(done);
            pending = PendingShows.erase(pending);
            if (again && IsWindow(window))
                ShowWindowNoWait(window, command);
        }
    }
    if (showsSent && WaitingShowsSent)
        WaitingShowsSent();
}

} // namespace

ShowRequestBatch::ShowRequestBatch()
{
    BatchDepth++;
}

ShowRequestBatch::~ShowRequestBatch()
{
    if (--BatchDepth > 0)
        return;
    std::vector<HWND> order;
    order.swap(AskedOrder);
    std::unordered_map<HWND, Ask> asked;
    asked.swap(Asked);
    for (HWND window : order) {
        auto ask = asked.find(window);
        if (ask != asked.end())
            Dispatch(window, ask->second.Command, ask->second.Thread);
    }
    SendAcknowledgements();
}

void ShowWindowNoWait(HWND window, int command)
{
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == GetCurrentThreadId()) {
        ShowWindow(window, command);
        return;
    }
    ShowRequestBatch batch;
    if (Asked.find(window) == Asked.end())
        AskedOrder.push_back(window);
    Asked[window] = Ask{command, thread};
}

bool SeenVisible(HWND window)
{
    auto asked = Asked.find(window);
    if (asked != Asked.end())
        return asked->second.Command != SW_HIDE;
    auto pending = PendingShows.find(window);
    if (pending == PendingShows.end())
        return TopLevelVisible(window);
    if (PendingShowDone(window, pending->second)) {
        PendingShows.erase(pending);
        return TopLevelVisible(window);
    }
    return pending->second.Visible;
}

void PrunePendingShows()
{
    for (auto it = PendingShows.begin(); it != PendingShows.end();)
        it = PendingShowDone(it->first, it->second) ? PendingShows.erase(it) : std::next(it);
    // An acknowledgement sent through a window that is gone since may
    // never be answered: it goes again through a window of the same owner
    // still waiting for it, or is forgotten when none is left.
    for (auto waiting = Acknowledgements.begin(); waiting != Acknowledgements.end();) {
        Acknowledgement& sent = waiting->second;
        bool live = IsWindow(sent.Window);
        for (auto pending = PendingShows.begin(); !live && pending != PendingShows.end(); ++pending) {
            live = pending->second.Thread == sent.Thread && pending->second.Request &&
                   pending->second.Request <= waiting->first &&
                   SendMessageCallbackA(pending->first, WM_NULL, 0, 0, ShowRequestsAnswered,
                                        waiting->first);
            if (live)
                sent.Window = pending->first;
        }
        waiting = live ? std::next(waiting) : Acknowledgements.erase(waiting);
    }
}

std::vector<HWND> WindowsAwaitingShow()
{
    std::vector<HWND> awaiting;
    for (HWND window : AskedOrder) {
        auto asked = Asked.find(window);
        if (asked != Asked.end() && asked->second.Command != SW_HIDE)
            awaiting.push_back(window);
    }
    for (const auto& pending : PendingShows)
        if (WaitsForShow(pending.second) && Asked.find(pending.first) == Asked.end())
            awaiting.push_back(pending.first);
    return awaiting;
}

void WhenWaitingShowsSent(void (*sent)())
{
    WaitingShowsSent = sent;
}

void SendWaitingShows()
{
    for (HWND window : WindowsAwaitingShow()) {
        auto pending = PendingShows.find(window);
        auto asked = Asked.find(window);
        int command = asked != Asked.end() ? asked->second.Command : pending->second.Command;
        ShowWindowAsync(window, command);
        if (pending != PendingShows.end())
            pending->second.Sent = command;
        Asked.erase(window);
    }
}

void ForgetShowRequest(HWND window)
{
    PendingShows.erase(window);
    Asked.erase(window);
}

size_t PendingShowCount()
{
    return PendingShows.size();
}

ULONG_PTR ShowRequestCount()
{
    return ShowRequests;
}

void ResetWindowHelpers()
{
    PendingShows.clear();
    Acknowledgements.clear();
    Unacknowledged.clear();
    AskedOrder.clear();
    Asked.clear();
    BatchDepth = 0;
    ShowRequests = 0;
    WaitingShowsSent = nullptr;
}

int ShowAgainCommand(HWND window)
{
    // One read of the style instead of two questions.
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if (style & WS_MINIMIZE)
        return SW_MINIMIZE;
    if (style & WS_MAXIMIZE)
        return SW_SHOWMAXIMIZED;
    return SW_SHOWNOACTIVATE;
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

bool ProgramPathOf(DWORD processId, char* path, DWORD size)
{
    if (!path || !size)
        return false;
    path[0] = 0;
    typedef BOOL(WINAPI * QueryImageName)(HANDLE, DWORD, LPSTR, PDWORD);
    typedef DWORD(WINAPI * ModuleFileName)(HANDLE, HMODULE, LPSTR, DWORD);
    // Newer systems name the program of any process they let us query; the
    // older ones need the process-status library and read access.
    static const QueryImageName queryImageName = (QueryImageName)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    if (queryImageName) {
        HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, processId);
        if (process) {
            DWORD length = size;
            BOOL found = queryImageName(process, 0, path, &length);
            CloseHandle(process);
            if (found && path[0])
                return true;
        }
    }
    HMODULE psapi = LoadLibraryA("psapi.dll");
    ModuleFileName moduleFileName =
        psapi ? (ModuleFileName)(void*)GetProcAddress(psapi, "GetModuleFileNameExA") : nullptr;
    bool found = false;
    if (moduleFileName) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        if (process) {
            found = moduleFileName(process, nullptr, path, size) > 0;
            CloseHandle(process);
        }
    }
    if (psapi)
        FreeLibrary(psapi);
    return found;
}

HICON OverlayIcon(HICON base, HICON mark, int size)
{
    HIMAGELIST first = ImageList_Create(size, size, ILC_MASK | ILC_COLOR32, 1, 0);
    HIMAGELIST second = ImageList_Create(size, size, ILC_MASK | ILC_COLOR32, 1, 0);
    ImageList_AddIcon(first, base);
    ImageList_AddIcon(second, mark);
    HIMAGELIST merged = ImageList_Merge(first, 0, second, 0, 0, 0);
    HICON icon = merged ? ImageList_GetIcon(merged, 0, ILD_NORMAL) : nullptr;
    if (merged)
        ImageList_Destroy(merged);
    ImageList_Destroy(first);
    ImageList_Destroy(second);
    return icon;
}

std::string DialogItemText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    std::string text((size_t)length + 1, '\0');
    GetWindowTextA(control, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}
