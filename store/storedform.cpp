#include "store/storedform.h"

#include <ctype.h>
#include <stddef.h>
#include <string.h>

#include <algorithm>
#include <type_traits>

#include "common/product.h"
#include "common/version.h"
#include "model/settings.h"

namespace {

const char VersionText[] = CORVANIX_FILE_VERSION_TEXT;
const DWORD MaxToolbarButtons = 64;

// The column widths a load takes; others get their defaults.
const WORD MinColumnWidth = 8;
const WORD MaxColumnWidth = 4096;

DWORD DwordAt(const void* at)
{
    DWORD value;
    memcpy(&value, at, sizeof value);
    return value;
}

void PutDword(void* at, DWORD value)
{
    memcpy(at, &value, sizeof value);
}

DWORD CheckFlag(DWORD stored)
{
    return stored ? 1 : 0;
}

// A priority or view that start-up does not know runs as Normal or shows
// Details; only a missing value gets the default.
DWORD CheckPriority(DWORD stored)
{
    return stored <= (DWORD)PriorityHighest ? stored : (DWORD)PriorityNormal;
}

DWORD CheckView(DWORD stored)
{
    return stored <= 3 ? stored : 3;
}

DWORD CheckHotKey(DWORD stored)
{
    return stored & 0x0007FFFF;
}

DWORD CheckShowState(DWORD stored)
{
    return stored <= 2 ? stored : 0;
}

void TakeFlag(void* field, const void* stored)
{
    PutDword(field, CheckFlag(DwordAt(stored)));
}

void TakePriority(void* field, const void* stored)
{
    PutDword(field, CheckPriority(DwordAt(stored)));
}

void TakeView(void* field, const void* stored)
{
    PutDword(field, CheckView(DwordAt(stored)));
}

void TakeHotKey(void* field, const void* stored)
{
    PutDword(field, CheckHotKey(DwordAt(stored)));
}

// A divider beyond any screen would hide the item list for good.
void TakeDivider(void* field, const void* stored)
{
    if (DwordAt(stored) <= 4096)
        PutDword(field, DwordAt(stored));
}

void TakeColor(void* field, const void* stored)
{
    PutDword(field, DwordAt(stored) & 0x00FFFFFF);
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

// A saved rectangle is used when the window stays within the user's reach
// there: no larger than a window can be dragged to, with enough of its
// title bar on the screen to be taken with the mouse. A maximised window's
// frame overhangs the screen by a few pixels, and is within reach.
bool UsableWindowRectangle(const RECT& r)
{
    LONGLONG width = (LONGLONG)r.right - r.left, height = (LONGLONG)r.bottom - r.top;
    if (width > GetSystemMetrics(SM_CXMAXTRACK) || height > GetSystemMetrics(SM_CYMAXTRACK))
        return false;
    LONG caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    RECT titleBar = {r.left, r.top, r.right, r.top + caption};
    RECT screen = ScreenRectangle(), visible;
    if (!IntersectRect(&visible, &titleBar, &screen))
        return false;
    const LONG grip = 48;  // enough of the title bar to take hold of
    return visible.right - visible.left >= grip &&
           visible.bottom - visible.top >= GetSystemMetrics(SM_CYCAPTION) / 2;
}

void TakeWindow(void* field, const void* stored)
{
    RECT window;
    memcpy(&window, stored, sizeof window);
    if (UsableWindowRectangle(window))
        memcpy(field, &window, sizeof window);
}

// A width of 0 hides its column for good, one beyond any screen hides the
// others: each such width keeps its default.
void TakeColumnWidths(void* field, const void* stored)
{
    WORD* widths = (WORD*)field;
    for (int column = 0; column < 6; column++) {
        WORD width;
        memcpy(&width, (const BYTE*)stored + column * sizeof width, sizeof width);
        if (width >= MinColumnWidth && width <= MaxColumnWidth)
            widths[column] = width;
    }
}

#define SETTING(name) OptionSource::Settings, offsetof(SettingsRecord, name), sizeof(SettingsRecord::name)
#define NO_SETTING(source) source, 0, 0

template <class Owner, auto Member>
DWORD GetNumber(const Owner& owner)
{
    return (DWORD)(owner.*Member);
}

template <class Owner, auto Member>
void PutNumber(Owner& owner, DWORD value)
{
    using Field = std::remove_reference_t<decltype(owner.*Member)>;
    owner.*Member = (Field)value;
}

#define NUMBER_FIELD(Owner, field) nullptr, GetNumber<Owner, &Owner::field>, PutNumber<Owner, &Owner::field>
#define TEXT_FIELD(field) &Shortcut::field, nullptr, nullptr, 0, nullptr

bool IsNumberType(DWORD type)
{
    return type == REG_DWORD || type == REG_BINARY;
}

ValueForm NumberForm(DWORD value)
{
    ValueForm form;
    form.Type = REG_DWORD;
    form.Size = sizeof value;
    memcpy(form.Inline, &value, sizeof value);
    return form;
}

ValueForm TextForm(const char* text)
{
    ValueForm form;
    form.Type = REG_SZ;
    form.Size = (DWORD)strlen(text) + 1;
    form.External = (const BYTE*)text;
    return form;
}

DWORD StoredNumber(DWORD type, const BYTE* data, DWORD size, DWORD fallback, DWORD (*check)(DWORD))
{
    if (!data || size != sizeof(DWORD) || !IsNumberType(type))
        return fallback;
    DWORD value = DwordAt(data);
    return check ? check(value) : value;
}

} // namespace

const OptionValue OptionValues[] = {
    {"Version", REG_SZ, NO_SETTING(OptionSource::Version), false, true, nullptr},
    {"Priority", REG_DWORD, SETTING(Priority), true, true, TakePriority},
    {"Top", REG_DWORD, SETTING(Top), true, true, TakeFlag},
    {"Progman", REG_DWORD, SETTING(Progman), true, true, TakeFlag},
    {"StatusBar", REG_DWORD, SETTING(StatusBar), true, true, TakeFlag},
    {"ToolBar", REG_DWORD, SETTING(ToolBar), true, true, TakeFlag},
    {"Folders", REG_DWORD, SETTING(Folders), true, true, TakeFlag},
    {"TaskBar", REG_DWORD, SETTING(TaskBar), true, true, TakeFlag},
    {"AutoClose", REG_DWORD, SETTING(AutoClose), true, true, TakeFlag},
    {"nViewX", REG_DWORD, SETTING(nViewX), true, true, TakeDivider},
    {"Color", REG_BINARY, SETTING(Color), true, true, TakeColor},
    // The toolbar's arrangement cannot be the customary "Toolbar": value
    // names ignore case, and "ToolBar" holds whether it is shown. One
    // 32-bit command per button from left to right, a separator 0 (or -1).
    {"ToolbarButtons", REG_BINARY, NO_SETTING(OptionSource::ToolbarButtons), true, true, nullptr},
    {HotKeyValueName, REG_DWORD, SETTING(HotKey), true, true, TakeHotKey},
    {"Window", REG_BINARY, SETTING(Window), true, true, TakeWindow},
    {"View", REG_DWORD, SETTING(View), true, true, TakeView},
    {"ColWidth", REG_BINARY, SETTING(ColWidth), true, true, TakeColumnWidths},
    {"AcquireLength", REG_DWORD, SETTING(AcquireLength), true, false, nullptr},
};
const int OptionCount = sizeof OptionValues / sizeof OptionValues[0];

const FolderValue FolderValues[FolderValueCount] = {
    {"0", GetNumber<Folder, &Folder::HotKey>, PutNumber<Folder, &Folder::HotKey>, 0, CheckHotKey},
    {"1", GetNumber<Folder, &Folder::ListSystemTasks>, PutNumber<Folder, &Folder::ListSystemTasks>, 0,
     CheckFlag},
};

const ShortcutValue ShortcutValues[ShortcutValueCount] = {
    {'T', ShortcutValueKind::Text, TEXT_FIELD(Title)},
    {'C', ShortcutValueKind::Text, TEXT_FIELD(CommandLine)},
    {'D', ShortcutValueKind::Text, TEXT_FIELD(WorkingDirectory)},
    {'I', ShortcutValueKind::Text, TEXT_FIELD(IconFile)},
    {'X', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, IconIndex), 0, nullptr},
    {'W', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, ShowState), 0, CheckShowState},
    {'P', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, Priority), 0, CheckPriority},
    {'V', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, SeparateMemory), 0, CheckFlag},
    {'N', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, MultipleInstances), 0, CheckFlag},
    {'O', ShortcutValueKind::Number, NUMBER_FIELD(Shortcut, ContainInFolder), 1, CheckFlag},
    {'Z', ShortcutValueKind::Point, nullptr, nullptr, nullptr, 0, nullptr},
};

