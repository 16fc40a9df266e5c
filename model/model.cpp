#include "model/model.h"

#include <shellapi.h>
#include <new>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "model/shellstate.h"
#include "winkit/shellcache.h"
#include "winkit/winutil.h"

// ---------------------------------------------------------------- texts

OwnedText::~OwnedText()
{
    free(text);
}

void OwnedText::Set(const char* value)
{
    char* copy = nullptr;
    if (value) {
        size_t length = strnlen(value, MaxTextLength);
        copy = (char*)malloc(length + 1);
        if (copy) {
            memcpy(copy, value, length);
            copy[length] = 0;
        }
    }
    free(text);
    text = copy;
}

// ---------------------------------------------------------------- contained windows

void ShowContainedWindow(HWND window)
{
    ShowWindowNoWait(window, ShowAgainCommand(window));
}

void ShowAndClearContained(ContainedList* list)
{
    if (!list)
        return;
    for (ContainedEntry* entry = list->Head; entry; entry = entry->Next)
        if (IsWindow(entry->Window))
            ShowContainedWindow(entry->Window);
    list->Clear();
}

// ---------------------------------------------------------------- folders

namespace {

// The folders in the order of the folder pane, whose rows mirror them.
std::vector<Folder*> Folders;

} // namespace

void ResetFolderList()
{
    Folders.clear();
}

Folder* FolderAt(int paneIndex)
{
    if (paneIndex < 0 || paneIndex >= FolderCount())
        return nullptr;
    return Folders[(size_t)paneIndex];
}

int FolderCount()
{
    return (int)Folders.size();
}

int FolderIndexOf(const Folder* folder)
{
    if (!folder)
        return -1;
    for (size_t i = 0; i < Folders.size(); i++)
        if (Folders[i] == folder)
            return (int)i;
    return -1;
}

Folder* CreateFolder(const char* title, HotKeyCode hotKey, DWORD listSystemTasks)
{
    Folder* folder = new (std::nothrow) Folder;
    if (!folder)
        return nullptr;
    folder->Contained = new (std::nothrow) ContainedList;
    if (!folder->Contained) {
        delete folder;
        return nullptr;
    }
    folder->Title.Set(title);
    folder->HotKey = hotKey;
    folder->ListSystemTasks = listSystemTasks;

    try {
        Folders.push_back(folder);
    } catch (const std::bad_alloc&) {
        FreeFolder(folder);
        return nullptr;
    }
    if (!ShellState.CurrentFolder) {
        ShellState.CurrentFolder = folder;
        ShellState.CurrentFolderIndex = FolderCount() - 1;
    }
    return folder;
}

void DestroyFolder(Folder* folder)
{
    if (!folder)
        return;
    folder->Title.Set(nullptr);
    delete folder->Contained;
    folder->Contained = nullptr;
    while (folder->First)
        RemoveShortcut(folder, folder->First);
}

void FreeFolder(Folder* folder)
{
    if (!folder)
        return;
    DestroyFolder(folder);
    delete folder;
}

void RemoveFolder(Folder* folder)
{
    int index = FolderIndexOf(folder);
    if (index < 0)
        return;
    Folders.erase(Folders.begin() + index);
    if (ShellState.CurrentFolder == folder)
        ShellState.CurrentFolder = nullptr;
    FreeFolder(folder);
}

void FreeAllFolders()
{
    for (Folder* folder : Folders)
        FreeFolder(folder);
    Folders.clear();
    ShellState.CurrentFolder = nullptr;
    ClearShellCache();
}

// ---------------------------------------------------------------- shortcuts

Shortcut* AddShortcut(Folder* folder)
{
    if (!folder)
        return nullptr;
    Shortcut* shortcut = new (std::nothrow) Shortcut;
    if (!shortcut)
        return nullptr;
    try {
        folder->Members.insert(shortcut);
    } catch (const std::bad_alloc&) {
        delete shortcut;
        return nullptr;
    }
    shortcut->Prev = folder->Last;
    if (folder->Last)
        folder->Last->Next = shortcut;
    else
        folder->First = shortcut;
    folder->Last = shortcut;
    return shortcut;
}

void CopyShortcutFields(Shortcut* to, const Shortcut* from)
{
    to->Title.Set(from->Title.Get());
    to->CommandLine.Set(from->CommandLine.Get());
    to->WorkingDirectory.Set(from->WorkingDirectory.Get());
    to->IconFile.Set(from->IconFile.Get());
    to->IconIndex = from->IconIndex;
    to->ShowState = from->ShowState;
    to->Priority = from->Priority;
    to->SeparateMemory = from->SeparateMemory;
}

