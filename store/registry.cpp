#include "store/registry.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>

#include "common/product.h"
#include "common/version.h"
#include "core/settings.h"
#include "model/model.h"

namespace {

const char* const ProductKey = ProductKeyName;
const char* const MakerKey = MakerKeyName;
const char HistoryKey[] = "Software\\Zarn\\Corvanix\\History";
const char FoldersKey[] = "Software\\Zarn\\Corvanix\\Folders";
const char FolderKeyFormat[] = "Software\\Zarn\\Corvanix\\Folders\\%u";

// The toolbar's button arrangement has a value of its own, apart from the
// visibility flag "ToolBar": registry value names ignore case, so the
// customary "Toolbar" would overwrite the flag. It holds one 32-bit command
// per button, as the toolbar's own save writes it, a separator being 0 or
// -1.
const char ToolbarValue[] = "ToolbarButtons";
const DWORD MaxToolbarButtons = 64;

const char VersionText[] = CORVANIX_FILE_VERSION_TEXT;

// The column widths a load takes; others get their defaults.
const WORD MinColumnWidth = 8;
const WORD MaxColumnWidth = 4096;


// The four keys a load or save works on.
struct Keys {
    HKEY Product = nullptr;
    HKEY Maker = nullptr;
    HKEY History = nullptr;
    HKEY Folders = nullptr;

    Keys()
    {
        Product = OpenKey(ProductKey);
        Maker = OpenKey(MakerKey);
        History = OpenKey(HistoryKey);
        Folders = OpenKey(FoldersKey);
    }
    ~Keys()
    {
        for (HKEY key : {Product, Maker, History, Folders})
            if (key)
                RegCloseKey(key);
    }
    Keys(const Keys&) = delete;
    Keys& operator=(const Keys&) = delete;

    // Opens a key of the current user, creating it when missing. The key
    // gets the default security of the user's hive.
    static HKEY OpenKey(const char* name)
    {
        HKEY key = nullptr;
        char keyClass[] = "REG_SZ";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, keyClass, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }
};

// ---------------------------------------------------------------- reading

// Reads a value of exactly the field's size; a value that is missing, of
// another size or a text leaves the field as it was.
bool ReadRaw(HKEY key, const char* name, void* field, DWORD size)
{
    if (!key)
        return false;
    BYTE buffer[64];
    DWORD type = 0, got = sizeof buffer;
    if (size > sizeof buffer ||
        RegQueryValueExA(key, name, nullptr, &type, buffer, &got) != ERROR_SUCCESS)
        return false;
    if (got != size || (type != REG_DWORD && type != REG_BINARY))
        return false;
    memcpy(field, buffer, size);
    return true;
}

void ReadFlagField(HKEY key, const char* name, DWORD* field)
{
    DWORD value;
    if (ReadRaw(key, name, &value, sizeof value))
        *field = value ? 1 : 0;
}

// The screen: all monitors together, or the desktop where the system
// does not say.
RECT ScreenRectangle()
{
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.right <= screen.left || screen.bottom <= screen.top)
        GetWindowRect(GetDesktopWindow(), &screen);
    return screen;
}

// A saved rectangle is used only when the window can be used there: of a
// size between the smallest a window can have and a few screens, with its
// title bar on the screen far enough to be taken with the mouse. A window
// put far outside, or shrunk to nothing, would be out of the user's reach.
bool UsableWindowRectangle(const RECT& r)
{
    RECT screen = ScreenRectangle();
    LONGLONG width = (LONGLONG)r.right - r.left, height = (LONGLONG)r.bottom - r.top;
    LONGLONG screenWidth = screen.right - screen.left, screenHeight = screen.bottom - screen.top;
    LONG minWidth = GetSystemMetrics(SM_CXMINTRACK), minHeight = GetSystemMetrics(SM_CYMINTRACK);
    if (width < (minWidth > 100 ? minWidth : 100) || height < (minHeight > 40 ? minHeight : 40) ||
        width > 4 * screenWidth || height > 4 * screenHeight)
        return false;
    LONG caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    RECT titleBar = {r.left, r.top, r.right, r.top + caption};
    RECT visible;
    if (!IntersectRect(&visible, &titleBar, &screen))
        return false;
    const LONG grip = 48;  // enough of the title bar to take hold of
    return r.top >= screen.top && r.top <= screen.bottom - caption &&
           visible.right - visible.left >= grip;
}

