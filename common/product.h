// What the installer and the main program both know of the product: where
// it keeps its settings, how the running program is found and asked to
// end, and the files it is made of.
#pragma once
#include <windows.h>

// Under HKEY_CURRENT_USER: the maker's key and the product's key below it.
const char MakerKeyName[] = "Software\\Zarn";
const char ProductKeyName[] = "Software\\Zarn\\Corvanix";
// The product key's value that the installer writes: the global hot key.
const char HotKeyValueName[] = "HotKey";

// The main window's class: a running Corvanix is found by it.
const char MainWindowClass[] = "Corvanix";
// Sent by the installer before it replaces the program: end at once.
const UINT WM_QUITNOW = WM_USER + 102;  // 1126

// The installed files.
const char ProgramFileName[] = "Corvanix.exe";
const char HelpFileName[] = "Corvanix.hlp";
