// A save that cannot be cut in half. The changes a save makes to the
// stored layout are first written whole into the journal key
// (JournalKeyName, beside the layout), which is then marked complete with
// one last value; only then are they made in the layout itself, and the
// journal is deleted. However the program is stopped, the next start finds
// either no journal or an incomplete one (the layout is still the whole
// old state: the journal goes) or a complete one (its changes are made
// again, which finishes whatever part of them was made, and the journal
// goes). Each change sets or deletes something to an end that does not
// depend on what was there, so making one twice is making it once: a start
// that is itself stopped while it finishes a journal leaves it for the
// next start to finish.
//
// The journal key holds the subkeys "0", "1", ..., each with one value
// "Part" (REG_BINARY, at most JournalPartSize bytes: Windows 95 keeps at
// most about 16 KB in one value and 64 KB in one key; earlier versions
// kept the parts as values "0", "1", ... of the journal key itself, which
// are read too): the save's serial number (64 bits), the part's own number
// (32 bits), a hash of the rest (64 bits), then the changes, each
//   what: 1 sets a value, 2 deletes a value, 3 deletes a folder's key
//         with everything below it (8 bits);
//   the key: 1 the product key, 2 History, 3 Folders, 4 a folder's key,
//         followed then by the folder's number (32 bits) (8 bits);
//   for 1 and 2, the value's name: its length (8 bits) and its text;
//   for 1, the value's type (32 bits), its length (32 bits) and its bytes.
// Last comes the value "Complete" of the journal key: the serial number
// and how many parts there are. Every number is little-endian. A journal can name no key but
// these.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

const DWORD JournalPartSize = 16000;

// The keys of the layout that a change may touch.
enum class LayoutKey : BYTE { Product = 1, History = 2, Folders = 3, Folder = 4 };

// The changes of one save, in the order they are to be made.
class ChangeList {
public:
    // `folder` is the folder's number where the key is LayoutKey::Folder.
    void SetValue(LayoutKey key, unsigned folder, const char* name, DWORD type, const BYTE* data,
                  DWORD size);
    void DeleteValue(LayoutKey key, unsigned folder, const char* name);
    void DeleteFolderKey(unsigned folder);

    bool Empty() const { return count_ == 0; }
    size_t Count() const { return count_; }
    const std::vector<std::string>& Parts() const { return parts_; }

private:
    std::string& Record(size_t length);

    std::vector<std::string> parts_;
    size_t count_ = 0;
};

// The keys where a change could not be made.
struct FailedKeys {
    bool Product = false;
    bool History = false;
    bool Folders = false;
    std::vector<unsigned> Folder;
};

// Writes the journal, makes the changes and deletes the journal.
FailedKeys CommitChanges(const ChangeList& changes);

// Run before a load: the changes of a complete journal are made, and any
// journal is deleted.
void FinishInterruptedSave();
