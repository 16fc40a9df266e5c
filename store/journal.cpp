#include "store/journal.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "common/product.h"
#include "common/regtree.h"
#include "common/texts.h"
#include "store/numbers.h"

namespace {

const char CompleteValue[] = "Complete";
// Serial number, the part's number, the hash of its changes.
const size_t PartHead = 8 + 4 + 8;
// More parts than the largest layout needs many times over.
const DWORD MaxParts = 1 << 20;

enum ChangeKind : BYTE { SetKind = 1, DeleteValueKind = 2, DeleteKeyKind = 3 };

uint64_t Hash64(const BYTE* data, size_t size)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; i++)
        hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

// The head of a change to a value: its kind, its key (a folder's key with
// the folder's number) and its name.
void PutValueHead(std::string& part, ChangeKind kind, LayoutKey key, unsigned folder,
                  const char* name, size_t nameLength)
{
    part.push_back((char)kind);
    part.push_back((char)key);
    if (key == LayoutKey::Folder)
        PutNumber(part, folder, 4);
    part.push_back((char)nameLength);
    part.append(name, nameLength);
}

struct Change {
    BYTE Kind = 0;
    LayoutKey Key = LayoutKey::Product;
    unsigned Folder = 0;
    char Name[256] = "";
    DWORD Type = 0;
    const BYTE* Data = nullptr;
    DWORD Size = 0;
};

// Reads the changes of a part one by one; every length is checked against
// the part, so that a journal edited by hand is refused, not followed.
class ChangeReader {
public:
    ChangeReader(const std::string& part) : at_((const BYTE*)part.data()), end_(at_ + part.size()) {}

    // False at the end of the part and at a fault.
    bool Next(Change* change)
    {
        if (at_ == end_)
            return false;
        if (!Take(1))
            return Fail();
        change->Kind = at_[-1];
        if (!Take(1))
            return Fail();
        BYTE key = at_[-1];
        if (key < (BYTE)LayoutKey::Product || key > (BYTE)LayoutKey::Folder)
            return Fail();
        change->Key = (LayoutKey)key;
        if (change->Key == LayoutKey::Folder) {
            if (!Take(4))
                return Fail();
            change->Folder = (unsigned)GetNumber(at_ - 4, 4);
        }
        if (change->Kind == DeleteKeyKind)
            return change->Key == LayoutKey::Folder || Fail();
        if (change->Kind != SetKind && change->Kind != DeleteValueKind)
            return Fail();
        if (!Take(1))
            return Fail();
        BYTE length = at_[-1];
        if (length == 0 || !Take(length) || memchr(at_ - length, 0, length))
            return Fail();
        memcpy(change->Name, at_ - length, length);
        change->Name[length] = 0;
        if (change->Kind == DeleteValueKind)
            return true;
        if (!Take(8))
            return Fail();
        change->Type = (DWORD)GetNumber(at_ - 8, 4);
        change->Size = (DWORD)GetNumber(at_ - 4, 4);
        if (!Take(change->Size))
            return Fail();
        change->Data = at_ - change->Size;
        return true;
    }
    bool Faulty() const { return faulty_; }

private:
    bool Take(size_t bytes)
    {
        if ((size_t)(end_ - at_) < bytes)
            return false;
        at_ += bytes;
        return true;
    }
    bool Fail()
    {
        faulty_ = true;
        at_ = end_;
        return false;
    }

    const BYTE* at_;
    const BYTE* end_;
    bool faulty_ = false;
};

std::string KeyPath(LayoutKey key, unsigned folder)
{
    switch (key) {
    case LayoutKey::Product: return ProductKeyName;
    case LayoutKey::History: return HistoryKeyName;
    case LayoutKey::Folders: return FoldersKeyName;
    default: return std::string(FoldersKeyName) + "\\" + std::to_string(folder);
    }
}

