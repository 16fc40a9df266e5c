// Reading and writing the registry of the test's prefix under
// HKEY_CURRENT_USER, by path (the paths of common/product.h) or through an
// open key. A value that is missing reads as "<missing>" or 0xDEADBEEF.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Deletes HKCU\Software\Zarn and everything below it.
void CleanRegistry();
// Sets HKCU\Software\Wine\AppDefaults\<exe>\Version ("win95", "nt351", ...);
// an empty version removes it.
void SetWineVersionFor(const char* exeName, const char* version);

// Opens the key, made when missing; null when it cannot be.
HKEY CreateKey(const std::string& path);
bool KeyExists(const std::string& path);
std::vector<std::string> SubKeys(const std::string& path);
// The key of the folder stored at a number: FoldersKeyName\<number>.
std::string FolderKey(int number);

// Each true when the key could be made or opened.
bool PutText(const std::string& path, const std::string& name, const std::string& text);
bool PutDword(const std::string& path, const std::string& name, DWORD value);
bool PutBinary(const std::string& path, const std::string& name, const void* data, DWORD size);
void PutText(HKEY key, const std::string& name, const std::string& text);
void PutDword(HKEY key, const std::string& name, DWORD value);

bool GetValue(const std::string& path, const std::string& name, std::vector<BYTE>* data,
              DWORD* type = nullptr);
std::string GetText(const std::string& path, const std::string& name);
std::string GetText(HKEY key, const std::string& name);
DWORD GetDword(const std::string& path, const std::string& name);

// A value of the product key: whether it exists, and a DWORD's value.
bool ProductValueExists(const char* name);
DWORD ProductDword(const char* name);

// Stores a folder title at a number and makes its key, as a registry
// edited by hand would hold it, with a hot key when one is given; true
// when both keys could be made.
bool PutFolder(int number, const char* title);
bool PutFolder(int number, const char* title, DWORD hotKey);
