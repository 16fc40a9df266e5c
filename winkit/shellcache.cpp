#include "winkit/shellcache.h"

#include <shellapi.h>
#include <string.h>

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>

#include "common/texts.h"

namespace {

// "path|index" in lower case -> the icon, null when the file has none.
std::unordered_map<std::string, HICON> Icons;
// A kind of document (".ext") or a whole path in lower case -> the program
// that opens it; "" when none does, "*" when it opens itself.
std::unordered_map<std::string, std::string> Programs;
// An icon -> the same with the shortcut arrow; the arrow itself.
std::unordered_map<HICON, std::unique_ptr<ArrowedPixels>> Arrowed;
std::unique_ptr<ArrowedPixels> ArrowMark;

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

std::string IconKey(const std::string& file, int index)
{
    return LowerCase(file.c_str()) + "|" + std::to_string(index);
}

// ExtractIcon answers 0 for no icon and 1 for a file that holds none. Any
// thread.
HICON ExtractFileIcon(const char* file, int index)
{
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file, (UINT)index);
    return (UINT_PTR)icon <= 1 ? nullptr : icon;
}

} // namespace

HICON CachedFileIcon(const char* file, int index)
{
    std::string key = IconKey(file, index);
    auto known = Icons.find(key);
    if (known != Icons.end())
        return known->second;
    HICON icon = ExtractFileIcon(file, index);
    Icons[key] = icon;
    return icon;
}

bool KnowsFileIcon(const char* file, int index)
{
    return Icons.count(IconKey(file, index)) != 0;
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

// ================================================================ arrowed pixels

namespace {

// The form of 32-bit pixels, the top row first.
BITMAPINFO TopDownPixels(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap's pixels as 32-bit colour, the top row first: false when the
// system cannot read them. Any thread (the dc is the caller's).
bool ReadPixels(HDC dc, HBITMAP bitmap, int width, int height, DWORD* pixels)
{
    BITMAPINFO info = TopDownPixels(width, height);
    return GetDIBits(dc, bitmap, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS) == height;
}

// An icon's own pixels, alpha set: its own alpha when it has one, else
// opaque where its mask is clear. A monochrome icon keeps both halves in
// its mask (and above, colour below); pixels that would invert the screen
// are left out.
bool IconPixels(HDC dc, HICON icon, std::vector<DWORD>* pixels, int* width, int* height)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    int w = mask.bmWidth, h = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    std::vector<DWORD> andBits((size_t)w * mask.bmHeight), colour;
    bool read = w > 0 && h > 0 && ReadPixels(dc, info.hbmMask, w, mask.bmHeight, andBits.data());
    if (read && info.hbmColor) {
        colour.resize((size_t)w * h);
        read = ReadPixels(dc, info.hbmColor, w, h, colour.data());
    } else if (read) {
        colour.assign(andBits.begin() + (ptrdiff_t)w * h, andBits.end());
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (!read)
        return false;
    bool ownAlpha = false;
    for (DWORD pixel : colour)
        ownAlpha = ownAlpha || (pixel >> 24) != 0;
    if (!ownAlpha)
        for (size_t i = 0; i < colour.size(); i++)
            colour[i] = (andBits[i] & 0xFFFFFF) ? 0 : (colour[i] | 0xFF000000);
    pixels->swap(colour);
    *width = w;
    *height = h;
    return true;
}

// Pixels scaled to size x size, each the mean of the pixels it covers,
// weighed by their alpha.
void ScalePixels(const std::vector<DWORD>& from, int width, int height, int size, DWORD* to)
{
    for (int y = 0; y < size; y++) {
        int top = y * height / size, bottom = (y + 1) * height / size;
        bottom = bottom > top ? bottom : top + 1;
        for (int x = 0; x < size; x++) {
            int left = x * width / size, right = (x + 1) * width / size;
            right = right > left ? right : left + 1;
            unsigned alpha = 0, count = 0, blue = 0, green = 0, red = 0;
            for (int sy = top; sy < bottom; sy++)
                for (int sx = left; sx < right; sx++) {
                    DWORD pixel = from[(size_t)sy * width + sx];
                    unsigned a = pixel >> 24;
                    alpha += a;
                    blue += (pixel & 0xFF) * a;
                    green += ((pixel >> 8) & 0xFF) * a;
                    red += ((pixel >> 16) & 0xFF) * a;
                    count++;
                }
            to[y * size + x] = alpha ? (alpha / count) << 24 | (red / alpha) << 16 |
                                           (green / alpha) << 8 | (blue / alpha)
                                     : 0;
        }
    }
}

// The mark over the base, pixel by pixel ("over", not premultiplied).
void DrawOver(DWORD* base, const DWORD* mark, int count)
{
    for (int i = 0; i < count; i++) {
        unsigned top = mark[i] >> 24, below = base[i] >> 24;
        if (!top)
            continue;
        unsigned under = below * (255 - top) / 255, alpha = top + under;
        DWORD mixed = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            unsigned a = (mark[i] >> shift) & 0xFF, b = (base[i] >> shift) & 0xFF;
            mixed |= ((a * top + b * under) / alpha) << shift;
        }
        base[i] = mixed;
    }
}

// An icon at both sizes with the mark over it; false when the icon cannot
// be read. Any thread: it touches nothing but its arguments (the dc is the
// calling thread's).
bool MakeArrowedPixels(HDC dc, HICON icon, const ArrowedPixels* mark, ArrowedPixels* made)
{
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (!IconPixels(dc, icon, &pixels, &width, &height))
        return false;
    ScalePixels(pixels, width, height, 32, made->Large);
    ScalePixels(pixels, width, height, 16, made->Small);
    if (mark) {
        DrawOver(made->Large, mark->Large, 32 * 32);
        DrawOver(made->Small, mark->Small, 16 * 16);
    }
    return true;
}

// A strip of images side by side, and its mask (set where transparent).
struct Strip {
    HBITMAP Colour = nullptr;
    HBITMAP Mask = nullptr;
    ~Strip()
    {
        if (Colour)
            DeleteObject(Colour);
        if (Mask)
            DeleteObject(Mask);
    }
};

bool MakeStrip(const std::vector<const ArrowedPixels*>& images, bool large, Strip* strip)
{
    int size = large ? 32 : 16, width = size * (int)images.size();
    BITMAPINFO info = TopDownPixels(width, size);
    void* bits = nullptr;
    strip->Colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!strip->Colour || !bits)
        return false;
    // A monochrome bitmap's rows are whole 16-bit words: width is a
    // multiple of 16.
    int stride = width / 8;
    std::vector<BYTE> maskBits((size_t)stride * size, 0);
    DWORD* colour = (DWORD*)bits;
    for (size_t n = 0; n < images.size(); n++) {
        const DWORD* pixels = large ? images[n]->Large : images[n]->Small;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                DWORD pixel = pixels[y * size + x];
                int column = (int)n * size + x;
                colour[(size_t)y * width + column] = pixel;
                if (!(pixel >> 24))
                    maskBits[(size_t)y * stride + column / 8] |= (BYTE)(0x80 >> (column % 8));
            }
    }
    strip->Mask = CreateBitmap(width, size, 1, 1, maskBits.data());
    return strip->Mask != nullptr;
}

} // namespace

