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

// Deletes a key with all its subkeys, children first: a single delete
// leaves a key that has subkeys in place on Windows NT. A child that cannot
// be deleted is stepped over, so that the rest still goes.
bool DeleteKeyTree(HKEY parent, const char* name)
{
    HKEY key;
    LONG opened = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened == ERROR_SUCCESS) {
        DWORD index = 0;
        for (;;) {
            char child[256];
            DWORD size = sizeof child;
            if (RegEnumKeyExA(key, index, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (!DeleteKeyTree(key, child))
                index++;
        }
        RegCloseKey(key);
    }
    return KeyGone(RegDeleteKeyA(parent, name));
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

bool RemoveRegistryEntries()
{
    OpenProgressWindow();
    SetProgressAction("Removing Registry Entries");
    SetProgressItem("Zarn\\Corvanix");
    bool removed = DeleteKeyTree(HKEY_CURRENT_USER, ProductKeyName);
    DeleteKeyIfEmpty(HKEY_CURRENT_USER, MakerKeyName);
    CloseProgressWindow();
    return removed;
}
