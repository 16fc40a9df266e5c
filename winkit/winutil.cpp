#include "winkit/winutil.h"

#include <commctrl.h>
#include <string.h>

#include <unordered_map>

bool IsOwnThreadWindow(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

namespace {

// Show and hide requests to another thread's window that its owner has
// not carried out yet: whether it is to be visible, the command last
// asked for, the command last sent (a hide may wait for the owner's
// answer), and the number of the answer that tells the last one sent is
// carried out (0 when no answer could be asked for).
struct PendingShow {
    bool Visible;
    int Command;
    int Sent;
    ULONG_PTR Request;
};

// Interface thread only: the requests not yet carried out by their
// windows' owners, and the number of the latest.
std::unordered_map<HWND, PendingShow> PendingShows;
ULONG_PTR ShowRequests = 0;

// A request followed by no answer (the owner's queue refused it) counts as
// done once the window shows what was asked.
bool PendingShowDone(HWND window, const PendingShow& pending)
{
    if (!IsWindow(window))
        return true;
    return pending.Request == 0 && (IsWindowVisible(window) != 0) == pending.Visible;
}

void CALLBACK ShowRequestAnswered(HWND window, UINT, ULONG_PTR request, LRESULT);

// Queues the request, and right behind it, in the owner's queue of sent
// messages (which it takes in order), a message whose answer says that
// the request is carried out. Numbered, so that the answer to an older
// request closes nothing.
void SendShowRequest(HWND window, int command)
{
    ShowWindowAsync(window, command);
    ULONG_PTR request = ++ShowRequests;
    if (!SendMessageCallbackA(window, WM_NULL, 0, 0, ShowRequestAnswered, request))
        request = 0;
    PendingShows[window] = PendingShow{command != SW_HIDE, command, command, request};
}

// The owner has carried out every request up to this answer; a hide asked
// for meanwhile goes now.
void CALLBACK ShowRequestAnswered(HWND window, UINT, ULONG_PTR request, LRESULT)
{
    auto pending = PendingShows.find(window);
    if (pending == PendingShows.end() || pending->second.Request != request)
        return;
    if (pending->second.Command != pending->second.Sent && IsWindow(window))
        SendShowRequest(window, pending->second.Command);
    else
        PendingShows.erase(pending);
}

} // namespace

void ShowWindowNoWait(HWND window, int command)
{
    if (IsOwnThreadWindow(window)) {
        ShowWindow(window, command);
        return;
    }
    // A hide asked for while the owner has not answered yet waits for that
    // answer: however fast the folder switches come, the owner's queue
    // holds no run of hides and shows that undo each other, and a Corvanix
    // that ends meanwhile leaves the window on screen. Shows always go at
    // once, so that no window waits hidden for us.
    auto pending = PendingShows.find(window);
    if (command == SW_HIDE && pending != PendingShows.end() && pending->second.Request) {
        pending->second.Visible = false;
        pending->second.Command = SW_HIDE;
        return;
    }
    SendShowRequest(window, command);
}

bool SeenVisible(HWND window)
{
    auto pending = PendingShows.find(window);
    if (pending == PendingShows.end())
        return IsWindowVisible(window) != 0;
    if (PendingShowDone(window, pending->second)) {
        PendingShows.erase(pending);
        return IsWindowVisible(window) != 0;
    }
    return pending->second.Visible;
}

void PrunePendingShows()
{
    for (auto it = PendingShows.begin(); it != PendingShows.end();)
        it = PendingShowDone(it->first, it->second) ? PendingShows.erase(it) : std::next(it);
}

void ForgetShowRequest(HWND window)
{
    PendingShows.erase(window);
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
    ShowRequests = 0;
}

int ShowAgainCommand(HWND window)
{
    if (IsIconic(window))
        return SW_MINIMIZE;
    if (IsZoomed(window))
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