bool HaveArrowMark()
{
    return ArrowMark != nullptr;
}

void SetArrowMark(HICON large, HICON small)
{
    if (ArrowMark)
        return;
    std::unique_ptr<ArrowedPixels> mark(new ArrowedPixels);
    ArrowedPixels smallMark;
    HDC dc = CreateCompatibleDC(nullptr);
    if (MakeArrowedPixels(dc, large, nullptr, mark.get()) &&
        MakeArrowedPixels(dc, small, nullptr, &smallMark)) {
        memcpy(mark->Small, smallMark.Small, sizeof mark->Small);
        ArrowMark = std::move(mark);
    }
    DeleteDC(dc);
}

const ArrowedPixels* FindArrowedPixels(HICON icon)
{
    auto known = Arrowed.find(icon);
    return known != Arrowed.end() ? known->second.get() : nullptr;
}

const ArrowedPixels* ArrowedPixelsOf(HICON icon)
{
    if (const ArrowedPixels* known = FindArrowedPixels(icon))
        return known;
    std::unique_ptr<ArrowedPixels> made(new ArrowedPixels);
    HDC dc = icon && ArrowMark ? CreateCompatibleDC(nullptr) : nullptr;
    bool done = dc && MakeArrowedPixels(dc, icon, ArrowMark.get(), made.get());
    if (dc)
        DeleteDC(dc);
    return done ? (Arrowed[icon] = std::move(made)).get() : nullptr;
}