void RemoveShortcut(Folder* folder, Shortcut* shortcut)
{
    if (!folder || !shortcut || !HasShortcut(folder, (LPARAM)shortcut))
        return;
    if (shortcut->Prev)
        shortcut->Prev->Next = shortcut->Next;
    else
        folder->First = shortcut->Next;
    if (shortcut->Next)
        shortcut->Next->Prev = shortcut->Prev;
    else
        folder->Last = shortcut->Prev;
    folder->Members.erase(shortcut);
    delete shortcut;
}

bool HasShortcut(const Folder* folder, LPARAM value)
{
    if (!folder || !value)
        return false;
    return folder->Members.count((const Shortcut*)value) != 0;
}

int ShortcutCount(const Folder* folder)
{
    return folder ? (int)folder->Members.size() : 0;
}

int ShortcutRoom(const Folder* folder)
{
    int room = MaxShortcutsPerFolder - ShortcutCount(folder);
    return folder && room > 0 ? room : 0;
}

Shortcut* FindShortcutByProcessId(const Folder* folder, DWORD processId)
{
    for (Shortcut* s = folder ? folder->First : nullptr; s; s = s->Next)
        if (s->ProcessId == processId)
            return s;
    return nullptr;
}

Shortcut* FindShortcutByWindow(const Folder* folder, HWND window)
{
    for (Shortcut* s = folder ? folder->First : nullptr; s; s = s->Next)
        if (s->Window == window)
            return s;
    return nullptr;
}

Shortcut* FindShortcutByTitle(const Folder* folder, const char* windowTitle)
{
    for (Shortcut* s = folder ? folder->First : nullptr; s; s = s->Next)
        if (TitleMatch(s->Title.Get(), windowTitle))
            return s;
    return nullptr;
}

