#include "setup/remove.h"

#include <windows.h>

#include <stdio.h>

#include "common/product.h"
#include "common/regtree.h"
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
