// Folders, shortcuts and the per-folder lists of windows.
//
// There is no container of folders: the FolderPane's rows are the folder
// list, each row's item data the Folder. Everything here belongs to the
// interface thread; the refresh thread never touches it (it hands what it
// gathers to the interface thread, see tasks/refresh.h).
#pragma once
#include <windows.h>

#include "folders/commandtext.h"
#include "settings/settings.h"

// An owned copy of a text. Reading never yields null: an absent text reads
// as "". Setting stores a copy of at most MaxTextLength bytes; when the copy
// cannot be allocated the text becomes absent.
class OwnedText {
public:
    OwnedText() = default;
    ~OwnedText();
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    const char* Get() const { return text ? text : ""; }
    void Set(const char* value);
    bool Empty() const { return !text || !text[0]; }

private:
    char* text = nullptr;
};

// One window that belongs to a folder.
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

struct Shortcut {
    OwnedText Title;
    OwnedText CommandLine;
    OwnedText WorkingDirectory;
    OwnedText IconFile;
    LONG IconIndex = 0;
    HICON Icon = nullptr;        // own icon or the shared DefaultIcon; null until first use
    BYTE ShowState = 0;          // 0 normal, 1 minimised, 2 maximised
    DWORD Priority = PriorityNormal;
    DWORD SeparateMemory = 1;
    DWORD MultipleInstances = 0;
    DWORD ContainInFolder = 1;
    HWND Window = nullptr;       // the running window that stands for it
    DWORD ProcessId = 0;         // from its last launch
    POINT Position = {0, 0};     // in the item list's icon views
    Shortcut* Next = nullptr;
    Shortcut* Prev = nullptr;
};

struct Folder {
    OwnedText Title;
    HotKeyCode HotKey = 0;
    DWORD ListSystemTasks = 0;
    Shortcut* First = nullptr;
    Shortcut* Last = nullptr;
    ContainedList* Contained = nullptr;
};

// Creates a folder and appends its FolderPane row. The first folder created
// becomes the CurrentFolder. Null when it cannot be allocated.
Folder* CreateFolder(const char* title, HotKeyCode hotKey, DWORD listSystemTasks);
// Frees the folder's title, contained list and shortcuts. The caller then
// frees the folder with FreeFolder and deletes its pane row.
void DestroyFolder(Folder* folder);
void FreeFolder(Folder* folder);

Shortcut* AddShortcut(Folder* folder);
// Copies what a copy of a shortcut takes over: title, command line, working
// directory, icon file and index, show state, priority, separate memory.
void CopyShortcutFields(Shortcut* to, const Shortcut* from);
void RemoveShortcut(Folder* folder, Shortcut* shortcut);
// True when the value is one of the folder's shortcuts. The value is only
// compared, never dereferenced, so any row value may be tested.
bool HasShortcut(const Folder* folder, LPARAM value);
int ShortcutCount(const Folder* folder);

Shortcut* FindShortcutByProcessId(const Folder* folder, DWORD processId);
Shortcut* FindShortcutByWindow(const Folder* folder, HWND window);
Shortcut* FindShortcutByTitle(const Folder* folder, const char* windowTitle);

// Compares, ignoring the case of A-Z, at most Settings.AcquireLength
// characters; the end of either text counts as a character.
bool TitleMatch(const char* shortcutTitle, const char* windowTitle);

HICON GetShortcutIcon(Shortcut* shortcut);
void LoadShortcutIcon(Shortcut* shortcut);

// Moves or copies a row value (shortcut or window) of the CurrentFolder to
// the folder of the given pane row.
bool TransferToFolder(LPARAM value, int paneIndex, bool move);


// The folder of a FolderPane row, null when the row cannot be read.
Folder* FolderAt(int paneIndex);
int FolderCount();
// The pane index of a folder, -1 when it has no row.
int FolderIndexOf(const Folder* folder);

// Shows a put-away window again in the state it was left in.
void ShowContainedWindow(HWND window);
// Shows every window of the list again and empties it.
void ShowAndClearContained(ContainedList* list);