static char FoldAsciiCase(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

bool TitleMatch(const char* shortcutTitle, const char* windowTitle)
{
    if (!shortcutTitle)
        shortcutTitle = "";
    if (!windowTitle)
        windowTitle = "";
    DWORD length = ReadShared(Settings.AcquireLength);
    for (DWORD i = 0; i < length; i++) {
        char a = FoldAsciiCase(shortcutTitle[i]);
        char b = FoldAsciiCase(windowTitle[i]);
        if (a != b)
            return false;
        if (!a)
            break;  // both ended together
    }
    return true;
}

// ---------------------------------------------------------------- icons

HICON GetShortcutIcon(Shortcut* shortcut)
{
    if (!shortcut)
        return nullptr;
    if (!shortcut->Icon)
        LoadShortcutIcon(shortcut);
    return shortcut->Icon;
}

namespace {

// The icon file the shortcut names, unquoted (in `buffer`, MaxText bytes):
// null when it names none. An empty icon file is one more file without
// icons, and index -1 asks for a count, not an icon.
const char* NamedIconFile(const Shortcut* shortcut, char* buffer)
{
    lstrcpynA(buffer, shortcut->IconFile.Get(), MaxText);
    const char* unquoted = StripQuotes(buffer);
    return unquoted[0] && shortcut->IconIndex != -1 ? unquoted : nullptr;
}

// The program of the command, or the one that opens its document: the
// file whose first icon stands in when the icon file gives none.
bool IconProgram(const Shortcut* shortcut, char* found)
{
    char command[MaxText];
    lstrcpynA(command, shortcut->CommandLine.Get(), MaxText);
    char* program = FirstArgument(command);
    return program && CachedAssociatedProgram(StripQuotes(program), found);
}

// The shortcut's icon from its icon file, or from its program's first
// icon. With `extract`, icons not yet in the cache are extracted here;
// without, the first such one is named in file and index and the answer
// is false (the icon loader is to extract it).
bool ResolveShortcutIcon(Shortcut* shortcut, bool extract, std::string* file, int* index)
{
    char buffer[MaxText];
    const char* named = NamedIconFile(shortcut, buffer);
    if (named && !extract && !KnowsFileIcon(named, (int)shortcut->IconIndex)) {
        *file = named;
        *index = (int)shortcut->IconIndex;
        return false;
    }
    HICON icon = named ? CachedFileIcon(named, (int)shortcut->IconIndex) : nullptr;
    char found[MaxText] = "";
    if (!icon && IconProgram(shortcut, found)) {
        if (!extract && !KnowsFileIcon(found, 0)) {
            *file = found;
            *index = 0;
            return false;
        }
        shortcut->IconFile.Set(found);
        shortcut->IconIndex = 0;
        icon = CachedFileIcon(found, 0);
    }
    shortcut->Icon = icon ? icon : DefaultIcon();
    return true;
}

} // namespace

void LoadShortcutIcon(Shortcut* shortcut)
{
    if (!shortcut)
        return;
    // The icons are the shell cache's: the shortcuts showing one icon
    // share it, and it is extracted once.
    shortcut->Icon = nullptr;
    ResolveShortcutIcon(shortcut, true, nullptr, nullptr);
}

bool LoadShortcutIconAtHand(Shortcut* shortcut, std::string* file, int* index)
{
    return shortcut->Icon || ResolveShortcutIcon(shortcut, false, file, index);
}

bool TakeExtractedIcon(Shortcut* shortcut, const std::string& file, int index)
{
    if (shortcut->Icon)
        return true;
    HICON icon = KnowsFileIcon(file.c_str(), index) ? CachedFileIcon(file.c_str(), index) : nullptr;
    if (!icon)
        return false;
    char buffer[MaxText];
    const char* named = NamedIconFile(shortcut, buffer);
    if (!named || file != named || index != (int)shortcut->IconIndex) {
        shortcut->IconFile.Set(file.c_str());
        shortcut->IconIndex = 0;
    }
    shortcut->Icon = icon;
    return true;
}

// ---------------------------------------------------------------- transfers

bool TransferToFolder(Shortcut* shortcut, int paneIndex, bool move)
{
    Folder* target = FolderAt(paneIndex);
    if (!target || !shortcut || ShortcutRoom(target) == 0)
        return false;
    Shortcut* copy = AddShortcut(target);
    if (!copy)
        return false;
    CopyShortcutFields(copy, shortcut);
    copy->Position = shortcut->Position;
    if (move)
        RemoveShortcut(ShellState.CurrentFolder, shortcut);
    return true;
}

bool TransferToFolder(HWND window, int paneIndex, bool move)
{
    Folder* target = FolderAt(paneIndex);
    if (!target)
        return false;
    Folder* current = ShellState.CurrentFolder;
    if (move && current && current->Contained)
        current->Contained->Remove(window);
    ContainedEntry* entry = target->Contained ? target->Contained->Append(window) : nullptr;
    if (!entry)
        return false;
    entry->ShowOnEnter = 1;
    if (move)
        ShowWindowNoWait(window, SW_HIDE);
    return true;
}

// ---------------------------------------------------------------- windows a pass found

namespace {

WindowPlacement MatchFoundWindow(const FoundWindow& found, bool* filedElsewhere)
{
    Folder* current = ShellState.CurrentFolder;
    WindowPlacement placement;
    Shortcut* byProcess = FindShortcutByProcessId(current, found.ProcessId);
    Shortcut* byTitle = FindShortcutByTitle(current, found.Title);
    // Asked before this window is taken: a shortcut that stands for
    // another window keeps its place for that one.
    placement.TakesPlaceOf = byProcess ? byProcess : (byTitle && !byTitle->Window ? byTitle : nullptr);
    if (byProcess) {
        byProcess->Window = found.Window;
        placement.Placed = true;
        placement.Position = byProcess->Position;
    }
    for (int i = 0; i < FolderCount(); i++) {
        Folder* folder = FolderAt(i);
        Shortcut* shortcut = FindShortcutByTitle(folder, found.Title);
        if (!shortcut)
            continue;
        if (!shortcut->Window)
            shortcut->Window = found.Window;
        if (folder == current) {
            placement.Placed = true;
            placement.Position = shortcut->Position;
        } else {
            *filedElsewhere |= TransferToFolder(found.Window, i, false);
        }
    }
    return placement;
}

} // namespace

WindowMatches MatchFoundWindows(const std::vector<FoundWindow>& found)
{
    WindowMatches matches;
    matches.Placements.reserve(found.size());
    for (const FoundWindow& window : found)
        matches.Placements.push_back(MatchFoundWindow(window, &matches.FiledElsewhere));
    Folder* current = ShellState.CurrentFolder;
    for (Shortcut* shortcut = current ? current->First : nullptr; shortcut; shortcut = shortcut->Next) {
        if (shortcut->Window && !IsWindow(shortcut->Window)) {
            shortcut->ProcessId = 0;
            shortcut->Window = nullptr;
        }
    }
    return matches;
}
