// The floor of watching the desktop by polling: a loop with no window that
// reads, at the refresh's period, only what a refresh pass must read: the
// style (visibility and state), owner and title of each top-level window,
// its class and process once per window, and the priority and times of
// each process that has a titled window. scripts/bench-cpu.sh runs it
// beside Corvanix and Wine's taskmgr and compares their processor time.
//
//   poll_loop.exe [period-ms]     (300 by default, that of the default priority)
#include <windows.h>
#include <stdlib.h>

#include <unordered_map>
#include <unordered_set>

namespace {

struct Known {
    char ClassName[64];
    DWORD ProcessId;
    bool Seen;
};

std::unordered_map<HWND, Known> Windows;
std::unordered_set<DWORD> Processes;
volatile LONG Sink;

BOOL CALLBACK ReadWindow(HWND window, LPARAM)
{
    auto found = Windows.find(window);
    if (found == Windows.end()) {
        Known known = {};
        GetClassNameA(window, known.ClassName, sizeof known.ClassName);
        GetWindowThreadProcessId(window, &known.ProcessId);
        found = Windows.emplace(window, known).first;
    }
    found->second.Seen = true;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    HWND owner = GetWindow(window, GW_OWNER);
    char text[260];
    if (GetWindowTextA(window, text, sizeof text) > 0 && !owner && (style & WS_VISIBLE))
        Processes.insert(found->second.ProcessId);
    Sink += style;
    return TRUE;
}

void ReadProcesses()
{
    for (DWORD processId : Processes) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
        if (!process)
            continue;
        FILETIME creation, exit, kernel, user;
        Sink += (LONG)GetPriorityClass(process);
        if (GetProcessTimes(process, &creation, &exit, &kernel, &user))
            Sink += (LONG)user.dwLowDateTime;
        CloseHandle(process);
    }
}

void OnePass()
{
    for (auto& entry : Windows)
        entry.second.Seen = false;
    Processes.clear();
    EnumWindows(ReadWindow, 0);
    for (auto it = Windows.begin(); it != Windows.end();)
        it = it->second.Seen ? std::next(it) : Windows.erase(it);
    ReadProcesses();
}

} // namespace

int main(int argc, char** argv)
{
    DWORD period = argc > 1 ? (DWORD)atoi(argv[1]) : 300;
    if (period < 10)
        period = 300;
    for (;;) {
        // The refresh waits eleven tenths of its period between passes.
        Sleep(period + period / 10);
        OnePass();
    }
}
