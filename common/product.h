// What the installer and the main program both know of the product: where
// it keeps its settings, how the running program is found (common/messages.h
// has how it is asked to end), and the files it is made of.
#pragma once
#include <windows.h>

// Under HKEY_CURRENT_USER: the maker's key and the product's key below it,
// and below that the Run history, the folder list (each folder's values in
// the subkey named by its position, FoldersKeyName + "\\" + position), the
// journal of a save under way and the record of put-away windows. Every
// path is spelled here alone.
#define CORVANIX_MAKER_KEY "Software\\Zarn"
#define CORVANIX_PRODUCT_KEY CORVANIX_MAKER_KEY "\\Corvanix"
const char MakerKeyName[] = CORVANIX_MAKER_KEY;
const char ProductKeyName[] = CORVANIX_PRODUCT_KEY;
const char HistoryKeyName[] = CORVANIX_PRODUCT_KEY "\\History";
const char FoldersKeyName[] = CORVANIX_PRODUCT_KEY "\\Folders";
const char JournalKeyName[] = CORVANIX_PRODUCT_KEY "\\Journal";
const char PutAwayKeyName[] = CORVANIX_PRODUCT_KEY "\\PutAway";
// The product key's value that the installer writes: the global hot key.
const char HotKeyValueName[] = "HotKey";

// The main window's class: a running Corvanix is found by it.
const char MainWindowClass[] = "Corvanix";

// The installed files.
const char ProgramFileName[] = "Corvanix.exe";
const char HelpFileName[] = "Corvanix.hlp";
