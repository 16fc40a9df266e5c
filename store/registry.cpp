#include "store/registry.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/product.h"
#include "model/model.h"
#include "model/settings.h"
#include "store/journal.h"
#include "store/storedform.h"

namespace {

const unsigned Unbounded = UINT_MAX;
// A folder key with more values than a full folder has is read by the
// numbers of its titles from 0 up, value by name, and only as far as the
// folder takes shortcuts: a walk of every value of a folder edited to hold
// thousands would freeze the start. A gap of this many numbers ends it
// (and, short of a full folder, leaves the rest to a walk of every value).
const DWORD EnumeratedValues = 12 * MaxShortcutsPerFolder;
const unsigned LongestGap = 1000;

// What tells whether a key changed since the store last looked at it: its
// counts and its last-write time.
struct KeyPrint {
    bool Valid = false;
    bool Exists = false;
    DWORD Values = 0;
    DWORD Subkeys = 0;
    FILETIME Written = {0, 0};

    bool Same(const KeyPrint& other) const
    {
        return Valid && other.Valid && Exists == other.Exists && Values == other.Values &&
               Subkeys == other.Subkeys && CompareFileTime(&Written, &other.Written) == 0;
    }
};

// The values of one stored shortcut number: which there are (bits by place
// in ShortcutValues) and the sum of their hashes.
struct SlotState {
    unsigned Number;
    uint16_t Mask;
    uint64_t Hash;
};

struct FolderKeyState {
    KeyPrint Print;
    // False for a key the store never read, or one changed behind its
    // back: such a key is written anew.
    bool Trusted = false;
    uint64_t Head = 0;
    // By number, all below Boundary.
    std::vector<SlotState> Slots;
    // Shortcuts from this number on were not read (the folder was full):
    // they stay as stored.
    unsigned Boundary = Unbounded;
};

using NumberedHashes = std::map<unsigned, uint64_t>;

// What the store last read or wrote.
struct StoreState {
    bool Loaded = false;
    KeyPrint Product, History, Folders;
    std::vector<uint64_t> Options;
    NumberedHashes HistoryValues;
    NumberedHashes Titles;
    std::map<unsigned, FolderKeyState> FolderKeys;
};

StoreState Stored;

HKEY CreateKey(const char* path)
{
    HKEY key = nullptr;
    char keyClass[] = "REG_SZ";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, keyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// The four keys a load or save works on, created when missing with the
// default security of the user's hive.
struct Keys {
    HKEY Product = CreateKey(ProductKeyName);
    HKEY Maker = CreateKey(MakerKeyName);
    HKEY History = CreateKey(HistoryKeyName);
    HKEY Folders = CreateKey(FoldersKeyName);

    Keys() = default;
    ~Keys()
    {
        for (HKEY key : {Product, Maker, History, Folders})
            if (key)
                RegCloseKey(key);
    }
    Keys(const Keys&) = delete;
    Keys& operator=(const Keys&) = delete;
};

std::string FolderKeyPath(unsigned number)
{
    return std::string(FoldersKeyName) + "\\" + std::to_string(number);
}

KeyPrint PrintOf(HKEY key)
{
    KeyPrint print;
    print.Valid = true;
    print.Exists = key && RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &print.Subkeys,
                                           nullptr, nullptr, &print.Values, nullptr, nullptr,
                                           nullptr, &print.Written) == ERROR_SUCCESS;
    return print;
}

KeyPrint PrintOfFolderKey(unsigned number)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FolderKeyPath(number).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        key = nullptr;
    KeyPrint print = PrintOf(key);
    if (key)
        RegCloseKey(key);
    return print;
}

// A plain decimal number, as a save writes it: no sign, no leading zero.
bool ParseNumber(const char* digits, unsigned* number)
{
    size_t length = strlen(digits);
    if (length == 0 || length > 9 || strspn(digits, "0123456789") != length ||
        (digits[0] == '0' && length > 1))
        return false;
    *number = (unsigned)strtoul(digits, nullptr, 10);
    return true;
}

