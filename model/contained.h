// A set of windows put away: each folder has one, and so has the program
// for the windows that were hidden when it started.
#pragma once
#include <windows.h>

struct ContainedEntry {
    HWND Window;
    BYTE ShowOnEnter;  // 1: shown and dropped when the folder is entered; 0: stays hidden
    ContainedEntry* Next;
    ContainedEntry* Prev;
};

class ContainedList {
public:
    ContainedList() = default;
    ~ContainedList() { Clear(); }
    ContainedList(const ContainedList&) = delete;
    ContainedList& operator=(const ContainedList&) = delete;

    // Appends an entry with ShowOnEnter 0; null when it cannot be allocated.
    // The same window may have several entries.
    ContainedEntry* Append(HWND window);
    // Unlinks and frees the first entry of the window; false when none.
    bool Remove(HWND window);
    void Clear();
    bool Contains(HWND window) const;
    int Count() const;

    ContainedEntry* Head = nullptr;
    ContainedEntry* Tail = nullptr;
};