void ReadOptions(HKEY product)
{
    DWORD value;
    if (ReadRaw(product, "Priority", &value, sizeof value) && value <= PriorityHighest)
        Settings.Priority = value;
    ReadFlagField(product, "Top", &Settings.Top);
    ReadFlagField(product, "Progman", &Settings.Progman);
    ReadFlagField(product, "StatusBar", &Settings.StatusBar);
    ReadFlagField(product, "ToolBar", &Settings.ToolBar);
    ReadFlagField(product, "Folders", &Settings.Folders);
    ReadFlagField(product, "TaskBar", &Settings.TaskBar);
    ReadFlagField(product, "AutoClose", &Settings.AutoClose);
    // A divider beyond any screen would hide the item list for good.
    if (ReadRaw(product, "nViewX", &value, sizeof value) && value <= 4096)
        Settings.nViewX = value;
    if (ReadRaw(product, "Color", &value, sizeof value))
        Settings.Color = value & 0x00FFFFFF;
    ReadRaw(product, "AcquireLength", &Settings.AcquireLength, sizeof Settings.AcquireLength);
}

void ReadLayout(HKEY product)
{
    DWORD value;
    if (ReadRaw(product, HotKeyValueName, &value, sizeof value))
        Settings.HotKey = value & 0x0007FFFF;
    RECT window;
    if (ReadRaw(product, "Window", &window, sizeof window) && UsableWindowRectangle(window))
        Settings.Window = window;
    if (ReadRaw(product, "View", &value, sizeof value) && value <= 3)
        Settings.View = value;
    // A width of 0 hides its column for good, one beyond any screen hides
    // the others: each such width gets its default.
    WORD widths[6];
    if (ReadRaw(product, "ColWidth", widths, sizeof widths))
        for (int column = 0; column < 6; column++)
            if (widths[column] >= MinColumnWidth && widths[column] <= MaxColumnWidth)
                Settings.ColWidth[column] = widths[column];
}

void ReadToolbarButtons(HKEY product, LayoutRecord* layout)
{
    layout->ToolbarButtons.clear();
    if (!product)
        return;
    LONG buttons[MaxToolbarButtons];
    DWORD type = 0, size = sizeof buttons;
    if (RegQueryValueExA(product, ToolbarValue, nullptr, &type, (BYTE*)buttons, &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY || size % sizeof(LONG) != 0)
        return;
    for (DWORD i = 0; i < size / sizeof(LONG); i++)
        layout->ToolbarButtons.push_back(buttons[i] == -1 ? 0 : (int)buttons[i]);
}

void WriteToolbarButtons(HKEY product, const LayoutRecord& layout)
{
    if (!product)
        return;
    std::vector<LONG> buttons(layout.ToolbarButtons.begin(), layout.ToolbarButtons.end());
    if (buttons.size() > MaxToolbarButtons)
        buttons.resize(MaxToolbarButtons);
    LONG none = 0;
    RegSetValueExA(product, ToolbarValue, 0, REG_BINARY,
                   buttons.empty() ? (const BYTE*)&none : (const BYTE*)buttons.data(),
                   (DWORD)(buttons.size() * sizeof(LONG)));
}

// Every value of a key, read in one walk: name -> type and bytes. A value
// too long for a text buffer is there with Fits false, so that it counts
// as present but unreadable.
struct StoredValue {
    DWORD Type = 0;
    bool Fits = false;
    std::vector<BYTE> Data;
};
using StoredValues = std::map<std::string, StoredValue>;

StoredValues ReadAllValues(HKEY key)
{
    StoredValues values;
    if (!key)
        return values;
    for (DWORD i = 0;; i++) {
        char name[MaxText];
        BYTE data[MaxText];
        DWORD nameLength = sizeof name, type = 0, size = sizeof data;
        LONG result = RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_MORE_DATA) {
            // The name or the data is too long: the name alone tells which.
            nameLength = sizeof name;
            if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, nullptr) !=
                ERROR_SUCCESS)
                continue;  // a name too long for us is no name of ours
        } else if (result != ERROR_SUCCESS) {
            continue;
        }
        StoredValue& value = values[std::string(name, nameLength)];
        value.Type = type;
        value.Fits = result == ERROR_SUCCESS;
        if (value.Fits)
            value.Data.assign(data, data + size);
    }
    return values;
}

// A text: a text value shorter than MaxText bytes with its terminator.
bool StoredText(const StoredValues& values, const std::string& name, char* text)
{
    text[0] = 0;
    auto found = values.find(name);
    if (found == values.end())
        return false;
    const StoredValue& value = found->second;
    if (!value.Fits || (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ))
        return false;
    size_t length = value.Data.size();
    if (length > 0 && value.Data[length - 1] == 0)
        length--;
    if (length + 1 >= (size_t)MaxText)
        return false;
    memcpy(text, value.Data.data(), length);
    text[length] = 0;
    return true;
}