// Calls visit(name, type, data, size) for each value of the key; data is
// null for a value too long to be one of ours.
template <class Visit>
void ForEachValue(HKEY key, Visit visit)
{
    char name[MaxText];
    BYTE data[MaxText];
    for (DWORD i = 0; key; i++) {
        DWORD nameLength = sizeof name, type = 0, size = sizeof data;
        LONG result = RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_MORE_DATA) {
            // The name or the data is too long: the name alone tells which.
            nameLength = sizeof name;
            if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, &size) ==
                ERROR_SUCCESS)
                visit(name, type, (const BYTE*)nullptr, size);
        } else if (result == ERROR_SUCCESS) {
            visit(name, type, (const BYTE*)data, size);
        }
    }
}

// Reads one value by name: the hash of what is stored (0 for nothing),
// with the bytes in `data` when they fit.
uint64_t QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size,
                    const BYTE** read)
{
    DWORD capacity = *size;
    LONG result = key ? RegQueryValueExA(key, name, nullptr, type, data, size) : ERROR_FILE_NOT_FOUND;
    *read = result == ERROR_SUCCESS && *size <= capacity ? data : nullptr;
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return 0;
    return ValueHash(name, *type, *read, *size);
}

// ---------------------------------------------------------------- reading

// The options and the layout record, or with no record only what is
// stored.
void ReadOptions(HKEY product, LayoutRecord* layout)
{
    Stored.Options.assign(OptionCount, 0);
    for (int i = 0; i < OptionCount; i++) {
        BYTE data[MaxText];
        DWORD type = 0, size = sizeof data;
        const BYTE* read = nullptr;
        Stored.Options[i] = QueryValue(product, OptionValues[i].Name, &type, data, &size, &read);
        if (layout)
            TakeOption(OptionValues[i], type, read, size, layout);
    }
}

// Calls visit(number, type, data, size) for each value of the key named
// by a number, once its hash is kept in hashes (what they held before is
// forgotten).
template <class Visit>
void ForEachNumberedValue(HKEY key, NumberedHashes& hashes, Visit visit)
{
    hashes.clear();
    ForEachValue(key, [&](const char* name, DWORD type, const BYTE* data, DWORD size) {
        unsigned n;
        if (!ParseNumber(name, &n))
            return;
        hashes[n] = ValueHash(name, type, data, size);
        visit(n, type, data, size);
    });
}

// What the History key holds, and with `texts` its commands by slot.
void ReadHistory(HKEY history, char (*texts)[MaxText])
{
    auto take = [&](unsigned n, DWORD type, const BYTE* data, DWORD size) {
        if (texts && n < (unsigned)RunHistorySlots && data)
            ReadStoredText(type, data, size, texts[n]);
    };
    ForEachNumberedValue(history, Stored.HistoryValues, take);
}

void LoadHistory(HKEY history)
{
    char texts[RunHistorySlots][MaxText] = {};
    ReadHistory(history, texts);
    for (int n = RunHistorySlots - 1; n >= 0; n--)
        if (texts[n][0])
            RunHistoryInsert(texts[n]);  // a repeat of slot 0 is not inserted
}

// The titles of the Folders key, and with `titles` the readable ones by
// number; the folder keys it holds, each as not yet read.
void ReadFolderList(HKEY folders, std::map<unsigned, std::string>* titles)
{
    auto take = [&](unsigned n, DWORD type, const BYTE* data, DWORD size) {
        char title[MaxText];
        if (titles && data && ReadStoredText(type, data, size, title))
            (*titles)[n] = title;
    };
    ForEachNumberedValue(folders, Stored.Titles, take);
    std::map<unsigned, FolderKeyState> known;
    char name[MaxText];
    for (DWORD i = 0; folders && RegEnumKeyA(folders, i, name, sizeof name) == ERROR_SUCCESS; i++) {
        unsigned n;
        if (!ParseNumber(name, &n))
            continue;
        auto found = Stored.FolderKeys.find(n);
        FolderKeyState& state = known[n];
        if (found != Stored.FolderKeys.end())
            state = std::move(found->second);
        else
            state.Print.Exists = true;
    }
    Stored.FolderKeys = std::move(known);
}

// The values of one shortcut number as read.
struct ReadSlot {
    uint16_t Mask = 0;
    uint16_t Whole = 0;  // read with their bytes
    uint64_t Hash = 0;
    DWORD Type[ShortcutValueCount] = {};
    std::string Data[ShortcutValueCount];

