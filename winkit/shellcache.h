// What the shell says about files, asked once and kept for the run: the
// icons extracted from files, and the programs the shell associates with
// documents. Asking the shell costs a few milliseconds each time; a folder
// of hundreds of shortcuts to files of one kind asks the same questions
// hundreds of times. Interface thread only.
#pragma once
#include <windows.h>


// An icon with the shortcut arrow over it, at both sizes of the item list.
struct ArrowedIcons {
    HICON Large = nullptr;
    HICON Small = nullptr;
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

// A shortcut's icon with the arrow over it, made by the item list once per
// icon (of the cache, or DefaultIcon) and kept here: null when not made
// yet. Keeping takes the made icons over; they go with the cache.
const ArrowedIcons* FindArrowedIcons(HICON icon);
const ArrowedIcons& KeepArrowedIcons(HICON icon, const ArrowedIcons& made);

// Destroys the cached icons and forgets every answer.
void ClearShellCache();
// Forgets every answer without destroying anything: the icons of an
// earlier run (the tests start the program many times in one process)
// went with it.
void ResetShellCache();
