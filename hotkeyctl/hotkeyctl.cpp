#include "hotkeyctl/hotkeyctl.h"

#include <string.h>

#include "common/hotkeycode.h"
#include "common/texts.h"

namespace {

const char ClassName[] = "GETKEY";

// Set when any control gains the focus, cleared by any key press in any
// control: while set, the control asks its dialog for every key, Enter and
// Esc included, so that they can be captured too. Tab and Shift+Tab are
// never captured: they move the focus, as in every other control.
bool CaptureArmed = false;

// A run of modifier presses stores the modifiers held without a key; the
// value the run replaced is kept until a key ends the run. Shift+Tab
// begins with such a press: the Tab that follows gives the value back,
// since the user was moving on, not entering a key. Only the control with
// the focus has a run, so one record serves every control.
struct ModifierRunRecord {
    HWND Control;
    HotKeyCode Replaced;
};
ModifierRunRecord ModifierRun = {nullptr, 0};

HotKeyCode ValueOf(HWND control)
{
    return (HotKeyCode)GetWindowLongPtrA(control, GWLP_USERDATA);
}

void StoreValue(HWND control, HotKeyCode value)
{
    SetWindowLongPtrA(control, GWLP_USERDATA, (LONG_PTR)value);
}

bool KeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool InModifierRun(HWND control)
{
    return ModifierRun.Control == control;
}

void EndModifierRun(HWND control)
{
    if (InModifierRun(control))
        ModifierRun.Control = nullptr;
}

void MoveFocusOn(HWND control)
{
    if (InModifierRun(control))
        StoreValue(control, ModifierRun.Replaced);
    EndModifierRun(control);
    CaptureArmed = false;
    SendMessageA(GetParent(control), WM_NEXTDLGCTL, KeyDown(VK_SHIFT), FALSE);
}

bool IsModifierKey(UINT key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

void OnKeyDown(HWND control, UINT key)
{
    if (key == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        MoveFocusOn(control);
        return;
    }
    HotKeyCode value = ValueOf(control);
    if (!IsModifierKey(key))
        EndModifierRun(control);
    else if (!InModifierRun(control))
        ModifierRun = {control, value};
    UINT storedKey = HotKeyVirtualKey(value);
    UINT modifiers = HotKeyModifiers(value);

    if (key == storedKey) {
        key = 0;
        modifiers = 0;
        InvalidateRect(control, nullptr, TRUE);
    }
    auto reevaluate = [&](UINT flag, int modifierKey) {
        if (KeyDown(modifierKey) && key != (UINT)modifierKey)
            modifiers |= flag;
        else
            modifiers &= ~flag;
    };
    reevaluate(HotKeyCtrl, VK_CONTROL);
    reevaluate(HotKeyAlt, VK_MENU);
    reevaluate(HotKeyShift, VK_SHIFT);
    if (IsModifierKey(key))
        key = 0;

    StoreValue(control, MakeHotKeyCode(key, modifiers));
    if (key)
        InvalidateRect(control, nullptr, TRUE);
    CaptureArmed = false;
    if (key)
        SendKeystroke(VK_TAB, 0);
}

// An Alt combination is translated into WM_SYSCHAR, which the dialog takes
// for a mnemonic: Alt+C, captured here, would also press "&Cancel". The
// character is already queued when the key reaches the control.
void DropSystemCharacter(HWND control)
{
    MSG pending;
    while (PeekMessageA(&pending, control, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE | PM_NOYIELD))
        ;
}

void DrawSunkenFrame(HDC dc, const RECT& r)
{
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &r, face);
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ old = SelectObject(dc, shadow);
    // Top and left, outer then inner (the inner one pixel shorter at each end).
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right, r.top);
    MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
    LineTo(dc, r.left + 1, r.top + 1);
    LineTo(dc, r.right - 1, r.top + 1);
    SelectObject(dc, highlight);
    // Bottom and right.
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.right - 1, r.top - 1);
    MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
    LineTo(dc, r.right - 2, r.bottom - 2);
    LineTo(dc, r.right - 2, r.top);
    SelectObject(dc, old);
    DeleteObject(shadow);
    DeleteObject(highlight);
}

void OnPaint(HWND control)
{
    if (!GetUpdateRect(control, nullptr, FALSE))
        return;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT r;
    GetClientRect(control, &r);
    SetBkMode(dc, TRANSPARENT);

    bool focused = GetFocus() == control;
    COLORREF fill = focused ? RGB(0, 0, 255) : RGB(255, 255, 255);
    SetTextColor(dc, focused ? RGB(255, 255, 255) : RGB(0, 0, 0));

    DrawSunkenFrame(dc, r);
    InflateRect(&r, -2, -2);
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);
    DeleteObject(brush);

    char text[MaxText * 2];
    HotKeyText(ValueOf(control), text, sizeof text);
    HGDIOBJ font = (HGDIOBJ)SendMessageA(GetParent(control), WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    InflateRect(&r, -2, 0);
    DrawTextA(dc, text, -1, &r, DT_LEFT | DT_TOP | DT_NOPREFIX);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(control, &paint);
}

