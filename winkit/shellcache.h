// What the shell says about files, asked once and kept for the run: the
// icons extracted from files, and the programs the shell associates with
// documents. Asking the shell costs a few milliseconds each time; a folder
// of hundreds of shortcuts to files of one kind asks the same questions
// hundreds of times. Interface thread only; the icon loader's own thread
// (below) touches nothing of the cache: it hands what it made over in a
// slot that the interface thread empties into the cache.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// A shortcut's icon with the shortcut arrow over it, as the pixels of both
// sizes of the item list's images: blue, green, red and alpha (not
// premultiplied) in a DWORD, the top row first.
struct ArrowedPixels {
    DWORD Large[32 * 32];
    DWORD Small[16 * 16];
};

// Icon number `index` of a file (a path without quotes), extracted the
// first time it is asked for; null when the file has no such icon. The
// icon belongs to the cache and is shared: nobody else destroys it.
HICON CachedFileIcon(const char* file, int index);
// Whether CachedFileIcon would answer without asking the shell.
bool KnowsFileIcon(const char* file, int index);

// The program the shell would open the file with (FindExecutable): true,
// with the program's path in `program` (MaxText bytes), when there is one.
// Answers for an existing document are kept by its kind, so that files of
// one kind cost one question.
bool CachedAssociatedProgram(const char* file, char* program);

// The arrow drawn over shortcuts' icons, at both sizes (read at once, not
// kept): needed before any arrowed pixels are made; SetArrowMark keeps the
// first it is given until the cache is cleared.
bool HaveArrowMark();
void SetArrowMark(HICON large, HICON small);

// A shortcut's icon (of the cache, or DefaultIcon) with the arrow over it:
// made once per icon, by the loader for the icons it loaded, here for any
// other; null when the icon cannot be read or the arrow is not set.
const ArrowedPixels* FindArrowedPixels(HICON icon);
const ArrowedPixels* ArrowedPixelsOf(HICON icon);

// Adds images made of arrowed pixels to a pair of image lists (32 and 16
// pixels wide) at once, in the order given: the index of the first, the
// same in both lists; -1, with neither list changed, when either refuses.
int AddArrowedImages(HIMAGELIST large, HIMAGELIST small,
                     const std::vector<const ArrowedPixels*>& images);

// ---------------------------------------------------------------- the loader

// Icon number `Index` of `File`, as CachedFileIcon takes it.
struct IconSource {
    std::string File;
    int Index = 0;
};

// Gives the loader's threads icons to load, in the order wanted, after
// what they have still to load or, with `instead`, instead of it (the icons
// of a folder left, say). They skip what the cache knows or they hold
// already, extract each icon and make its arrowed pixels, and post
// `message` to `notify` when there is something to take (once, until it
// is taken). The threads start on first use and touch neither windows nor
// the cache.
void LoadFileIcons(const std::vector<IconSource>& wanted, bool instead, HWND notify, UINT message);
// Whether the loader has icons still to load, or to hand over.
bool IconLoaderBusy();
// Moves what the loader has made into the cache (an icon the cache came to
// know meanwhile keeps its first answer): the sources taken, as they were
// asked for.
std::vector<IconSource> TakeLoadedIcons();
// Stops the loader's thread, destroying what it made that nobody took.
void StopIconLoader();

// Stops the loader, destroys the cached icons and forgets every answer.
void ClearShellCache();
// Forgets every answer without destroying anything: the icons of an
// earlier run (the tests start the program many times in one process)
// went with it.
void ResetShellCache();
