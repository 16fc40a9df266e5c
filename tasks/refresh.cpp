#include "tasks/refresh.h"

#include <shellapi.h>
#include <string.h>

#include <atomic>
#include <unordered_set>

#include "common/messages.h"
#include "model/shellstate.h"
#include "tasks/taskenum.h"
#include "winkit/winutil.h"

// ================================================================ gathering (refresh thread)

namespace {

struct ProcessFacts {
    DWORD PriorityClass;
    bool HaveTimes;
    FILETIME Creation, Kernel, User;
};

ProcessFacts ReadProcessFacts(DWORD processId)
{
    ProcessFacts facts = {};
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process)
        return facts;
    facts.PriorityClass = GetPriorityClass(process);
    if (ShellState.IsNT) {
        FILETIME exit;
        facts.HaveTimes = GetProcessTimes(process, &facts.Creation, &exit, &facts.Kernel,
                                          &facts.User) != 0;
    }
    CloseHandle(process);
    return facts;
}

RefreshCache::Entry& CachedFacts(RefreshCache* cache, HWND window)
{
    auto found = cache->Windows.find(window);
    if (found != cache->Windows.end())
        return found->second;
    RefreshCache::Entry& entry = cache->Windows[window];
    entry = {};
    GetClassNameA(window, entry.ClassName, MaxText);
    GetWindowThreadProcessId(window, &entry.ProcessId);
    return entry;
}

} // namespace

// Another process's window may give no icon at all (some systems keep
// icons per process): its program's own first icon stands in for it.
RefreshCache::ProgramIcons ProgramIcons(RefreshCache* cache, DWORD processId)
{
    char path[MAX_PATH];
    if (!ProgramPathOf(processId, path, MAX_PATH))
        return {nullptr, nullptr};
    if (cache) {
        auto found = cache->Programs.find(path);
        if (found != cache->Programs.end())
            return found->second;
    }
    RefreshCache::ProgramIcons icons = {nullptr, nullptr};
    if (ExtractIconExA(path, 0, &icons.Large, &icons.Small, 1) == 0)
        icons = {nullptr, nullptr};
    if (cache)
        cache->Programs[path] = icons;
    return icons;
}

void RefreshCache::Clear()
{
    Windows.clear();
    for (auto& program : Programs) {
        if (program.second.Large)
            DestroyIcon(program.second.Large);
        if (program.second.Small)
            DestroyIcon(program.second.Small);
    }
    Programs.clear();
}

const WindowFacts* RefreshPass::Find(HWND window) const
{
    auto found = Index.find(window);
    return found == Index.end() ? nullptr : &Windows[found->second];
}

void GatherWindow(HWND window, RefreshPass* pass)
{
    RefreshCache::Entry& cached = CachedFacts(pass->Cache, window);
    cached.Seen = true;

    WindowFacts facts;
    facts.Window = window;
    facts.ProcessId = cached.ProcessId;
    facts.OwnProcess = cached.ProcessId == GetCurrentProcessId();
    // Every call here asks the system about another process's window, one
    // round trip each: the style alone tells visibility and state (the
    // parent of a top-level window is the desktop, always visible).
    LONG style = GetWindowLongA(window, GWL_STYLE);
    facts.Visible = (style & WS_VISIBLE) != 0;
    facts.Iconic = (style & WS_MINIMIZE) != 0;
    facts.Zoomed = (style & WS_MAXIMIZE) != 0;
    // Only a shown window can be listed, and only a listed one is asked
    // whether it has an owner.
    facts.Owned = facts.Visible && GetWindow(window, GW_OWNER) != nullptr;
    memcpy(facts.ClassName, cached.ClassName, MaxText);
    facts.Text[0] = 0;
    // Our own windows are never tasks; reading their text would send to
    // the interface thread. Another process's text the system answers from
    // its own copy, sending nothing to the window.
    if (!facts.OwnProcess && GetWindowTextA(window, facts.Text, MaxText) <= 0)
        facts.Text[0] = 0;
    if (facts.Text[0] && !cached.IconKnown) {
        cached.IconLarge = WindowIcon(window);
        cached.IconSmall = (HICON)GetClassLongPtrA(window, GCLP_HICONSM);
        if (!cached.IconLarge) {
            RefreshCache::ProgramIcons program = ProgramIcons(pass->Cache, cached.ProcessId);
            cached.IconLarge = program.Large;
            cached.IconSmall = program.Small;
        }
        if (!cached.IconSmall)
            cached.IconSmall = cached.IconLarge;
        cached.IconKnown = true;
    }
    facts.IconLarge = cached.IconLarge;
    facts.IconSmall = cached.IconSmall;
    facts.PriorityClass = 0;
    facts.HaveTimes = false;
    pass->Index[window] = pass->Windows.size();
    pass->Windows.push_back(facts);
}