    void Add(int index, DWORD type, const BYTE* data, DWORD size)
    {
        Mask |= (uint16_t)(1 << index);
        Hash += ShortcutValueHash(index, type, data, size);
        if (!data)
            return;
        Whole |= (uint16_t)(1 << index);
        Type[index] = type;
        Data[index].assign((const char*)data, size);
    }
    const BYTE* Bytes(int index) const
    {
        return Whole & (1 << index) ? (const BYTE*)Data[index].data() : nullptr;
    }
    bool Titled() const
    {
        char title[MaxText];
        return Bytes(TitleValue) &&
               ReadStoredText(Type[TitleValue], Bytes(TitleValue), (DWORD)Data[TitleValue].size(),
                              title);
    }
};

void AddReadShortcut(Folder* folder, const ReadSlot& slot)
{
    Shortcut* shortcut = AddShortcut(folder);
    for (int i = 0; shortcut && i < ShortcutValueCount; i++)
        TakeShortcutValue(ShortcutValues[i], shortcut, slot.Type[i], slot.Bytes(i),
                          (DWORD)slot.Data[i].size());
}

// Takes the slot in; false once the folder is full and the slot is a
// shortcut, which is left stored with every number after it.
bool TakeSlot(Folder* folder, FolderKeyState* state, unsigned number, const ReadSlot& slot)
{
    bool titled = slot.Titled();
    if (titled && ShortcutCount(folder) >= MaxShortcutsPerFolder) {
        state->Boundary = number;
        return false;
    }
    state->Slots.push_back({number, slot.Mask, slot.Hash});
    if (titled)
        AddReadShortcut(folder, slot);
    return true;
}

// Every value of the key in one walk.
void ReadEveryValue(HKEY key, Folder* folder, FolderKeyState* state)
{
    std::map<unsigned, ReadSlot> slots;
    DWORD headType[FolderValueCount] = {};
    std::string head[FolderValueCount];
    bool headRead[FolderValueCount] = {};
    ForEachValue(key, [&](const char* name, DWORD type, const BYTE* data, DWORD size) {
        for (int i = 0; i < FolderValueCount; i++) {
            if (strcmp(name, FolderValues[i].Name) != 0)
                continue;
            state->Head += ValueHash(name, type, data, size);
            headType[i] = type;
            headRead[i] = data != nullptr;
            if (data)
                head[i].assign((const char*)data, size);
            return;
        }
        int index = ShortcutValueIndex(name[0]);
        unsigned n;
        if (index >= 0 && ParseNumber(name + 1, &n))
            slots[n].Add(index, type, data, size);
    });
    for (int i = 0; i < FolderValueCount; i++)
        TakeFolderValue(FolderValues[i], folder, headType[i],
                        headRead[i] ? (const BYTE*)head[i].data() : nullptr, (DWORD)head[i].size());
    for (const auto& slot : slots)
        if (!TakeSlot(folder, state, slot.first, slot.second))
            break;
}

// The titles by number from 0 up, each shortcut's values by name: true
// when the walk ended with the folder full, or with every value of the key
// read.
bool ReadByNumber(HKEY key, Folder* folder, FolderKeyState* state)
{
    BYTE data[MaxText];
    DWORD found = 0;
    for (int i = 0; i < FolderValueCount; i++) {
        DWORD type = 0, size = sizeof data;
        const BYTE* read;
        uint64_t hash = QueryValue(key, FolderValues[i].Name, &type, data, &size, &read);
        state->Head += hash;
        found += hash != 0;
        TakeFolderValue(FolderValues[i], folder, type, read, size);
    }
    unsigned n = 0;
    for (unsigned gap = 0; gap < LongestGap && n < Unbounded - 1; n++) {
        ReadSlot slot;
        for (int i = 0; i < ShortcutValueCount; i++) {
            char name[16];
            snprintf(name, sizeof name, "%c%u", ShortcutValues[i].Letter, n);
            DWORD type = 0, size = sizeof data;
            const BYTE* read;
            if (QueryValue(key, name, &type, data, &size, &read)) {
                slot.Add(i, type, read, size);
                found++;
            } else if (i == TitleValue) {
                break;  // no shortcut of that number
            }
        }
        gap = slot.Mask ? 0 : gap + 1;
        if (slot.Mask && !TakeSlot(folder, state, n, slot))
            return true;
    }
    state->Boundary = n;
    return found >= state->Print.Values;
}