// The key of the last change, kept open for the changes after it: a save
// makes its changes key by key.
class OpenLayoutKey {
public:
    ~OpenLayoutKey() { Close(); }
    HKEY Get(LayoutKey key, unsigned folder)
    {
        if (handle_ && key == key_ && folder == folder_)
            return handle_;
        Close();
        char keyClass[] = "REG_SZ";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(key, folder).c_str(), 0, keyClass,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle_,
                            nullptr) != ERROR_SUCCESS)
            handle_ = nullptr;
        key_ = key;
        folder_ = folder;
        return handle_;
    }
    void Close()
    {
        if (handle_)
            RegCloseKey(handle_);
        handle_ = nullptr;
    }

private:
    HKEY handle_ = nullptr;
    LayoutKey key_ = LayoutKey::Product;
    unsigned folder_ = 0;
};

bool KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool MakeChange(const Change& change, OpenLayoutKey* open)
{
    if (change.Kind == DeleteKeyKind) {
        open->Close();
        std::string path = KeyPath(LayoutKey::Folder, change.Folder);
        DeleteKeyTree(HKEY_CURRENT_USER, path.c_str());
        return !KeyExists(path.c_str());
    }
    HKEY key = open->Get(change.Key, change.Folder);
    if (!key)
        return false;
    if (change.Kind == SetKind)
        return RegSetValueExA(key, change.Name, 0, change.Type, change.Data, change.Size) ==
               ERROR_SUCCESS;
    LONG result = RegDeleteValueA(key, change.Name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void NoteFailure(const Change& change, FailedKeys* failed)
{
    switch (change.Key) {
    case LayoutKey::Product: failed->Product = true; break;
    case LayoutKey::History: failed->History = true; break;
    case LayoutKey::Folders: failed->Folders = true; break;
    default:
        if (failed->Folder.empty() || failed->Folder.back() != change.Folder)
            failed->Folder.push_back(change.Folder);
        break;
    }
}

FailedKeys MakeChanges(const std::vector<std::string>& parts)
{
    FailedKeys failed;
    OpenLayoutKey open;
    for (const std::string& part : parts) {
        ChangeReader reader(part);
        Change change;
        while (reader.Next(&change))
            if (!MakeChange(change, &open))
                NoteFailure(change, &failed);
    }
    return failed;
}

bool WellFormed(const std::string& part)
{
    ChangeReader reader(part);
    Change change;
    while (reader.Next(&change)) {
    }
    return !reader.Faulty();
}

std::string PartName(DWORD number)
{
    return std::to_string(number);
}

// Each part lies in a subkey of its own, under this value: Windows 95 keeps
// at most 64 KB of values in one key.
const char PartValue[] = "Part";

bool WritePart(HKEY journal, DWORD number, const std::string& value)
{
    HKEY key = nullptr;
    char keyClass[] = "REG_SZ";
    if (RegCreateKeyExA(journal, PartName(number).c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool written = RegSetValueExA(key, PartValue, 0, REG_BINARY, (const BYTE*)value.data(),
                                  (DWORD)value.size()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

// A part from its subkey, or from a value of the journal key itself, where
// the journals of earlier versions keep them.
LONG ReadPart(HKEY journal, DWORD number, std::vector<BYTE>* buffer, DWORD* type, DWORD* size)
{
    std::string name = PartName(number);
    HKEY key = nullptr;
    if (RegOpenKeyExA(journal, name.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
        name = PartValue;
    else
        key = nullptr;
    HKEY from = key ? key : journal;
    *size = (DWORD)buffer->size();
    LONG result = RegQueryValueExA(from, name.c_str(), nullptr, type, buffer->data(), size);
    if (result == ERROR_MORE_DATA) {
        // A part that holds one change larger than a part.
        buffer->resize(*size);
        result = RegQueryValueExA(from, name.c_str(), nullptr, type, buffer->data(), size);
    }
    if (key)
        RegCloseKey(key);
    return result;
}

// The mark of completion goes first: a journal stopped while it is
// deleted is an incomplete one.
void DeleteJournal()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, JournalKeyName, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, CompleteValue);
    RegCloseKey(key);
    DeleteKeyTree(HKEY_CURRENT_USER, JournalKeyName);
}

uint64_t NewSerial()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return ((uint64_t)GetTickCount() << 32) ^ (uint64_t)counter.QuadPart ^
           ((uint64_t)GetCurrentProcessId() << 16);
}

// True when every part and the mark of completion are written.
bool WriteJournal(const std::vector<std::string>& parts)
{
    HKEY key = nullptr;
    char keyClass[] = "REG_SZ";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, JournalKeyName, 0, keyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    uint64_t serial = NewSerial();
    bool written = true;
    std::string value;
    for (DWORD i = 0; i < parts.size() && written; i++) {
        value.clear();
        PutNumber(value, serial, 8);
        PutNumber(value, i, 4);
        PutNumber(value, Hash64((const BYTE*)parts[i].data(), parts[i].size()), 8);
        value += parts[i];
        written = WritePart(key, i, value);
    }
    if (written) {
        value.clear();
        PutNumber(value, serial, 8);
        PutNumber(value, parts.size(), 4);
        written = RegSetValueExA(key, CompleteValue, 0, REG_BINARY, (const BYTE*)value.data(),
                                 (DWORD)value.size()) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return written;
}

// The parts of a complete, well-formed journal; false for anything else.
bool ReadJournal(HKEY key, std::vector<std::string>* parts)
{
    BYTE complete[12];
    DWORD type = 0, size = sizeof complete;
    if (RegQueryValueExA(key, CompleteValue, nullptr, &type, complete, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof complete)
        return false;
    uint64_t serial = GetNumber(complete, 8);
    DWORD count = (DWORD)GetNumber(complete + 8, 4);
    if (count > MaxParts)
        return false;
    std::vector<BYTE> buffer(JournalPartSize);
    for (DWORD i = 0; i < count; i++) {
        LONG result = ReadPart(key, i, &buffer, &type, &size);
        if (result != ERROR_SUCCESS || type != REG_BINARY || size < PartHead)
            return false;
        const BYTE* data = buffer.data();
        if (GetNumber(data, 8) != serial || GetNumber(data + 8, 4) != i ||
            GetNumber(data + 12, 8) != Hash64(data + PartHead, size - PartHead))
            return false;
        parts->emplace_back((const char*)data + PartHead, size - PartHead);
        if (!WellFormed(parts->back()))
            return false;
    }
    return true;
}

} // namespace

std::string& ChangeList::Record(size_t length)
{
    if (parts_.empty() || parts_.back().size() + length > JournalPartSize - PartHead) {
        parts_.emplace_back();
        parts_.back().reserve(JournalPartSize - PartHead);
    }
    count_++;
    return parts_.back();
}

void ChangeList::SetValue(LayoutKey key, unsigned folder, const char* name, DWORD type,
                          const BYTE* data, DWORD size)
{
    size_t nameLength = strnlen(name, 255);
    std::string& part = Record(1 + 1 + 4 + 1 + nameLength + 8 + size);
    PutValueHead(part, SetKind, key, folder, name, nameLength);
    PutNumber(part, type, 4);
    PutNumber(part, size, 4);
    part.append((const char*)data, size);
}

void ChangeList::DeleteValue(LayoutKey key, unsigned folder, const char* name)
{
    size_t nameLength = strnlen(name, 255);
    std::string& part = Record(1 + 1 + 4 + 1 + nameLength);
    PutValueHead(part, DeleteValueKind, key, folder, name, nameLength);
}

void ChangeList::DeleteFolderKey(unsigned folder)
{
    std::string& part = Record(1 + 1 + 4);
    part.push_back((char)DeleteKeyKind);
    part.push_back((char)LayoutKey::Folder);
    PutNumber(part, folder, 4);
}

FailedKeys CommitChanges(const ChangeList& changes)
{
    if (changes.Empty())
        return FailedKeys();
    DeleteJournal();
    // Where no journal can be written the changes are still made: the
    // save is then not proof against a cut, but it is not lost either.
    WriteJournal(changes.Parts());
    FailedKeys failed = MakeChanges(changes.Parts());
    DeleteJournal();
    return failed;
}

void FinishInterruptedSave()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, JournalKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> parts;
    bool complete = ReadJournal(key, &parts);
    RegCloseKey(key);
    if (complete)
        MakeChanges(parts);
    DeleteJournal();
}
