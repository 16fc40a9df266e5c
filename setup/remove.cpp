#include "setup/remove.h"

#include <windows.h>

#include <stdio.h>

#include "common/product.h"
#include "setup/progman.h"
#include "setup/progress.h"
#include "setup/setupstate.h"

namespace {

// A file that is not there counts as removed.
void RemoveFile(const char* name, std::string* remaining)
{
    char path[MaxText * 2];
    snprintf(path, sizeof path, "%s%s", SetupState.SystemDir, name);
    SetProgressItem(path);
    if (!DeleteFileA(path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        *remaining += path;
        *remaining += "\n";
    }
}

bool KeyGone(LONG result)
{
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// Deletes the subkeys of an open key, children first: a single delete
// leaves a key that has subkeys in place on Windows NT. A subkey that
// cannot be opened or deleted is stepped over, so that the rest still
// goes, and named in remaining (full names, one a line) unless something
// beneath it is named already. A name with characters outside the ANSI
// code page comes back from the enumeration with those characters
// replaced, and opens nothing.
void DeleteSubkeys(HKEY key, const std::string& path, std::string* remaining)
{
    DWORD index = 0;
    for (;;) {
        char child[MaxText * 2];
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key, index, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string childPath = path + "\\" + child;
        size_t named = remaining->size();
        HKEY subkey;
        if (RegOpenKeyExA(key, child, 0, KEY_ALL_ACCESS, &subkey) == ERROR_SUCCESS) {
            DeleteSubkeys(subkey, childPath, remaining);
            RegCloseKey(subkey);
            if (RegDeleteKeyA(key, child) == ERROR_SUCCESS)
                continue;
        }
        if (remaining->size() == named)
            *remaining += childPath + "\n";
        index++;
    }
}

// The product key with everything under it.
void DeleteKeyTree(HKEY parent, const char* name, std::string* remaining)
{
    HKEY key;
    std::string path = std::string("HKEY_CURRENT_USER\\") + name;
    size_t named = remaining->size();
    LONG opened = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_SUCCESS) {
        DeleteSubkeys(key, path, remaining);
        RegCloseKey(key);
    }
    if (!KeyGone(RegDeleteKeyA(parent, name)) && remaining->size() == named)
        *remaining += path + "\n";
}

// The maker key may hold other products of the same maker: it goes only
// when it has neither subkeys nor values.
void DeleteKeyIfEmpty(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 1, values = 1;
    LONG queried = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                    nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (queried == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyA(parent, name);
}

} // namespace

std::string RemoveFiles()
{
    std::string remaining;
    OpenProgressWindow();
    SetProgressAction("Removing Files:");
    RemoveFile(ProgramFileName, &remaining);
    RemoveFile(HelpFileName, &remaining);
    SetProgressAction("Removing Program Manager Groups");
    SetProgressItem("");
    ProgmanConnect("PROGMAN", "PROGMAN");
    ProgmanExecute("[DeleteGroup(Corvanix)]");
    ProgmanExecute("[ShowGroup(Startup,2,0)]");
    ProgmanExecute("[DeleteItem(Corvanix)]");
    ProgmanDisconnect();
    CloseProgressWindow();
    return remaining;
}

std::string RemoveRegistryEntries()
{
    std::string remaining;
    OpenProgressWindow();
    SetProgressAction("Removing Registry Entries");
    SetProgressItem("Zarn\\Corvanix");
    DeleteKeyTree(HKEY_CURRENT_USER, ProductKeyName, &remaining);
    DeleteKeyIfEmpty(HKEY_CURRENT_USER, MakerKeyName);
    CloseProgressWindow();
    return remaining;
}