RefreshPass* GatherRefreshPass(RefreshCache* cache)
{
    RefreshPass* pass = new RefreshPass;
    pass->Generation = ShellState.RefreshGeneration;
    pass->Cache = cache;
    pass->Windows.reserve(cache->Windows.size() + 16);
    for (auto& entry : cache->Windows)
        entry.second.Seen = false;

    TaskEnumContext context = {EnumList, pass, nullptr};
    EnumWindows(TaskEnumProc, (LPARAM)&context);

    // Forget the windows that are gone.
    for (auto it = cache->Windows.begin(); it != cache->Windows.end();)
        it = it->second.Seen ? std::next(it) : cache->Windows.erase(it);

    // One look at each process that has a titled window.
    std::unordered_map<DWORD, ProcessFacts> processes;
    for (WindowFacts& facts : pass->Windows) {
        if (!facts.Text[0] || facts.OwnProcess)
            continue;
        auto found = processes.find(facts.ProcessId);
        if (found == processes.end())
            found = processes.emplace(facts.ProcessId, ReadProcessFacts(facts.ProcessId)).first;
        facts.PriorityClass = found->second.PriorityClass;
        facts.HaveTimes = found->second.HaveTimes;
        facts.Creation = found->second.Creation;
        facts.Kernel = found->second.Kernel;
        facts.User = found->second.User;
    }
    pass->Memory = ReadMemoryFigures();
    pass->Cache = nullptr;
    return pass;
}

MemoryFigures ReadMemoryFigures()
{
    MemoryFigures figures = {};
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        figures.Load = status.dwMemoryLoad;
        figures.TotalPhysical = status.ullTotalPhys;
        figures.AvailablePhysical = status.ullAvailPhys;
        figures.TotalPageFile = status.ullTotalPageFile;
        figures.AvailablePageFile = status.ullAvailPageFile;
    }
    return figures;
}

DWORD RefreshPeriod(DWORD priority)
{
    switch (priority) {
    case PriorityLow: return 1000;
    case PriorityHigh: return 300;
    case PriorityHighest: return 200;
    default: return 500;
    }
}

// ================================================================ the thread and its slot

namespace {

// The refresh thread and the event that ends it.
HANDLE RefreshThread = nullptr;
HANDLE RefreshStop = nullptr;
// Shared by the two threads: whether a gathered pass still waits to be
// applied, and that pass, which the refresh thread leaves here and only
// tells the main window about.
std::atomic<LONG> PassPending{0};
std::atomic<RefreshPass*> ReadyPass{nullptr};

DWORD WINAPI RefreshThreadProc(LPVOID)
{
    RefreshCache cache;
    for (;;) {
        // Eleven slices of a tenth of the period; a rebuild request cuts
        // the wait short at the end of the current slice.
        for (int slice = 0; slice <= 10; slice++) {
            DWORD period = RefreshPeriod(ReadShared(Settings.Priority));
            if (WaitForSingleObject(RefreshStop, period / 10) == WAIT_OBJECT_0)
                return 0;
            if (ShellState.RefreshRequested)
                break;
        }
        if (ShellState.Hidden || PassPending)
            continue;
        if (ShellState.RefreshRequested)
            cache.Clear();  // a rebuild reads every icon afresh
        RefreshPass* pass = GatherRefreshPass(&cache);
        PassPending = 1;
        ReadyPass = pass;
        // When the message cannot go, the pass is taken back, unless the
        // interface thread has already taken it on a message of its own.
        if (!PostMessageA(ShellState.MainWindow, WM_APPLYREFRESH, 0, 0) &&
            ReadyPass.compare_exchange_strong(pass, nullptr)) {
            delete pass;
            PassPending = 0;
        }
    }
}

} // namespace

void StartRefreshThread()
{
    RefreshStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    RefreshThread = CreateThread(nullptr, 0, RefreshThreadProc, nullptr, 0, nullptr);
}

void StopRefreshThread()
{
    if (RefreshThread) {
        SetEvent(RefreshStop);
        WaitForSingleObject(RefreshThread, 5000);
        CloseHandle(RefreshThread);
        RefreshThread = nullptr;
    }
    if (RefreshStop) {
        CloseHandle(RefreshStop);
        RefreshStop = nullptr;
    }
    // A pass gathered but never applied, and the messages about it.
    delete TakeReadyPass();
    MSG message;
    while (ShellState.MainWindow &&
           PeekMessageA(&message, ShellState.MainWindow, WM_APPLYREFRESH, WM_APPLYREFRESH,
                        PM_REMOVE)) {
    }
    PassPending = 0;
}

RefreshPass* TakeReadyPass()
{
    return ReadyPass.exchange(nullptr);
}

void FinishPendingPass()
{
    PassPending = 0;
}

HANDLE RefreshThreadHandle()
{
    return RefreshThread;
}

void ResetRefresh()
{
    RefreshThread = nullptr;
    RefreshStop = nullptr;
    PassPending = 0;
    ReadyPass = nullptr;
}