bool StoredRaw(const StoredValues& values, const std::string& name, void* field, DWORD size)
{
    auto found = values.find(name);
    if (found == values.end())
        return false;
    const StoredValue& value = found->second;
    if (!value.Fits || value.Data.size() != size ||
        (value.Type != REG_DWORD && value.Type != REG_BINARY))
        return false;
    memcpy(field, value.Data.data(), size);
    return true;
}

DWORD StoredDword(const StoredValues& values, const std::string& name, DWORD fallback)
{
    DWORD value = fallback;
    StoredRaw(values, name, &value, sizeof value);
    return value;
}

void ReadHistory(HKEY history)
{
    StoredValues values = ReadAllValues(history);
    for (int n = RunHistorySlots - 1; n >= 0; n--) {
        char text[MaxText];
        if (!StoredText(values, std::to_string(n), text) || !text[0])
            continue;
        RunHistoryInsert(text);  // a repeat of slot 0 is not inserted
    }
}

// The numbers n of the values named prefix + n (n written as a plain
// decimal number, as the save writes it), in ascending order. Gaps in the
// numbering are no end: every number found is there.
std::vector<unsigned> NumberedValues(const StoredValues& values, const char* prefix)
{
    std::vector<unsigned> numbers;
    size_t skip = strlen(prefix);
    for (const auto& value : values) {
        const std::string& name = value.first;
        if (name.size() <= skip || name.size() > skip + 9 || name.compare(0, skip, prefix) != 0)
            continue;
        const char* digits = name.c_str() + skip;
        if (strspn(digits, "0123456789") != strlen(digits) || (digits[0] == '0' && digits[1]))
            continue;
        numbers.push_back((unsigned)strtoul(digits, nullptr, 10));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string NumberedName(char letter, unsigned n)
{
    char name[16];
    snprintf(name, sizeof name, "%c%u", letter, n);
    return name;
}

void ReadShortcut(const StoredValues& values, Folder* folder, unsigned j, const char* title)
{
    Shortcut* shortcut = AddShortcut(folder);
    if (!shortcut)
        return;
    char text[MaxText];
    shortcut->Title.Set(title);
    StoredText(values, NumberedName('C', j), text);
    shortcut->CommandLine.Set(text);
    StoredText(values, NumberedName('D', j), text);
    shortcut->WorkingDirectory.Set(text);
    StoredText(values, NumberedName('I', j), text);
    shortcut->IconFile.Set(text);
    shortcut->IconIndex = (LONG)StoredDword(values, NumberedName('X', j), 0);
    DWORD show = StoredDword(values, NumberedName('W', j), 0);
    shortcut->ShowState = show <= 2 ? (BYTE)show : 0;
    DWORD priority = StoredDword(values, NumberedName('P', j), 0);
    shortcut->Priority = priority <= (DWORD)PriorityHighest ? priority : (DWORD)PriorityNormal;
    shortcut->SeparateMemory = StoredDword(values, NumberedName('V', j), 0) ? 1 : 0;
    shortcut->MultipleInstances = StoredDword(values, NumberedName('N', j), 0) ? 1 : 0;
    shortcut->ContainInFolder = StoredDword(values, NumberedName('O', j), 1) ? 1 : 0;
    POINT position = {0, 0};
    if (StoredRaw(values, NumberedName('Z', j), &position, sizeof position))
        shortcut->Position = position;
}

// Every folder whose title can be read, in the order of their numbers,
// with every shortcut whose title can be read. A gap in the numbers, or a
// folder or shortcut that cannot be read, is passed over; an empty title
// is a title. More than the program makes (MaxFolders,
// MaxShortcutsPerFolder) is read too: a save then keeps it.
void ReadFolders(HKEY folders)
{
    StoredValues titles = ReadAllValues(folders);
    for (unsigned i : NumberedValues(titles, "")) {
        char title[MaxText];
        if (!StoredText(titles, std::to_string(i), title))
            continue;
        char path[64];
        snprintf(path, sizeof path, FolderKeyFormat, i);
        HKEY key = Keys::OpenKey(path);
        StoredValues values = ReadAllValues(key);
        if (key)
            RegCloseKey(key);
        DWORD hotKey = StoredDword(values, "0", 0) & 0x0007FFFF;
        DWORD listSystem = StoredDword(values, "1", 0) ? 1 : 0;
        Folder* folder = CreateFolder(title, hotKey, listSystem);
        if (!folder)
            continue;
        for (unsigned j : NumberedValues(values, "T")) {
            char shortcutTitle[MaxText];
            if (StoredText(values, NumberedName('T', j), shortcutTitle))
                ReadShortcut(values, folder, j, shortcutTitle);
        }
    }
}

// ---------------------------------------------------------------- writing

void WriteDword(HKEY key, const char* name, DWORD value)
{
    if (key)
        RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

void WriteBinary(HKEY key, const char* name, const void* data, DWORD size)
{
    if (key)
        RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE*)data, size);
}

void WriteText(HKEY key, const char* name, const char* text)
{
    if (key)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

// Deletes a key with everything below it.
void DeleteTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[MaxText];
        while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) {
            DeleteTree(key, child);
            HKEY left;
            if (RegOpenKeyExA(key, child, 0, KEY_READ, &left) == ERROR_SUCCESS) {
                RegCloseKey(left);  // it would not go: do not try forever
                break;
            }
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(parent, name);
}

void WriteFolder(HKEY folders, unsigned i, const Folder* folder)
{
    char name[16];
    snprintf(name, sizeof name, "%u", i);
    WriteText(folders, name, folder->Title.Get());
    char path[64];
    snprintf(path, sizeof path, FolderKeyFormat, i);
    HKEY key = Keys::OpenKey(path);
    if (!key)
        return;
    WriteDword(key, "0", folder->HotKey);
    WriteDword(key, "1", folder->ListSystemTasks);
    unsigned j = 0;
    for (const Shortcut* s = folder->First; s; s = s->Next, j++) {
        auto valueName = [&](char letter) {
            snprintf(name, sizeof name, "%c%u", letter, j);
            return name;
        };
        WriteText(key, valueName('T'), s->Title.Get());
        WriteText(key, valueName('C'), s->CommandLine.Get());
        WriteText(key, valueName('D'), s->WorkingDirectory.Get());
        WriteText(key, valueName('I'), s->IconFile.Get());
        WriteDword(key, valueName('X'), (DWORD)s->IconIndex);
        WriteDword(key, valueName('W'), s->ShowState);
        WriteDword(key, valueName('P'), s->Priority);
        WriteDword(key, valueName('V'), s->SeparateMemory);
        WriteDword(key, valueName('N'), s->MultipleInstances);
        WriteDword(key, valueName('O'), s->ContainInFolder);
        LONG position[2] = {s->Position.x, s->Position.y};
        WriteBinary(key, valueName('Z'), position, sizeof position);
    }
    RegCloseKey(key);
}

} // namespace

