#include "common/regtree.h"

#include "common/texts.h"

namespace {

bool KeyGone(LONG result)
{
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

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

} // namespace

void DeleteKeyTree(HKEY parent, const char* name, std::string* remaining)
{
    std::string unnamed;
    if (!remaining)
        remaining = &unnamed;
    HKEY key;
    std::string path = std::string("HKEY_CURRENT_USER\\") + name;
    size_t named = remaining->size();
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        DeleteSubkeys(key, path, remaining);
        RegCloseKey(key);
    }
    if (!KeyGone(RegDeleteKeyA(parent, name)) && remaining->size() == named)
        *remaining += path + "\n";
}
