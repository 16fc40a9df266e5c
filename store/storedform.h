// The stored form of the options, of a folder and of a shortcut: one
// description of each value (its name, its field, its type, its default
// and the check a stored value passes) drives both the load and the save,
// so that the two cannot disagree about a value.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "model/model.h"
#include "store/registry.h"

// A value as the registry holds it. Small values live in the form itself,
// texts and lists where the field keeps them.
struct ValueForm {
    DWORD Type = REG_NONE;
    DWORD Size = 0;
    const BYTE* External = nullptr;
    BYTE Inline[8] = {};

    const BYTE* Data() const { return External ? External : Inline; }
};

// What a stored value is known by: a hash of its name, type and bytes,
// never 0 (0 stands for a value that is not there). `data` null stands for
// a value that is there but was too long to read.
uint64_t ValueHash(const char* name, DWORD type, const BYTE* data, DWORD size);
uint64_t FormHash(const char* name, const ValueForm& form);

// ---------------------------------------------------------------- options

// Where an option's stored value comes from.
enum class OptionSource { Settings, Version, ToolbarButtons };

struct OptionValue {
    const char* Name;
    DWORD Type;               // REG_DWORD, REG_BINARY or REG_SZ
    OptionSource Source;
    size_t Offset;            // of its field in SettingsRecord
    DWORD Size;               // of the field, and so of the stored value
    bool Loaded;
    bool Saved;
    // Makes the field of a stored value of the right type and size; null
    // takes it as stored. A value that fails the check leaves the default.
    void (*Take)(void* field, const void* stored);
};

// The values of the product key, in the order a save writes them.
extern const OptionValue OptionValues[];
extern const int OptionCount;

// The form a save writes.
ValueForm OptionForm(const OptionValue& option, const LayoutRecord& layout);
// Takes a stored value (null: missing or unreadable) into the settings or
// the layout record.
void TakeOption(const OptionValue& option, DWORD type, const BYTE* data, DWORD size,
                LayoutRecord* layout);

// ---------------------------------------------------------------- folders and shortcuts

// A folder's own values in its key, named "0" and "1".
struct FolderValue {
    const char* Name;
    DWORD (*Get)(const Folder&);
    void (*Put)(Folder&, DWORD);
    DWORD Default;
    DWORD (*Check)(DWORD stored);
};
const int FolderValueCount = 2;
extern const FolderValue FolderValues[FolderValueCount];

enum class ShortcutValueKind { Text, Number, Point };

// A shortcut's values, named by a letter and the shortcut's number.
struct ShortcutValue {
    char Letter;
    ShortcutValueKind Kind;
    // A text's field; a number's field through Get and Put; the point is
    // the position.
    OwnedText Shortcut::*Text;
    DWORD (*Get)(const Shortcut&);
    void (*Put)(Shortcut&, DWORD);
    DWORD Default;
    DWORD (*Check)(DWORD stored);
};
const int ShortcutValueCount = 11;
extern const ShortcutValue ShortcutValues[ShortcutValueCount];
// The letter of titles, whose value makes a shortcut.
const int TitleValue = 0;
// Every value of a shortcut, as bits by place in ShortcutValues.
const uint16_t AllShortcutValues = (1 << ShortcutValueCount) - 1;

// The place of a value's letter in ShortcutValues (either case), -1 for
// none.
int ShortcutValueIndex(char letter);

ValueForm FolderForm(const FolderValue& value, const Folder& folder);
ValueForm ShortcutForm(const ShortcutValue& value, const Shortcut& shortcut);
// The sum of the hashes of a shortcut's values, each under its letter: the
// shortcut as a save writes it.
uint64_t ShortcutHash(const Shortcut& shortcut);
// A value's hash within a shortcut: under its letter alone, so that it does
// not depend on the shortcut's number.
uint64_t ShortcutValueHash(int index, DWORD type, const BYTE* data, DWORD size);

// Takes a stored value (null: missing or unreadable) into the field.
void TakeFolderValue(const FolderValue& value, Folder* folder, DWORD type, const BYTE* data,
                     DWORD size);
void TakeShortcutValue(const ShortcutValue& value, Shortcut* shortcut, DWORD type,
                       const BYTE* data, DWORD size);
// Whether a stored title can be read: a text shorter than MaxText bytes
// with its terminator. Then `text` holds it.
bool ReadStoredText(DWORD type, const BYTE* data, DWORD size, char* text);
