// Small helpers for talking to other applications' windows without ever
// waiting on them: a hung application must not freeze this program.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// True when the window belongs to the calling thread.
bool IsOwnThreadWindow(HWND window);

// ShowWindow for our own windows; for other threads' windows the request is
// queued to the owning thread (ShowWindowAsync), so a hung owner cannot
// block the caller, and remembered until the owner has carried it out:
// the owner thread answers a message queued behind the requests sent to
// its windows, and that answer (or the window's end) closes them. No
// request goes to a window that shows already what is asked; one asked
// for while another is on its way to the window waits for the answer and
// goes only if it asks for something else, so that the owner's queue
// never holds a request that a later one undoes.
void ShowWindowNoWait(HWND window, int command);

// While one of these lives, ShowWindowNoWait only notes what each window
// is asked for; when the outermost ends, each window asked gets the last
// command asked for it (a hide and a show that cancel out send nothing),
// and each owner thread one message whose answer closes them all.
class ShowRequestBatch {
public:
    ShowRequestBatch();
    ~ShowRequestBatch();
    ShowRequestBatch(const ShowRequestBatch&) = delete;
    ShowRequestBatch& operator=(const ShowRequestBatch&) = delete;
};

// Whether a window is to be taken as visible: as Corvanix last asked while
// that request is outstanding, however long its owner takes, and as the
// system says once it is carried out. Top-level windows only; interface
// thread only.
bool SeenVisible(HWND window);
// Forgets the requests of windows that are gone, and those that could not
// be followed by an answer and whose window now shows what was asked.
void PrunePendingShows();
// The windows asked to show whose show has not gone yet (it waits for an
// open batch's end, or for the answer to a hide on its way): if the
// program ended now, that hide would leave them hidden.
std::vector<HWND> WindowsAwaitingShow();
// Names a function called once shows that waited for an answer are sent
// (the record of put-away windows lets go of them).
void WhenWaitingShowsSent(void (*sent)());
// Sends every show that waits, at once and without waiting for anything:
// the program is ending.
void SendWaitingShows();
// Forgets the request of a window the caller has just shown or hidden
// itself, its owner having answered.
void ForgetShowRequest(HWND window);
// The requests not yet carried out, and how many were sent since start-up.
size_t PendingShowCount();
ULONG_PTR ShowRequestCount();
// Forgets the requests of an earlier run (the tests start the program
// many times in one process).
void ResetWindowHelpers();

// The show command that brings a put-away window back as it was left:
// minimised, maximised, or shown without being activated.
int ShowAgainCommand(HWND window);

// Reads a window's text into buffer (size bytes, always terminated) without
// waiting on the window's owner: other processes' windows answer from the
// system's copy of the text, and a window of this process is asked with a
// short time-out. Returns the length.
int ReadWindowText(HWND window, char* buffer, int size);

// Sends a message with a time-out that gives up at once on a hung
// application. Returns false when the message was not answered.
bool SendMessageNoHang(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       DWORD_PTR* result, UINT timeoutMs = 200);

// The icon a window shows: its class icon, else the icon it answers to
// WM_QUERYDRAGICON (asked with a time-out), else null.
HICON WindowIcon(HWND window);

// The full path of a process's program file; false when it cannot be read.
bool ProgramPathOf(DWORD processId, char* path, DWORD size);

// One icon drawn over another, at size x size pixels (both into one-image
// lists, the lists merged); a new icon the caller destroys, or null.
HICON OverlayIcon(HICON base, HICON mark, int size);

// Case-insensitive comparison of a class name with a fixed name.
bool ClassIs(const char* className, const char* name);

// The whole text of a dialog's control (of our own thread), however long.
std::string DialogItemText(HWND dialog, int id);
