#include "store/putaway.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "common/product.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "store/numbers.h"
#include "winkit/winutil.h"

namespace {

// What the record last wrote, value by value, and the process and class
// of each window in it, read once per window.
std::vector<std::string> Written;
std::unordered_map<HWND, std::string> Identities;

// Far more than 64 folders of 500 windows need; a larger value is not read.
const DWORD MaxValueSize = 1 << 20;
const size_t EntryHead = 4 + 1 + 4 + 1;

// One entry of a value, as read; ClassName points into the value.
struct RecordedWindow {
    HWND Window;
    BYTE ShowOnEnter;
    DWORD ProcessId;
    const char* ClassName;
    size_t ClassLength;
};

// Handles carry 32 significant bits, sign-extended on 64-bit systems.
DWORD HandleBits(HWND window)
{
    return (DWORD)(ULONG_PTR)window;
}

HWND HandleFromBits(DWORD bits)
{
    return (HWND)(LONG_PTR)(LONG)bits;
}

// The process id and class name of a window, as an entry stores them.
std::string Identity(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[256] = "";
    int length = GetClassNameA(window, className, sizeof className);
    if (length < 0)
        length = 0;
    if (length > 255)
        length = 255;
    std::string identity;
    PutNumber(identity, processId, 4);
    identity.push_back((char)length);
    identity.append(className, (size_t)length);
    return identity;
}

// The identity of a window, read once per window: known ones come from the
// last sync's, and every one used goes into fresh.
const std::string& IdentityOf(HWND window, const std::unordered_map<HWND, std::string>& known,
                              std::unordered_map<HWND, std::string>& fresh)
{
    auto identity = fresh.find(window);
    if (identity == fresh.end()) {
        auto old = known.find(window);
        identity = fresh.emplace(window, old != known.end() ? old->second : Identity(window)).first;
    }
    return identity->second;
}

// A folder's value; empty when it holds no window. Besides its list, the
// windows being shown from it whose show has not gone yet (awaiting): a
// Corvanix ended now would leave them hidden.
std::string FolderValue(const Folder* folder, const std::vector<HWND>& awaiting,
                        const std::unordered_map<HWND, std::string>& known,
                        std::unordered_map<HWND, std::string>& fresh)
{
    const ContainedList* list = folder ? folder->Contained : nullptr;
    if (!list || (!list->Head && awaiting.empty()))
        return std::string();
    std::string value = folder->Title.Get();
    value.push_back(0);
    auto put = [&](HWND window, BYTE showOnEnter) {
        PutNumber(value, HandleBits(window), 4);
        value.push_back((char)showOnEnter);
        value += IdentityOf(window, known, fresh);
    };
    for (const ContainedEntry* entry = list->Head; entry; entry = entry->Next)
        put(entry->Window, entry->ShowOnEnter);
    for (HWND window : awaiting)
        if (!list->Contains(window))
            put(window, 1);
    return value;
}

HKEY OpenRecordKey()
{
    // The product key first, so that it is never made volatile with it.
    HKEY product = nullptr, key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &product, nullptr) != ERROR_SUCCESS)
        return nullptr;
    RegCloseKey(product);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PutAwayKeyName, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        key = nullptr;
    return key;
}

// Calls visit(folder index, title, window) for each well-formed entry of
// every value; a value whose name is no folder position, or whose title
// or entries run past its end, stops at the first fault. The buffer is
// the caller's, so that the crash path allocates nothing on the heap.
template <class Visit>
void ForEachRecordedWindow(HKEY key, BYTE* buffer, DWORD bufferSize, Visit visit)
{
    for (DWORD index = 0;; index++) {
        char name[16];
        DWORD nameSize = sizeof name, size = bufferSize, type = 0;
        LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, buffer, &size);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_BINARY || nameSize == 0 ||
            strspn(name, "0123456789") != nameSize || nameSize > 2)
            continue;
        int folder = atoi(name);
        if (folder >= MaxFolders)
            continue;
        const BYTE* end = buffer + size;
        const BYTE* title = buffer;
        const BYTE* at = (const BYTE*)memchr(title, 0, size < (DWORD)MaxText ? size : MaxText);
        if (!at)
            continue;
        for (at++; (size_t)(end - at) >= EntryHead;) {
            RecordedWindow recorded;
            recorded.Window = HandleFromBits((DWORD)GetNumber(at, 4));
            recorded.ShowOnEnter = at[4] ? 1 : 0;
            recorded.ProcessId = (DWORD)GetNumber(at + 5, 4);
            recorded.ClassLength = at[9];
            recorded.ClassName = (const char*)at + EntryHead;
            if ((size_t)(end - at) < EntryHead + recorded.ClassLength)
                break;
            at += EntryHead + recorded.ClassLength;
            visit(folder, (const char*)title, recorded);
        }
    }
}

