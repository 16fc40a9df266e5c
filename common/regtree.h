// Deleting a registry key with everything below it, as both programs do:
// the main program's journal, and the installer's removal.
#pragma once
#include <windows.h>

#include <string>

// Deletes the key `name` of `parent` with its subkeys, children first: a
// single delete leaves a key that has subkeys in place on Windows NT. A
// subkey that cannot be opened or deleted is stepped over, so that the
// rest still goes; when `remaining` is given, each key that stays is named
// in it (its full name from HKEY_CURRENT_USER, one a line) unless
// something beneath it is named already. A name with characters outside
// the ANSI code page comes back from the enumeration with those characters
// replaced, and opens nothing.
void DeleteKeyTree(HKEY parent, const char* name, std::string* remaining = nullptr);
