#include "winkit/shellcache.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <unordered_map>

#include "common/texts.h"

namespace {

// "path|index" in lower case -> the icon, null when the file has none.
std::unordered_map<std::string, HICON> Icons;
// A kind of document (".ext") or a whole path in lower case -> the program
// that opens it; "" when none does, "*" when it opens itself.
std::unordered_map<std::string, std::string> Programs;
// An icon -> the same with the shortcut arrow.
std::unordered_map<HICON, ArrowedIcons> Arrowed;

// The extension of the file name (after the last backslash), with its
// dot, in lower case; "" when there is none.
std::string ExtensionOf(const std::string& lowerPath)
{
    size_t name = lowerPath.find_last_of("\\/:");
    size_t dot = lowerPath.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name) ||
        dot + 1 == lowerPath.size())
        return "";
    return lowerPath.substr(dot);
}

// The key an answer is kept under: an existing document by its kind, any
// other existing file or folder by its path. Names that do not exist are
// not kept: the answer may change when the file comes.
std::string ProgramKey(const char* file)
{
    DWORD attributes = GetFileAttributesA(file);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "";
    std::string lower = LowerCase(file);
    std::string extension = ExtensionOf(lower);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && !extension.empty())
        return extension;
    return "=" + lower;
}

// Whether the shell's answer names the file itself (a program opens
// itself), in whichever form of its path.
bool SameFile(const char* found, const char* file)
{
    if (lstrcmpiA(found, file) == 0)
        return true;
    char shortFound[MaxText], shortFile[MaxText];
    DWORD a = GetShortPathNameA(found, shortFound, MaxText);
    DWORD b = GetShortPathNameA(file, shortFile, MaxText);
    return a > 0 && a < (DWORD)MaxText && b > 0 && b < (DWORD)MaxText &&
           lstrcmpiA(shortFound, shortFile) == 0;
}

} // namespace

HICON CachedFileIcon(const char* file, int index)
{
    char key[MaxText + 16];
    snprintf(key, sizeof key, "%s|%d", LowerCase(file).c_str(), index);
    auto known = Icons.find(key);
    if (known != Icons.end())
        return known->second;
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file, (UINT)index);
    // ExtractIcon answers 0 for no icon and 1 for a file that holds none.
    if ((UINT_PTR)icon <= 1)
        icon = nullptr;
    Icons[key] = icon;
    return icon;
}

bool CachedAssociatedProgram(const char* file, char* program)
{
    program[0] = 0;
    if (!file || !file[0])
        return false;
    std::string key = ProgramKey(file);
    auto known = key.empty() ? Programs.end() : Programs.find(key);
    if (known == Programs.end()) {
        char found[MAX_PATH] = "";
        std::string answer;
        if ((INT_PTR)FindExecutableA(file, "", found) > 32 && found[0])
            answer = SameFile(found, file) ? "*" : found;
        if (key.empty()) {
            lstrcpynA(program, answer == "*" ? file : answer.c_str(), MaxText);
            return program[0] != 0;
        }
        known = Programs.emplace(key, answer).first;
    }
    const std::string& answer = known->second;
    lstrcpynA(program, answer == "*" ? file : answer.c_str(), MaxText);
    return program[0] != 0;
}

void ClearShellCache()
{
    for (auto& entry : Icons)
        if (entry.second)
            DestroyIcon(entry.second);
    Icons.clear();
    for (auto& entry : Arrowed)
        for (HICON icon : {entry.second.Large, entry.second.Small})
            if (icon)
                DestroyIcon(icon);
    Arrowed.clear();
    Programs.clear();
}

const ArrowedIcons* FindArrowedIcons(HICON icon)
{
    auto known = Arrowed.find(icon);
    return known != Arrowed.end() ? &known->second : nullptr;
}

const ArrowedIcons& KeepArrowedIcons(HICON icon, const ArrowedIcons& made)
{
    return Arrowed.emplace(icon, made).first->second;
}

void ResetShellCache()
{
    Icons.clear();
    Programs.clear();
    Arrowed.clear();
}