int AddArrowedImages(HIMAGELIST large, HIMAGELIST small,
                     const std::vector<const ArrowedPixels*>& images)
{
    if (images.empty())
        return -1;
    Strip largeStrip, smallStrip;
    if (!MakeStrip(images, true, &largeStrip) || !MakeStrip(images, false, &smallStrip))
        return -1;
    int before = ImageList_GetImageCount(large);
    int inLarge = ImageList_Add(large, largeStrip.Colour, largeStrip.Mask);
    int inSmall = ImageList_Add(small, smallStrip.Colour, smallStrip.Mask);
    if (inLarge >= 0 && inLarge == inSmall && ImageList_GetImageCount(large) == before + (int)images.size())
        return inLarge;
    // Either list refused: both go back to what they held.
    while (ImageList_GetImageCount(large) > before)
        ImageList_Remove(large, ImageList_GetImageCount(large) - 1);
    while (ImageList_GetImageCount(small) > before)
        ImageList_Remove(small, ImageList_GetImageCount(small) - 1);
    return -1;
}

// ================================================================ the loader

namespace {

struct LoadedIcon {
    IconSource Source;
    HICON Icon = nullptr;
    std::unique_ptr<ArrowedPixels> Pixels;  // null when the icon could not be read
};

// What the interface thread and the loader's thread share, under Lock:
// what is still to load, the key of the icon being loaded, what is made
// and not yet taken, and where to say so. The arrow is copied in with each
// request, so the thread reads nothing of the cache.
// Two threads: extracting an icon is the system's work, of one processor
// at a time, and the interface thread has little to do meanwhile.
const int LoaderThreads = 2;
// How long a stop waits for each loader thread to end.
const DWORD LoaderStopWaitMs = 2000;

struct Loader {
    CRITICAL_SECTION Lock;
    bool HaveLock = false;
    HANDLE Threads[LoaderThreads] = {};
    HANDLE Work = nullptr;  // set while the queue holds icons, or to stop
    bool Stop = false;
    std::deque<IconSource> Queue;
    std::string InHand[LoaderThreads];
    std::vector<LoadedIcon> Loaded;
    ArrowedPixels Mark = {};
    bool HaveMark = false;
    HWND Notify = nullptr;
    UINT Message = 0;
    bool Posted = false;
};

Loader Loading;

// One icon of the queue loaded and handed over; false when there is none
// left, or the thread is to stop.
bool LoadNextIcon(HDC dc, int slot)
{
    LoadedIcon done;
    ArrowedPixels mark;
    bool haveMark = false;
    EnterCriticalSection(&Loading.Lock);
    bool go = !Loading.Stop && !Loading.Queue.empty();
    if (go) {
        done.Source = std::move(Loading.Queue.front());
        Loading.Queue.pop_front();
        Loading.InHand[slot] = IconKey(done.Source.File, done.Source.Index);
        mark = Loading.Mark;
        haveMark = Loading.HaveMark;
    } else if (!Loading.Stop) {
        ResetEvent(Loading.Work);
    }
    LeaveCriticalSection(&Loading.Lock);
    if (!go)
        return false;

    done.Icon = ExtractFileIcon(done.Source.File.c_str(), done.Source.Index);
    if (done.Icon && haveMark) {
        done.Pixels.reset(new ArrowedPixels);
        if (!MakeArrowedPixels(dc, done.Icon, &mark, done.Pixels.get()))
            done.Pixels.reset();
    }

    EnterCriticalSection(&Loading.Lock);
    Loading.Loaded.push_back(std::move(done));
    Loading.InHand[slot].clear();
    bool post = !Loading.Posted;
    Loading.Posted = true;
    HWND notify = Loading.Notify;
    UINT message = Loading.Message;
    LeaveCriticalSection(&Loading.Lock);
    // A window gone takes no message: the next icon tries again.
    if (post && !PostMessageA(notify, message, 0, 0)) {
        EnterCriticalSection(&Loading.Lock);
        Loading.Posted = false;
        LeaveCriticalSection(&Loading.Lock);
    }
    return true;
}

DWORD WINAPI IconLoaderProc(LPVOID slot)
{
    // One memory dc for the thread's life: the icons' bits are read
    // through it.
    HDC dc = CreateCompatibleDC(nullptr);
    for (;;) {
        WaitForSingleObject(Loading.Work, INFINITE);
        while (LoadNextIcon(dc, (int)(INT_PTR)slot)) {
        }
        EnterCriticalSection(&Loading.Lock);
        bool stop = Loading.Stop;
        LeaveCriticalSection(&Loading.Lock);
        if (stop)
            break;
    }
    if (dc)
        DeleteDC(dc);
    return 0;
}

bool StartIconLoader()
{
    if (Loading.Work)
        return true;
    if (!Loading.HaveLock) {
        InitializeCriticalSection(&Loading.Lock);
        Loading.HaveLock = true;
    }
    Loading.Stop = false;
    Loading.Work = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Loading.Work)
        return false;
    bool started = false;
    for (int slot = 0; slot < LoaderThreads; slot++) {
        Loading.Threads[slot] = CreateThread(nullptr, 0, IconLoaderProc, (LPVOID)(INT_PTR)slot, 0,
                                             nullptr);
        // Below the interface thread, which is to answer at once.
        if (Loading.Threads[slot])
            SetThreadPriority(Loading.Threads[slot], THREAD_PRIORITY_BELOW_NORMAL);
        started = started || Loading.Threads[slot];
    }
    if (!started) {
        CloseHandle(Loading.Work);
        Loading.Work = nullptr;
    }
    return started;
}

} // namespace

