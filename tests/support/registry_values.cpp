#include "registry_values.h"

#include <shlwapi.h>

#include "common/product.h"
#include "common/texts.h"

void CleanRegistry()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, MakerKeyName);
}

void SetWineVersionFor(const char* exeName, const char* version)
{
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!version || !version[0]) {
        SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    PutText(key, "Version", version);
}

HKEY CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        key = nullptr;
    return key;
}

bool KeyExists(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> SubKeys(const std::string& path)
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[MaxText];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; i++)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

std::string FolderKey(int number)
{
    return std::string(FoldersKeyName) + "\\" + std::to_string(number);
}

void PutText(HKEY key, const std::string& name, const std::string& text)
{
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(), (DWORD)text.size() + 1);
}

void PutDword(HKEY key, const std::string& name, DWORD value)
{
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

namespace {

bool PutValue(const std::string& path, const std::string& name, DWORD type, const void* data,
              DWORD size)
{
    HKEY key = CreateKey(path);
    if (!key)
        return false;
    RegSetValueExA(key, name.c_str(), 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return true;
}

} // namespace

bool PutText(const std::string& path, const std::string& name, const std::string& text)
{
    return PutValue(path, name, REG_SZ, text.c_str(), (DWORD)text.size() + 1);
}

bool PutDword(const std::string& path, const std::string& name, DWORD value)
{
    return PutValue(path, name, REG_DWORD, &value, sizeof value);
}

bool PutBinary(const std::string& path, const std::string& name, const void* data, DWORD size)
{
    return PutValue(path, name, REG_BINARY, data, size);
}

bool GetValue(const std::string& path, const std::string& name, std::vector<BYTE>* data,
              DWORD* type)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0, kind = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &kind, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->resize(size);
        result = RegQueryValueExA(key, name.c_str(), nullptr, &kind, data->data(), &size);
    }
    RegCloseKey(key);
    if (type)
        *type = kind;
    return result == ERROR_SUCCESS;
}

std::string GetText(const std::string& path, const std::string& name)
{
    std::vector<BYTE> data;
    if (!GetValue(path, name, &data) || data.empty())
        return "<missing>";
    return std::string((const char*)data.data());
}

std::string GetText(HKEY key, const std::string& name)
{
    char text[MaxText] = "";
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, (BYTE*)text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

DWORD GetDword(const std::string& path, const std::string& name)
{
    std::vector<BYTE> data;
    DWORD value = 0xDEADBEEF;
    if (GetValue(path, name, &data) && data.size() == 4)
        memcpy(&value, data.data(), 4);
    return value;
}

bool ProductValueExists(const char* name)
{
    std::vector<BYTE> data;
    return GetValue(ProductKeyName, name, &data);
}

DWORD ProductDword(const char* name)
{
    return GetDword(ProductKeyName, name);
}

bool PutFolder(int number, const char* title)
{
    HKEY folder = CreateKey(FolderKey(number));
    if (!folder)
        return false;
    RegCloseKey(folder);
    return PutText(FoldersKeyName, std::to_string(number), title);
}

bool PutFolder(int number, const char* title, DWORD hotKey)
{
    return PutFolder(number, title) && PutDword(FolderKey(number), "0", hotKey);
}