// Still the window that was put away: it exists and belongs to the same
// process and class (a handle the system gave to a new window does not
// pass).
bool SameWindow(const RecordedWindow& recorded)
{
    HWND window = recorded.Window;
    if (!IsWindow(window))
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != recorded.ProcessId)
        return false;
    char className[256];
    int length = GetClassNameA(window, className, sizeof className);
    return length >= 0 && (size_t)length == recorded.ClassLength &&
           memcmp(className, recorded.ClassName, recorded.ClassLength) == 0;
}

// The owner of a recovered window that was still on screen has answered,
// so the hide that the ended Corvanix may have queued to it is carried
// out: a window that is on screen even now was shown again by someone
// else, and is no longer put away.
void CALLBACK RecoveredWindowAnswered(HWND window, UINT, ULONG_PTR, LRESULT)
{
    if (!IsWindow(window) || !IsWindowVisible(window))
        return;
    bool changed = false;
    for (int i = 0; i < FolderCount(); i++)
        while (FolderAt(i)->Contained->Remove(window))
            changed = true;
    if (changed)
        SyncPutAwayRecord();
}

DWORD LargestValue(HKEY key)
{
    DWORD largest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &largest, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return largest < MaxValueSize ? largest : MaxValueSize;
}

} // namespace

void SyncPutAwayRecord()
{
    std::unordered_map<HWND, std::string> identities;
    std::vector<std::string> values;
    const std::vector<HWND> awaiting = WindowsAwaitingShow(), none;
    for (int i = 0; i < FolderCount(); i++) {
        Folder* folder = FolderAt(i);
        values.push_back(FolderValue(folder, folder == ShellState.CurrentFolder ? awaiting : none,
                                     Identities, identities));
    }
    Identities.swap(identities);

    size_t count = values.size() > Written.size() ? values.size() : Written.size();
    values.resize(count);
    Written.resize(count);
    HKEY key = nullptr;
    for (size_t i = 0; i < count; i++) {
        if (values[i] == Written[i])
            continue;
        if (!key && !(key = OpenRecordKey()))
            return;
        char name[16];
        snprintf(name, sizeof name, "%u", (unsigned)i);
        LONG status = values[i].empty()
                          ? RegDeleteValueA(key, name)
                          : RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE*)values[i].data(),
                                           (DWORD)values[i].size());
        // A write that failed is tried again at the next change.
        if (status == ERROR_SUCCESS || (values[i].empty() && status == ERROR_FILE_NOT_FOUND))
            Written[i] = values[i];
    }
    while (!Written.empty() && Written.back().empty())
        Written.pop_back();
    if (key)
        RegCloseKey(key);
}

void DeletePutAwayRecord()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, PutAwayKeyName);
    ResetPutAwayRecord();
}

void ResetPutAwayRecord()
{
    Written.clear();
    Identities.clear();
}

std::vector<HWND> RecoverPutAwayWindows()
{
    std::vector<HWND> recovered;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PutAwayKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return recovered;
    std::vector<BYTE> buffer(LargestValue(key) + 1);
    std::vector<HWND> homeless, onScreen;
    // Into the folders that are still there first: a window that two
    // folders held, one of them gone, stays put away in the other.
    ForEachRecordedWindow(key, buffer.data(), (DWORD)buffer.size(),
                          [&](int index, const char* title, const RecordedWindow& recorded) {
        if (!SameWindow(recorded))
            return;
        Folder* folder = FolderAt(index);
        if (!folder || strcmp(folder->Title.Get(), title) != 0) {
            homeless.push_back(recorded.Window);
            return;
        }
        if (folder->Contained->Contains(recorded.Window))
            return;
        ContainedEntry* entry = folder->Contained->Append(recorded.Window);
        if (!entry) {
            homeless.push_back(recorded.Window);
            return;
        }
        entry->ShowOnEnter = recorded.ShowOnEnter;
        recovered.push_back(recorded.Window);
        if (IsWindowVisible(recorded.Window))
            onScreen.push_back(recorded.Window);
    });
    RegCloseKey(key);
    for (HWND window : homeless) {
        bool filed = false;
        for (int i = 0; i < FolderCount() && !filed; i++)
            filed = FolderAt(i)->Contained->Contains(window);
        if (!filed) {
            recovered.push_back(window);
            // Queued behind any hide still on its way to it.
            ShowContainedWindow(window);
        }
    }
    // Still on screen: perhaps only because the hide that put it away has
    // not been carried out yet. Its owner's answer tells.
    for (HWND window : onScreen)
        SendMessageCallbackA(window, WM_NULL, 0, 0, RecoveredWindowAnswered, 0);
    DeletePutAwayRecord();
    SyncPutAwayRecord();
    return recovered;
}

void ShowRecordedWindows()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PutAwayKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD size = LargestValue(key) + 1;
    BYTE* buffer = (BYTE*)VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (buffer) {
        // Also a window still on screen: a hide may be on its way to it.
        ForEachRecordedWindow(key, buffer, size, [](int, const char*, const RecordedWindow& recorded) {
            if (SameWindow(recorded))
                ShowWindowAsync(recorded.Window, ShowAgainCommand(recorded.Window));
        });
        VirtualFree(buffer, 0, MEM_RELEASE);
    }
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, PutAwayKeyName);
}
