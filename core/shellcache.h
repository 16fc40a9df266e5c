// What the shell says about files, asked once and kept for the run: the
// icons extracted from files, and the programs the shell associates with
// documents. Asking the shell costs a few milliseconds each time; a folder
// of hundreds of shortcuts to files of one kind asks the same questions
// hundreds of times. Interface thread only.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>

// An icon with the shortcut arrow over it, at both sizes of the item list.
struct ArrowedIcons {
    HICON Large = nullptr;
    HICON Small = nullptr;
};

struct ShellCacheRecord {
    // "path|index" in lower case -> the icon, null when the file has none.
    std::unordered_map<std::string, HICON> Icons;
    // A kind of document (".ext") or a whole path in lower case -> the
    // program that opens it; "" when none does, "*" when it opens itself.
    std::unordered_map<std::string, std::string> Programs;
    // An icon (of the cache, or DefaultIcon) -> the same with the shortcut
    // arrow; made by the item list, destroyed with the cache.
    std::unordered_map<HICON, ArrowedIcons> Arrowed;
};

// Icon number `index` of a file (a path without quotes), extracted the
// first time it is asked for; null when the file has no such icon. The
// icon belongs to the cache and is shared: nobody else destroys it.
HICON CachedFileIcon(const char* file, int index);

// The program the shell would open the file with (FindExecutable): true,
// with the program's path in `program` (MaxText bytes), when there is one.
// Answers for an existing document are kept by its kind, so that files of
// one kind cost one question.
bool CachedAssociatedProgram(const char* file, char* program);

// Destroys the cached icons and forgets every answer.
void ClearShellCache();