void LoadFolderKey(unsigned number, Folder* folder, FolderKeyState* state)
{
    *state = FolderKeyState();
    state->Trusted = true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FolderKeyPath(number).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        key = nullptr;
    state->Print = PrintOf(key);
    bool read = state->Print.Values > EnumeratedValues && ReadByNumber(key, folder, state);
    if (!read) {
        // A gap ended the walk by number short of a full folder, with
        // values left (numbers edited far apart): one walk of every value
        // reads them.
        while (folder->First)
            RemoveShortcut(folder, folder->First);
        KeyPrint print = state->Print;
        *state = FolderKeyState();
        state->Trusted = true;
        state->Print = print;
        ReadEveryValue(key, folder, state);
    }
    if (key)
        RegCloseKey(key);
}

// Every folder whose title can be read, in the order of their numbers; a
// gap in the numbers, or a folder or shortcut that cannot be read, is
// passed over, and an empty title is a title.
void LoadFolders(HKEY folders)
{
    std::map<unsigned, std::string> titles;
    Stored.FolderKeys.clear();
    ReadFolderList(folders, &titles);
    for (const auto& title : titles) {
        Folder* folder = CreateFolder(title.second.c_str(), 0, 0);
        if (!folder)
            continue;
        folder->StoredAt = (int)title.first;
        LoadFolderKey(title.first, folder, &Stored.FolderKeys[title.first]);
    }
}

// Whatever changed behind the store's back since it last looked is read
// again; a folder's key so changed is written anew at this save.
void ReadWhatChanged(const Keys& keys)
{
    if (!Stored.Loaded || !PrintOf(keys.Product).Same(Stored.Product))
        ReadOptions(keys.Product, nullptr);
    if (!Stored.Loaded || !PrintOf(keys.History).Same(Stored.History))
        ReadHistory(keys.History, nullptr);
    if (!Stored.Loaded || !PrintOf(keys.Folders).Same(Stored.Folders))
        ReadFolderList(keys.Folders, nullptr);
    for (auto& entry : Stored.FolderKeys) {
        FolderKeyState& state = entry.second;
        KeyPrint now = PrintOfFolderKey(entry.first);
        if (!state.Trusted || now.Same(state.Print))
            continue;
        state.Trusted = false;
        if (!now.Exists) {
            // Gone, with whatever was kept in it.
            state = FolderKeyState();
            state.Trusted = true;
        }
    }
}

// ---------------------------------------------------------------- writing

void SetForm(ChangeList* changes, LayoutKey key, unsigned folder, const char* name,
             const ValueForm& form)
{
    changes->SetValue(key, folder, name, form.Type, form.Data(), form.Size);
}

bool StoredAs(const NumberedHashes& stored, unsigned number, uint64_t hash)
{
    auto found = stored.find(number);
    return found != stored.end() && found->second == hash;
}

void SaveOptions(const LayoutRecord& layout, ChangeList* changes, StoreState* next)
{
    next->Options = Stored.Options;
    for (int i = 0; i < OptionCount; i++) {
        const OptionValue& option = OptionValues[i];
        if (!option.Saved)
            continue;
        ValueForm form = OptionForm(option, layout);
        uint64_t hash = FormHash(option.Name, form);
        if (hash != Stored.Options[i])
            SetForm(changes, LayoutKey::Product, 0, option.Name, form);
        next->Options[i] = hash;
    }
}

// The filled slots, each as value n; values at or above their count go.
void SaveHistory(ChangeList* changes, StoreState* next)
{
    int count = RunHistoryCount();
    for (int n = 0; n < count; n++) {
        std::string name = std::to_string(n);
        ValueForm form;
        form.Type = REG_SZ;
        form.External = (const BYTE*)RunHistoryText(n);
        form.Size = (DWORD)strlen(RunHistoryText(n)) + 1;
        uint64_t hash = FormHash(name.c_str(), form);
        if (!StoredAs(Stored.HistoryValues, n, hash))
            SetForm(changes, LayoutKey::History, 0, name.c_str(), form);
        next->HistoryValues[n] = hash;
    }
    for (const auto& stored : Stored.HistoryValues)
        if (stored.first >= (unsigned)count)
            changes->DeleteValue(LayoutKey::History, 0, std::to_string(stored.first).c_str());
}

