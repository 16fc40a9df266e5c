#include "winkit/help.h"

#include <vector>

#include "common/messages.h"
#include "common/product.h"

namespace {

// The keywords the program asks for, with the context names their topics
// carry in help/*.but (\cfg{winhelp-topic}). The names are chosen so that
// their hashes are below 0x80000000: halibut orders the file's context
// tree by the hashes as unsigned numbers, Wine's viewer searches it taking
// them as signed, and so finds only the names whose hashes agree.
struct HelpKeyword {
    const char* Keyword;
    const char* Context;
};
const HelpKeyword HelpKeywords[] = {
    {"Toolbar", "toolbar"},
    {"Task Properties", "propstask"},
    {"Run Command", "run"},
    {"Shortcut Properties", "propsshortcut"},
    {"Folder Properties", "propsfolder"},
    {"Setup Command", "setup"},
};

// The thread that carries the requests to the viewer, started by the
// first of them.
HANDLE HelpThread = nullptr;
DWORD HelpThreadId = 0;

// How long the end of the program waits for the help thread.
const DWORD HelpQuitWait = 3000;
// How long a viewer we start ourselves may take to be ready for requests.
const DWORD ViewerStartWait = 10000;

// A request carries nothing that points into memory, so that one posted
// to the help thread by another process can do no harm: the owner in
// wParam, and in lParam the command (HELP_KEY, HELP_CONTENTS or HELP_QUIT)
// in the low word and, for HELP_KEY, the keyword's place in HelpKeywords
// plus one in the high word.
struct HelpRequest {
    HWND Owner;
    UINT Command;
    const HelpKeyword* Keyword;  // HELP_KEY only
};

const int HelpKeywordCount = sizeof HelpKeywords / sizeof HelpKeywords[0];

bool ReadRequest(WPARAM wParam, LPARAM lParam, HelpRequest* request)
{
    request->Owner = (HWND)wParam;
    request->Command = LOWORD(lParam);
    int keyword = (int)HIWORD(lParam) - 1;
    request->Keyword = keyword >= 0 && keyword < HelpKeywordCount ? &HelpKeywords[keyword] : nullptr;
    switch (request->Command) {
    case HELP_KEY: return request->Keyword != nullptr;
    case HELP_CONTENTS:
    case HELP_QUIT: return true;
    default: return false;
    }
}

// Under Wine, WinHelp talks to Wine's own viewer, whatever else is there.
bool ViewerIsWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Requests are made for the program's top-level window, not for the
// dialog that asks: the viewer keeps track of who needs it, and a dialog is
// gone long before the program tells it that it no longer does.
HWND TopOwner(HWND window)
{
    HWND top = window;
    while (HWND up = GetWindow(top, GW_OWNER))
        top = up;
    return top;
}

// Wine's viewer takes no keyword requests and knows no context numbers in
// a file that halibut wrote, but it opens at a topic's context name given
// on its command line. One viewer at a time: the one already open goes.
void OpenWineViewerAt(HWND owner, const std::string& file, const char* context)
{
    WinHelpA(owner, file.c_str(), HELP_QUIT, 0);
    std::string command = std::string("winhlp32.exe -i ") + context + " \"" + file + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    // The next request has to find this viewer's window, not start another.
    WaitForInputIdle(process.hProcess, ViewerStartWait);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void CarryOut(const HelpRequest& request)
{
    std::string file = HelpFilePath();
    if (request.Command == HELP_KEY && ViewerIsWine()) {
        OpenWineViewerAt(request.Owner, file, request.Keyword->Context);
        return;
    }
    ULONG_PTR data = request.Command == HELP_KEY ? (ULONG_PTR)request.Keyword->Keyword : 0;
    WinHelpA(request.Owner, file.c_str(), request.Command, data);
}

DWORD WINAPI HelpThreadProc(LPVOID ready)
{
    MSG message;
    // Makes the queue the requests are posted to.
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent((HANDLE)ready);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HelpRequest request;
        if (message.message == WM_HELPREQUEST && ReadRequest(message.wParam, message.lParam, &request))
            CarryOut(request);
    }
    return 0;
}

bool StartHelpThread()
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ready)
        return false;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, HelpThreadProc, ready, 0, &id);
    bool started = false;
    if (thread) {
        // Only as long as a thread takes to start: it waits for nobody.
        HANDLE either[2] = {ready, thread};
        started = WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0;
        if (started) {
            HelpThread = thread;
            HelpThreadId = id;
        } else {
            CloseHandle(thread);
        }
    }
    CloseHandle(ready);
    return started;
}

void Request(HWND owner, UINT command, const char* keyword)
{
    int place = 0;
    if (command == HELP_KEY) {
        for (int i = 0; i < HelpKeywordCount && !place; i++)
            if (keyword && lstrcmpiA(HelpKeywords[i].Keyword, keyword) == 0)
                place = i + 1;
        // A keyword the file does not know leads to its contents.
        if (!place)
            command = HELP_CONTENTS;
    }
    if (!HelpThread && !StartHelpThread())
        return;
    PostThreadMessageA(HelpThreadId, WM_HELPREQUEST, (WPARAM)TopOwner(owner),
                       MAKELPARAM(command, place));
}

}  // namespace

void ShowHelpTopic(HWND owner, const char* keyword)
{
    Request(owner, HELP_KEY, keyword);
}

void ShowHelpContents(HWND owner)
{
    Request(owner, HELP_CONTENTS, nullptr);
}

void CloseHelp(HWND owner)
{
    // No help asked for: no viewer of ours to let go.
    if (!HelpThread)
        return;
    Request(owner, HELP_QUIT, nullptr);
    PostThreadMessageA(HelpThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(HelpThread, HelpQuitWait);
    CloseHandle(HelpThread);
    HelpThread = nullptr;
    HelpThreadId = 0;
}

void ResetHelp()
{
    HelpThread = nullptr;
    HelpThreadId = 0;
}

std::string HelpFilePath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return HelpFileName;
    std::string file(path, length);
    size_t slash = file.find_last_of("\\/");
    file.erase(slash == std::string::npos ? 0 : slash + 1);
    return file + HelpFileName;
}

const char* HelpContextOf(const char* keyword)
{
    if (!keyword)
        return nullptr;
    for (const HelpKeyword& entry : HelpKeywords)
        if (lstrcmpiA(entry.Keyword, keyword) == 0)
            return entry.Context;
    return nullptr;
}
