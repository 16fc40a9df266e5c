// The background refresh that keeps the item list following the desktop:
// the refresh thread and the gathering of a pass.
//
// Each pass is split in two. The refresh thread gathers what it needs to
// know about every top-level window (class, text, state, icon, process
// priority and times) without touching the folder model or any window of
// ours, and without waiting on any application. It then posts the gathered
// pass to the main window; the interface thread, which owns the model and
// the list, applies it there. So the model needs no lock at all, and the
// refresh thread never waits for the interface thread: it gathers no new
// pass while one is still waiting to be applied. The applying belongs to
// the item list (panes/itemrows.h).
//
// The pass goes over in a slot of one kept here: the refresh thread fills
// it only when it is empty and then posts WM_APPLYREFRESH with no
// parameters; the interface thread empties it.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "model/settings.h"

// The memory figures of the machine, in bytes.
struct MemoryFigures {
    DWORD Load;                      // percent in use
    ULONGLONG TotalPhysical, AvailablePhysical;
    ULONGLONG TotalPageFile, AvailablePageFile;
};

// Reads them (64-bit, right beyond 4 GB).
MemoryFigures ReadMemoryFigures();

// What one pass knows about one top-level window.
struct WindowFacts {
    HWND Window;
    DWORD ProcessId;
    bool OwnProcess;
    bool Visible;
    bool Iconic;
    bool Zoomed;
    bool Owned;        // asked only of a shown window: false for a hidden one
    char ClassName[MaxText];
    char Text[MaxText];
    HICON IconLarge;   // null when the window has none
    HICON IconSmall;
    // Of its process: 0 when the process could not be opened.
    DWORD PriorityClass;
    bool HaveTimes;
    FILETIME Creation;
    FILETIME Kernel;
    FILETIME User;
};

// Facts that do not change while a window lives, kept by the refresh
// thread between passes.
struct RefreshCache {
    struct Entry {
        char ClassName[MaxText];
        DWORD ProcessId;
        bool IconKnown;
        HICON IconLarge;
        HICON IconSmall;
        bool Seen;
    };
    std::unordered_map<HWND, Entry> Windows;

    // The first icon of each program file, for windows that give none.
    struct ProgramIcons {
        HICON Large;
        HICON Small;
    };
    std::unordered_map<std::string, ProgramIcons> Programs;

    ~RefreshCache() { Clear(); }
    void Clear();
};

// The first icons of a process's program file, for a window that gives
// none of its own. With a cache they are asked for once per program and
// belong to the cache; without, the caller destroys them.
RefreshCache::ProgramIcons ProgramIcons(RefreshCache* cache, DWORD processId);

struct RefreshPass {
    std::vector<WindowFacts> Windows;  // every top-level window, in enumeration order
    std::unordered_map<HWND, size_t> Index;
    MemoryFigures Memory;
    LONG Generation;                   // RefreshGeneration when the gather began
    RefreshCache* Cache;               // the gathering thread's, for the gather only

    const WindowFacts* Find(HWND window) const;
};

// The pass period for a priority choice: 500, 1000, 300 or 200 ms.
DWORD RefreshPeriod(DWORD priority);

// Starts the refresh thread, and ends it (waiting for it) at exit; a pass
// it gathered and nobody applied is freed.
void StartRefreshThread();
void StopRefreshThread();

// The pass the refresh thread left in the slot, taken out (the caller owns
// it), or null. WM_APPLYREFRESH only says that a pass is
// ready: it carries nothing, so a message from anybody else can make us
// apply no pass but ours.
RefreshPass* TakeReadyPass();
// The interface thread is done with the pass it took: the refresh thread
// may gather the next.
void FinishPendingPass();

// The running refresh thread, null when none.
HANDLE RefreshThreadHandle();
// Forgets the thread and the slot of an earlier run (the tests start the
// program many times in one process).
void ResetRefresh();

// Gathers one pass (any thread but the interface thread may run it).
RefreshPass* GatherRefreshPass(RefreshCache* cache);
// EnumList's work for one window.
void GatherWindow(HWND window, RefreshPass* pass);