std::string SlotValueName(int index, unsigned number)
{
    char name[16];
    snprintf(name, sizeof name, "%c%u", ShortcutValues[index].Letter, number);
    return name;
}

// The folder's values and shortcuts where they differ from `stored` (null:
// nothing is stored), and the stored shortcuts beyond its own deleted.
void WriteFolderValues(unsigned key, const Folder& folder, const FolderKeyState* stored,
                       ChangeList* changes, FolderKeyState* next)
{
    uint64_t head = 0;
    for (const FolderValue& value : FolderValues)
        head += FormHash(value.Name, FolderForm(value, folder));
    if (!stored || stored->Head != head)
        for (const FolderValue& value : FolderValues)
            SetForm(changes, LayoutKey::Folder, key, value.Name, FolderForm(value, folder));
    next->Head = head;

    size_t at = 0;
    unsigned number = 0;
    for (const Shortcut* shortcut = folder.First; shortcut; shortcut = shortcut->Next, number++) {
        uint64_t hash = ShortcutHash(*shortcut);
        while (stored && at < stored->Slots.size() && stored->Slots[at].Number < number)
            at++;
        bool same = stored && at < stored->Slots.size() && stored->Slots[at].Number == number &&
                    stored->Slots[at].Mask == AllShortcutValues && stored->Slots[at].Hash == hash;
        for (int i = 0; !same && i < ShortcutValueCount; i++)
            SetForm(changes, LayoutKey::Folder, key, SlotValueName(i, number).c_str(),
                    ShortcutForm(ShortcutValues[i], *shortcut));
        next->Slots.push_back({number, AllShortcutValues, hash});
    }
    for (size_t i = 0; stored && i < stored->Slots.size(); i++) {
        const SlotState& slot = stored->Slots[i];
        if (slot.Number < number)
            continue;
        for (int value = 0; value < ShortcutValueCount; value++)
            if (slot.Mask & (1 << value))
                changes->DeleteValue(LayoutKey::Folder, key, SlotValueName(value, slot.Number).c_str());
    }
}

// A value of a folder's key kept as stored.
struct KeptValue {
    std::string Name;
    DWORD Type;
    std::string Data;
};

// The shortcuts' values of a folder key from a number on: what a load left
// stored. Values too long to be read are no shortcut's and stay behind.
std::vector<KeptValue> ValuesBeyond(unsigned number, unsigned boundary)
{
    std::vector<KeptValue> kept;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FolderKeyPath(number).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return kept;
    ForEachValue(key, [&](const char* name, DWORD type, const BYTE* data, DWORD size) {
        unsigned n;
        if (data && ShortcutValueIndex(name[0]) >= 0 && ParseNumber(name + 1, &n) && n >= boundary)
            kept.push_back({name, type, std::string((const char*)data, size)});
    });
    RegCloseKey(key);
    return kept;
}

// The folder at position `key`. A folder that stays where it was loaded
// or last saved, or whose key holds only what the store knows, gets only
// what changed; any other key (one changed behind the store's back, one
// that holds the shortcuts a load left of another folder, or a folder that
// brings such shortcuts of its own from another key) is written anew, with
// the shortcuts left stored carried along.
FolderKeyState SaveFolderKey(unsigned key, const Folder& folder, ChangeList* changes)
{
    auto find = [](int number) -> const FolderKeyState* {
        auto found = Stored.FolderKeys.find((unsigned)number);
        return number >= 0 && found != Stored.FolderKeys.end() ? &found->second : nullptr;
    };
    const FolderKeyState* here = find((int)key);
    const FolderKeyState* own = find(folder.StoredAt);
    FolderKeyState next;
    next.Trusted = true;
    next.Boundary = own ? own->Boundary : Unbounded;
    bool inPlace = here && here->Trusted && folder.StoredAt == (int)key;
    bool plain = next.Boundary == Unbounded &&
                 (!here || !here->Print.Exists || (here->Trusted && here->Boundary == Unbounded));
    if (inPlace || plain) {
        WriteFolderValues(key, folder, here, changes, &next);
        return next;
    }
    std::vector<KeptValue> kept;
    if (next.Boundary != Unbounded)
        kept = ValuesBeyond((unsigned)folder.StoredAt, next.Boundary);
    if (here && here->Print.Exists)
        changes->DeleteFolderKey(key);
    WriteFolderValues(key, folder, nullptr, changes, &next);
    for (const KeptValue& value : kept)
        changes->SetValue(LayoutKey::Folder, key, value.Name.c_str(), value.Type,
                          (const BYTE*)value.Data.data(), (DWORD)value.Data.size());
    return next;
}