void LoadFileIcons(const std::vector<IconSource>& wanted, bool instead, HWND notify, UINT message)
{
    if (wanted.empty() && !Loading.Work)
        return;
    if (!StartIconLoader())
        return;
    EnterCriticalSection(&Loading.Lock);
    std::unordered_map<std::string, bool> held;
    for (const std::string& key : Loading.InHand)
        held[key] = true;
    for (const LoadedIcon& loaded : Loading.Loaded)
        held[IconKey(loaded.Source.File, loaded.Source.Index)] = true;
    if (instead)
        Loading.Queue.clear();
    for (const IconSource& queued : Loading.Queue)
        held[IconKey(queued.File, queued.Index)] = true;
    for (const IconSource& source : wanted) {
        std::string key = IconKey(source.File, source.Index);
        if (!Icons.count(key) && !held[key]) {
            held[key] = true;
            Loading.Queue.push_back(source);
        }
    }
    if (ArrowMark) {
        Loading.Mark = *ArrowMark;
        Loading.HaveMark = true;
    }
    Loading.Notify = notify;
    Loading.Message = message;
    bool work = !Loading.Queue.empty();
    LeaveCriticalSection(&Loading.Lock);
    if (work)
        SetEvent(Loading.Work);
}

bool IconLoaderBusy()
{
    if (!Loading.Work)
        return false;
    EnterCriticalSection(&Loading.Lock);
    bool busy = !Loading.Queue.empty() || !Loading.Loaded.empty();
    for (const std::string& key : Loading.InHand)
        busy = busy || !key.empty();
    LeaveCriticalSection(&Loading.Lock);
    return busy;
}

std::vector<IconSource> TakeLoadedIcons()
{
    std::vector<IconSource> sources;
    if (!Loading.HaveLock)
        return sources;
    std::vector<LoadedIcon> taken;
    EnterCriticalSection(&Loading.Lock);
    taken.swap(Loading.Loaded);
    Loading.Posted = false;
    LeaveCriticalSection(&Loading.Lock);
    for (LoadedIcon& loaded : taken) {
        auto kept = Icons.emplace(IconKey(loaded.Source.File, loaded.Source.Index), loaded.Icon);
        HICON icon = kept.first->second;
        if (!kept.second && loaded.Icon)
            DestroyIcon(loaded.Icon);
        // The same file's icon: the pixels are the same, whichever handle.
        if (icon && loaded.Pixels && !Arrowed.count(icon))
            Arrowed[icon] = std::move(loaded.Pixels);
        sources.push_back(std::move(loaded.Source));
    }
    return sources;
}

void StopIconLoader()
{
    if (!Loading.Work)
        return;
    EnterCriticalSection(&Loading.Lock);
    Loading.Stop = true;
    Loading.Queue.clear();
    LeaveCriticalSection(&Loading.Lock);
    SetEvent(Loading.Work);
    // A thread still inside the system's extraction (a file on a share
    // that does not answer, say) is not waited for: it ends on its own once
    // the system lets it go, finding the loader stopped, or works for the
    // next loader started meanwhile (it reads the loader's state afresh
    // each time, and that state lives as long as the process).
    for (HANDLE& thread : Loading.Threads) {
        if (!thread)
            continue;
        WaitForSingleObject(thread, LoaderStopWaitMs);
        CloseHandle(thread);
        thread = nullptr;
    }
    CloseHandle(Loading.Work);
    Loading.Work = nullptr;
    for (LoadedIcon& loaded : Loading.Loaded)
        if (loaded.Icon)
            DestroyIcon(loaded.Icon);
    Loading.Loaded.clear();
    for (std::string& key : Loading.InHand)
        key.clear();
    Loading.Posted = false;
    Loading.HaveMark = false;
}

void ClearShellCache()
{
    StopIconLoader();
    for (auto& entry : Icons)
        if (entry.second)
            DestroyIcon(entry.second);
    Icons.clear();
    Arrowed.clear();
    ArrowMark.reset();
    Programs.clear();
}

void ResetShellCache()
{
    StopIconLoader();
    Icons.clear();
    Programs.clear();
    Arrowed.clear();
    ArrowMark.reset();
}
