// Folders and their shortcuts and windows.
//
// The model keeps the folder list, in the folder pane's order; the pane's
// rows mirror it and are the pane's business, not the model's. The folder
// that is current is ShellState's.
// Everything here belongs to the interface thread; the refresh thread never
// touches it (it hands what it gathers to the interface thread, see
// tasks/refresh.h).
#pragma once
#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "model/commandtext.h"
#include "model/contained.h"
#include "model/settings.h"

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

// What the registry store can keep, and so what may be made: folders, and
// shortcuts in one folder. Where a folder or shortcut is made, the limit is
// checked and the user told. A load reads every folder it finds but at
// most MaxShortcutsPerFolder shortcuts of one; those beyond, in a registry
// edited by hand, stay stored for a later start (store/registry.h).
const int MaxFolders = 64;
const int MaxShortcutsPerFolder = 500;

struct Shortcut {
    OwnedText Title;
    OwnedText CommandLine;
    OwnedText WorkingDirectory;
    OwnedText IconFile;
    LONG IconIndex = 0;
    // Shared, never destroyed by the shortcut: an icon of the shell cache
    // (winkit/shellcache.h) or DefaultIcon; null until first use.
    HICON Icon = nullptr;
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
    // The shortcuts of the list again, so that telling a row's value apart
    // costs no walk of the list.
    std::unordered_set<const Shortcut*> Members;
    // The registry store's: the number of the folder key this folder was
    // last loaded from or saved to, -1 for a folder never stored. The
    // shortcuts beyond the limit that a load left in the registry are kept
    // in that key.
    int StoredAt = -1;
};

// Creates a folder at the end of the folder list. The first folder created
// becomes the CurrentFolder. Null when it cannot be allocated.
Folder* CreateFolder(const char* title, HotKeyCode hotKey, DWORD listSystemTasks);
// Frees the folder's title, contained list and shortcuts.
void DestroyFolder(Folder* folder);
// Destroys the folder and frees the object; it must be out of the list.
void FreeFolder(Folder* folder);
// Takes the folder out of the list and frees it.
void RemoveFolder(Folder* folder);
// Frees every folder and empties the list, and lets go of the icons the
// shortcuts shared.
void FreeAllFolders();

// Appends a new shortcut; null when it cannot be allocated. It does not
// look at the limit: the places that make shortcuts ask ShortcutRoom first.
Shortcut* AddShortcut(Folder* folder);
// Copies what a copy of a shortcut takes over: title, command line, working
// directory, icon file and index, show state, priority, separate memory.
void CopyShortcutFields(Shortcut* to, const Shortcut* from);
void RemoveShortcut(Folder* folder, Shortcut* shortcut);
// True when the value is one of the folder's shortcuts. The value is only
// compared, never dereferenced, so any row value may be tested.
bool HasShortcut(const Folder* folder, LPARAM value);
int ShortcutCount(const Folder* folder);
// How many more shortcuts the folder takes (0 when it is full, or over the
// limit after a load of a registry edited by hand).
int ShortcutRoom(const Folder* folder);

Shortcut* FindShortcutByProcessId(const Folder* folder, DWORD processId);
Shortcut* FindShortcutByWindow(const Folder* folder, HWND window);
Shortcut* FindShortcutByTitle(const Folder* folder, const char* windowTitle);

// Compares, ignoring the case of A-Z, at most Settings.AcquireLength
// characters; the end of either text counts as a character.
bool TitleMatch(const char* shortcutTitle, const char* windowTitle);

HICON GetShortcutIcon(Shortcut* shortcut);
void LoadShortcutIcon(Shortcut* shortcut);
// LoadShortcutIcon when the shell cache has what it needs, which then
// extracts nothing (it may ask which program opens a kind of document):
// true, with the shortcut's icon set. False, the icon left unset, with the
// file and icon number to extract first in `file` and `index` (its icon
// file's, or when that has none, its program's first icon).
bool LoadShortcutIconAtHand(Shortcut* shortcut, std::string* file, int* index);
// The icon LoadShortcutIconAtHand named is in the shell cache now: the
// shortcut takes it (true), its program becoming its icon file when that
// is where it came from. False when it holds no icon: the shortcut has to
// look further.
bool TakeExtractedIcon(Shortcut* shortcut, const std::string& file, int index);

// Moves or copies a shortcut of the CurrentFolder, or a window, to the
// folder of the given pane row. A shortcut is refused (false) when the
// target folder has no room. A window copied joins the target's list, to
// be shown on entering it; moved, it also leaves the CurrentFolder's list
// and is hidden.
bool TransferToFolder(Shortcut* shortcut, int paneIndex, bool move);
bool TransferToFolder(HWND window, int paneIndex, bool move);

// What a refresh pass found about a window that no row of the item list
// shows yet.
struct FoundWindow {
    HWND Window;
    DWORD ProcessId;
    const char* Title;
};

// Where the row of a found window goes, as its shortcuts say.
struct WindowPlacement {
    // The CurrentFolder's shortcut whose row the window's row takes the
    // place of; null: after the last row.
    const Shortcut* TakesPlaceOf = nullptr;
    // The place in the icon views that a shortcut of the CurrentFolder gives.
    bool Placed = false;
    POINT Position = {0, 0};
};

struct WindowMatches {
    std::vector<WindowPlacement> Placements;  // one per found window, in order
    // A window joined another folder's list: the record of put-away
    // windows is to be brought up to date.
    bool FiledElsewhere = false;
};

// Matches the windows a pass found, in the order found, to shortcuts: the
// CurrentFolder's shortcut started with the window's process takes it
// (replacing any window it had), and in every folder the first shortcut
// whose title matches takes it unless it has one; a folder other than the
// current one that matches it files it in its list, shown on entering it.
// Then the CurrentFolder's shortcuts let go of windows that have ended
// (and of their process ids).
WindowMatches MatchFoundWindows(const std::vector<FoundWindow>& found);

// The folder at a position of the list (the pane index), null when there
// is none.
Folder* FolderAt(int paneIndex);
int FolderCount();
// The position of a folder in the list, -1 when it is not there.
int FolderIndexOf(const Folder* folder);
// Forgets the folders of an earlier run without freeing them (the tests
// start the program many times in one process).
void ResetFolderList();

// Shows a put-away window again in the state it was left in.
void ShowContainedWindow(HWND window);
// Shows every window of the list again and empties it.
void ShowAndClearContained(ContainedList* list);