LRESULT OnCommand(HWND control, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case GETKEY_SETVALUE:
        EndModifierRun(control);
        StoreValue(control, (HotKeyCode)lParam);
        return (LRESULT)(HotKeyCode)lParam;
    case GETKEY_GETVALUE:
        return (LRESULT)ValueOf(control);
    default:
        return 0;
    }
}

LRESULT CALLBACK HotKeyControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        CaptureArmed = true;
        EndModifierRun(control);
        InvalidateRect(control, nullptr, TRUE);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(control, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        if (CaptureArmed)
            return DLGC_WANTALLKEYS;
        return InModifierRun(control) ? DLGC_WANTCHARS | DLGC_WANTTAB : DLGC_WANTCHARS;
    case WM_KEYDOWN:
        OnKeyDown(control, (UINT)wParam);
        return 0;
    case WM_SYSKEYDOWN:
        DropSystemCharacter(control);
        OnKeyDown(control, (UINT)wParam);
        return 0;
    case WM_COMMAND:
        return OnCommand(control, wParam, lParam);
    case WM_LBUTTONDOWN:
        SetFocus(control);
        return 0;
    case WM_PAINT:
        OnPaint(control);
        return 0;
    default:
        return DefWindowProcA(control, message, wParam, lParam);
    }
}

const char* SpecialKeyName(UINT key)
{
    switch (key) {
    case 0: return "<none>";
    case VK_CLEAR: return "Clear";
    case VK_PAUSE: return "Break";
    case VK_CAPITAL: return "Caps";
    case VK_LWIN: return "Lf Win";
    case VK_RWIN: return "Rt Win";
    case VK_APPS: return "Apps";
    default: return nullptr;
    }
}

bool IsExtendedKey(UINT key)
{
    switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

void SendKey(UINT key, bool down)
{
    keybd_event((BYTE)key, (BYTE)MapVirtualKeyA(key, 0), down ? 0 : KEYEVENTF_KEYUP, 0);
}

} // namespace

bool RegisterHotKeyControlClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HotKeyControlProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = ClassName;
    return RegisterClassA(&wc) != 0;
}

HotKeyCode HotKeyControlValue(HWND dialog, int id)
{
    return (HotKeyCode)SendDlgItemMessageA(dialog, id, WM_COMMAND, GETKEY_GETVALUE, 0);
}

void SetHotKeyControlValue(HWND dialog, int id, HotKeyCode code)
{
    SendDlgItemMessageA(dialog, id, WM_COMMAND, GETKEY_SETVALUE, (LPARAM)code);
}

void HotKeyText(DWORD code, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    UINT modifiers = HotKeyModifiers(code);
    UINT key = HotKeyVirtualKey(code);
    char text[MaxText * 2] = "";
    if (modifiers & HotKeyCtrl)
        strcat(text, "Ctrl+");
    if (modifiers & HotKeyAlt)
        strcat(text, "Alt+");
    if (modifiers & HotKeyShift)
        strcat(text, "Shift+");
    const char* special = SpecialKeyName(key);
    if (special) {
        strcat(text, special);
    } else {
        char name[MaxText] = "";
        LONG scan = (LONG)(MapVirtualKeyA(key, 0) << 16);
        // The navigation keys share their scan codes with the number pad;
        // only the extended bit tells "Home" from "Num 7".
        if (IsExtendedKey(key))
            scan |= 1 << 24;
        GetKeyNameTextA(scan, name, MaxText);
        strcat(text, name);
    }
    lstrcpynA(buffer, text, size);
}

void SendKeystroke(UINT virtualKey, UINT modifiers)
{
    if (!virtualKey)
        return;
    SendKey(VK_CONTROL, (modifiers & HotKeyCtrl) != 0);
    SendKey(VK_MENU, (modifiers & HotKeyAlt) != 0);
    SendKey(VK_SHIFT, (modifiers & HotKeyShift) != 0);
    SendKey(virtualKey, true);
    SendKey(virtualKey, false);
    if (modifiers & HotKeyCtrl)
        SendKey(VK_CONTROL, false);
    if (modifiers & HotKeyAlt)
        SendKey(VK_MENU, false);
    if (modifiers & HotKeyShift)
        SendKey(VK_SHIFT, false);
}
