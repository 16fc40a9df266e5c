#include "store/registry.h"

#include <stdio.h>
#include <string.h>

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

DWORD ReadDword(HKEY key, const char* name, DWORD fallback)
{
    DWORD value = fallback;
    ReadRaw(key, name, &value, sizeof value);
    return value;
}

DWORD ReadFlag(HKEY key, const char* name, DWORD fallback)
{
    return ReadDword(key, name, fallback) ? 1 : 0;
}

// Reads a text value into a buffer of MaxText bytes; false (and "") when
// it is missing, not a text, or MaxText bytes or longer with its
// terminator.
bool ReadText(HKEY key, const char* name, char* text)
{
    text[0] = 0;
    if (!key)
        return false;
    char buffer[MaxText + 1];
    DWORD type = 0, got = MaxText;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buffer, &got) != ERROR_SUCCESS)
        return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || got >= (DWORD)MaxText)
        return false;
    buffer[got] = 0;
    memcpy(text, buffer, strlen(buffer) + 1);
    return true;
}

void ReadFlagField(HKEY key, const char* name, DWORD* field)
{
    DWORD value;
    if (ReadRaw(key, name, &value, sizeof value))
        *field = value ? 1 : 0;
}

// A saved rectangle is used only if some of it is on the screen: a window
// placed far outside would be out of the user's reach.
bool RectangleOnScreen(const RECT& r)
{
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.right <= screen.left || screen.bottom <= screen.top)
        GetWindowRect(GetDesktopWindow(), &screen);
    RECT visible;
    return IntersectRect(&visible, &r, &screen) != 0;
}

void ReadOptions(HKEY product)
{
    DWORD value;
    if (ReadRaw(product, "Priority", &value, sizeof value))
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
    if (ReadRaw(product, "Window", &window, sizeof window) && RectangleOnScreen(window))
        Settings.Window = window;
    ReadRaw(product, "View", &Settings.View, sizeof Settings.View);
    ReadRaw(product, "ColWidth", Settings.ColWidth, sizeof Settings.ColWidth);
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

void ReadHistory(HKEY history)
{
    for (int n = RunHistorySlots - 1; n >= 0; n--) {
        char name[16], text[MaxText];
        snprintf(name, sizeof name, "%d", n);
        if (!ReadText(history, name, text) || !text[0])
            continue;
        RunHistoryInsert(text);  // a repeat of slot 0 is not inserted
    }
}

void ReadShortcut(HKEY key, Folder* folder, unsigned j, const char* title)
{
    Shortcut* shortcut = AddShortcut(folder);
    if (!shortcut)
        return;
    char name[16], text[MaxText];
    auto valueName = [&](char letter) {
        snprintf(name, sizeof name, "%c%u", letter, j);
        return name;
    };
    shortcut->Title.Set(title);
    ReadText(key, valueName('C'), text);
    shortcut->CommandLine.Set(text);
    ReadText(key, valueName('D'), text);
    shortcut->WorkingDirectory.Set(text);
    ReadText(key, valueName('I'), text);
    shortcut->IconFile.Set(text);
    shortcut->IconIndex = (LONG)ReadDword(key, valueName('X'), 0);
    DWORD show = ReadDword(key, valueName('W'), 0);
    shortcut->ShowState = show <= 2 ? (BYTE)show : 0;
    DWORD priority = ReadDword(key, valueName('P'), 0);
    shortcut->Priority = priority <= (DWORD)PriorityHighest ? priority : (DWORD)PriorityNormal;
    shortcut->SeparateMemory = ReadFlag(key, valueName('V'), 0);
    shortcut->MultipleInstances = ReadFlag(key, valueName('N'), 0);
    shortcut->ContainInFolder = ReadFlag(key, valueName('O'), 1);
    POINT position = {0, 0};
    if (ReadRaw(key, valueName('Z'), &position, sizeof position))
        shortcut->Position = position;
}

void ReadFolders(HKEY folders)
{
    for (unsigned i = 0; i < (unsigned)MaxFolders; i++) {
        char name[16], title[MaxText];
        snprintf(name, sizeof name, "%u", i);
        if (!ReadText(folders, name, title) || !title[0])
            break;
        char path[64];
        snprintf(path, sizeof path, FolderKeyFormat, i);
        HKEY key = Keys::OpenKey(path);
        DWORD hotKey = ReadDword(key, "0", 0) & 0x0007FFFF;
        DWORD listSystem = ReadFlag(key, "1", 0);
        Folder* folder = CreateFolder(title, hotKey, listSystem);
        for (unsigned j = 0; folder && j < (unsigned)MaxShortcutsPerFolder; j++) {
            char shortcutTitle[MaxText];
            snprintf(name, sizeof name, "T%u", j);
            if (!ReadText(key, name, shortcutTitle) || !shortcutTitle[0])
                break;
            ReadShortcut(key, folder, j, shortcutTitle);
        }
        if (key)
            RegCloseKey(key);
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