uint64_t ValueHash(const char* name, DWORD type, const BYTE* data, DWORD size)
{
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](BYTE byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (const char* c = name; *c; c++)
        add((BYTE)toupper((unsigned char)*c));
    add(0);
    for (int i = 0; i < 4; i++)
        add((BYTE)(type >> (8 * i)));
    for (int i = 0; i < 4; i++)
        add((BYTE)(size >> (8 * i)));
    add(data ? 1 : 0);
    for (DWORD i = 0; data && i < size; i++)
        add(data[i]);
    return hash ? hash : 1;
}

uint64_t FormHash(const char* name, const ValueForm& form)
{
    return ValueHash(name, form.Type, form.Data(), form.Size);
}

ValueForm OptionForm(const OptionValue& option, const LayoutRecord& layout)
{
    ValueForm form;
    form.Type = option.Type;
    switch (option.Source) {
    case OptionSource::Version:
        form.External = (const BYTE*)VersionText;
        form.Size = sizeof VersionText;
        break;
    case OptionSource::ToolbarButtons:
        static_assert(sizeof(int) == sizeof(LONG), "one 32-bit command per button");
        form.External = (const BYTE*)layout.ToolbarButtons.data();
        form.Size = (DWORD)(std::min(layout.ToolbarButtons.size(), (size_t)MaxToolbarButtons) *
                            sizeof(LONG));
        break;
    case OptionSource::Settings:
        form.External = (const BYTE*)&Settings + option.Offset;
        form.Size = option.Size;
        break;
    }
    return form;
}

