// A key combination as both programs store it.
#pragma once
#include <windows.h>

// Low word the virtual-key code, high word the modifier flags exactly as
// RegisterHotKey takes them (1 Alt, 2 Ctrl, 4 Shift). 0 means no hot key.
typedef DWORD HotKeyCode;

const DWORD HotKeyAlt = 1;
const DWORD HotKeyCtrl = 2;
const DWORD HotKeyShift = 4;

inline UINT HotKeyModifiers(HotKeyCode code) { return HIWORD(code); }
inline UINT HotKeyVirtualKey(HotKeyCode code) { return LOWORD(code); }
inline HotKeyCode MakeHotKeyCode(UINT virtualKey, UINT modifiers)
{
    return (HotKeyCode)((modifiers & 0xFFFF) << 16 | (virtualKey & 0xFFFF));
}

// A combination of modifiers without a key (the capture control can hold
// one) cannot be pressed: it counts as no hot key.
inline HotKeyCode UsableHotKey(HotKeyCode code)
{
    return HotKeyVirtualKey(code) ? code : 0;
}