// The folders in pane order, each at its position; titles and keys beyond
// the last go. Returns the numbers of the folder keys changed.
std::vector<unsigned> SaveFolders(ChangeList* changes, StoreState* next)
{
    std::vector<unsigned> changed;
    unsigned count = (unsigned)FolderCount();
    for (unsigned i = 0; i < count; i++) {
        const Folder* folder = FolderAt((int)i);
        std::string name = std::to_string(i);
        ValueForm title;
        title.Type = REG_SZ;
        title.External = (const BYTE*)folder->Title.Get();
        title.Size = (DWORD)strlen(folder->Title.Get()) + 1;
        uint64_t hash = FormHash(name.c_str(), title);
        if (!StoredAs(Stored.Titles, i, hash))
            SetForm(changes, LayoutKey::Folders, 0, name.c_str(), title);
        next->Titles[i] = hash;
        size_t before = changes->Count();
        next->FolderKeys[i] = SaveFolderKey(i, *folder, changes);
        if (changes->Count() != before)
            changed.push_back(i);
    }
    for (const auto& stored : Stored.Titles)
        if (stored.first >= count)
            changes->DeleteValue(LayoutKey::Folders, 0, std::to_string(stored.first).c_str());
    for (const auto& stored : Stored.FolderKeys)
        if (stored.first >= count && (stored.second.Print.Exists || !stored.second.Trusted))
            changes->DeleteFolderKey(stored.first);
    return changed;
}

// What the store knows once the save is made: a key where a change failed
// is looked at again by the next save.
void TakeSavedState(const Keys& keys, StoreState* next, const std::vector<unsigned>& changed,
                    const FailedKeys& failed)
{
    for (int i = 0; i < FolderCount(); i++)
        FolderAt(i)->StoredAt = i;
    next->Loaded = true;
    next->Product = PrintOf(keys.Product);
    next->History = PrintOf(keys.History);
    next->Folders = PrintOf(keys.Folders);
    for (auto& entry : next->FolderKeys) {
        auto before = Stored.FolderKeys.find(entry.first);
        bool same = before != Stored.FolderKeys.end() &&
                    std::find(changed.begin(), changed.end(), entry.first) == changed.end();
        entry.second.Print = same ? before->second.Print : PrintOfFolderKey(entry.first);
    }
    next->Product.Valid = !failed.Product;
    next->History.Valid = !failed.History;
    next->Folders.Valid = !failed.Folders;
    for (unsigned number : failed.Folder) {
        auto entry = next->FolderKeys.find(number);
        if (entry != next->FolderKeys.end())
            entry->second.Trusted = false;
    }
    Stored = std::move(*next);
}

} // namespace

void LoadSettings(LayoutRecord* layout)
{
    FinishInterruptedSave();
    Stored = StoreState();
    Keys keys;
    ReadOptions(keys.Product, layout);
    LoadHistory(keys.History);
    LoadFolders(keys.Folders);
    if (FolderCount() == 0)
        CreateFolder("Main", FirstFolderHotKey, 0);
    Stored.Product = PrintOf(keys.Product);
    Stored.History = PrintOf(keys.History);
    Stored.Folders = PrintOf(keys.Folders);
    Stored.Loaded = true;
}

void SaveSettings(const LayoutRecord& layout)
{
    Keys keys;
    ReadWhatChanged(keys);
    ChangeList changes;
    StoreState next;
    SaveOptions(layout, &changes, &next);
    SaveHistory(&changes, &next);
    std::vector<unsigned> changed = SaveFolders(&changes, &next);
    FailedKeys failed = CommitChanges(changes);
    TakeSavedState(keys, &next, changed, failed);
}