void TakeOption(const OptionValue& option, DWORD type, const BYTE* data, DWORD size,
                LayoutRecord* layout)
{
    if (!option.Loaded)
        return;
    if (option.Source == OptionSource::ToolbarButtons) {
        layout->ToolbarButtons.clear();
        layout->ToolbarStored = data && type == REG_BINARY && size % sizeof(LONG) == 0 &&
                                size / sizeof(LONG) <= MaxToolbarButtons;
        for (DWORD at = 0; layout->ToolbarStored && at < size; at += sizeof(LONG)) {
            LONG command = (LONG)DwordAt(data + at);
            layout->ToolbarButtons.push_back(command == -1 ? 0 : (int)command);
        }
        return;
    }
    if (!data || size != option.Size || !IsNumberType(type))
        return;
    void* field = (BYTE*)&Settings + option.Offset;
    if (option.Take)
        option.Take(field, data);
    else
        memcpy(field, data, size);
}

int ShortcutValueIndex(char letter)
{
    for (int i = 0; i < ShortcutValueCount; i++)
        if (ShortcutValues[i].Letter == toupper((unsigned char)letter))
            return i;
    return -1;
}

ValueForm FolderForm(const FolderValue& value, const Folder& folder)
{
    return NumberForm(value.Get(folder));
}

ValueForm ShortcutForm(const ShortcutValue& value, const Shortcut& shortcut)
{
    switch (value.Kind) {
    case ShortcutValueKind::Text: return TextForm((shortcut.*value.Text).Get());
    case ShortcutValueKind::Number: return NumberForm(value.Get(shortcut));
    default: {
        ValueForm form;
        form.Type = REG_BINARY;
        LONG position[2] = {shortcut.Position.x, shortcut.Position.y};
        form.Size = sizeof position;
        memcpy(form.Inline, position, sizeof position);
        return form;
    }
    }
}

uint64_t ShortcutValueHash(int index, DWORD type, const BYTE* data, DWORD size)
{
    char name[2] = {ShortcutValues[index].Letter, 0};
    return ValueHash(name, type, data, size);
}

uint64_t ShortcutHash(const Shortcut& shortcut)
{
    uint64_t hash = 0;
    for (int i = 0; i < ShortcutValueCount; i++) {
        ValueForm form = ShortcutForm(ShortcutValues[i], shortcut);
        hash += ShortcutValueHash(i, form.Type, form.Data(), form.Size);
    }
    return hash;
}

void TakeFolderValue(const FolderValue& value, Folder* folder, DWORD type, const BYTE* data,
                     DWORD size)
{
    value.Put(*folder, StoredNumber(type, data, size, value.Default, value.Check));
}

void TakeShortcutValue(const ShortcutValue& value, Shortcut* shortcut, DWORD type,
                       const BYTE* data, DWORD size)
{
    switch (value.Kind) {
    case ShortcutValueKind::Text: {
        char text[MaxText];
        if (!data || !ReadStoredText(type, data, size, text))
            text[0] = 0;
        (shortcut->*value.Text).Set(text);
        break;
    }
    case ShortcutValueKind::Number:
        value.Put(*shortcut, StoredNumber(type, data, size, value.Default, value.Check));
        break;
    case ShortcutValueKind::Point: {
        LONG position[2] = {0, 0};
        if (data && size == sizeof position && IsNumberType(type))
            memcpy(position, data, sizeof position);
        shortcut->Position = POINT{position[0], position[1]};
        break;
    }
    }
}

bool ReadStoredText(DWORD type, const BYTE* data, DWORD size, char* text)
{
    text[0] = 0;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    DWORD length = size;
    if (length > 0 && data[length - 1] == 0)
        length--;
    if (length + 1 >= (DWORD)MaxText)
        return false;
    memcpy(text, data, length);
    text[length] = 0;
    return true;
}