void LoadSettings(LayoutRecord* layout)
{
    Keys keys;
    ReadOptions(keys.Product);
    ReadToolbarButtons(keys.Product, layout);
    ReadLayout(keys.Product);
    ReadHistory(keys.History);
    ReadFolders(keys.Folders);
    if (FolderCount() == 0)
        CreateFolder("Main", FirstFolderHotKey, 0);
}

void SaveSettings(const LayoutRecord& layout)
{
    Keys keys;

    // Every folder is written afresh: no subkey of a deleted folder stays.
    if (keys.Folders) {
        RegCloseKey(keys.Folders);
        keys.Folders = nullptr;
    }
    if (keys.Product)
        DeleteTree(keys.Product, "Folders");
    keys.Folders = Keys::OpenKey(FoldersKey);

    HKEY product = keys.Product;
    if (product)
        RegSetValueExA(product, "Version", 0, REG_SZ, (const BYTE*)VersionText, sizeof VersionText);
    WriteDword(product, "Priority", Settings.Priority);
    WriteDword(product, "Top", Settings.Top);
    WriteDword(product, "Progman", Settings.Progman);
    WriteDword(product, "StatusBar", Settings.StatusBar);
    WriteDword(product, "ToolBar", Settings.ToolBar);
    WriteDword(product, "Folders", Settings.Folders);
    WriteDword(product, "TaskBar", Settings.TaskBar);
    WriteDword(product, "AutoClose", Settings.AutoClose);
    WriteDword(product, "nViewX", Settings.nViewX);
    WriteBinary(product, "Color", &Settings.Color, sizeof Settings.Color);
    WriteToolbarButtons(product, layout);
    WriteDword(product, HotKeyValueName, Settings.HotKey);
    LONG window[4] = {Settings.Window.left, Settings.Window.top, Settings.Window.right,
                      Settings.Window.bottom};
    WriteBinary(product, "Window", window, sizeof window);
    WriteDword(product, "View", Settings.View);
    WriteBinary(product, "ColWidth", Settings.ColWidth, sizeof Settings.ColWidth);

    for (int n = 0; n < RunHistorySlots; n++) {
        const char* text = RunHistoryText(n);
        if (!text[0])
            continue;
        char name[16];
        snprintf(name, sizeof name, "%d", n);
        WriteText(keys.History, name, text);
    }

    for (int i = 0; i < FolderCount(); i++) {
        const Folder* folder = FolderAt(i);
        if (folder)
            WriteFolder(keys.Folders, (unsigned)i, folder);
    }
}
