// The record of the windows that the folders have put away, so that no way
// of ending Corvanix leaves a window hidden for good: a killed Corvanix is
// followed by a start that files them back, a faulting one shows them
// before it ends.
//
// It lives in the volatile key "Software\Zarn\Corvanix\PutAway" (hidden
// windows do not outlive the session, nor does the key), one REG_BINARY
// value per folder that holds windows, named after the folder's position:
// the folder's title and its terminating zero, then one entry per window
// of its list, in list order: the window handle (32 bits), whether it is
// shown when the folder is entered (8 bits), its process id (32 bits), the
// length of its class name (8 bits) and the class name (no terminator).
// Every number is little-endian.
#pragma once
#include <windows.h>

#include <vector>

#include "common/product.h"

// Brings the record up to date with the folders' lists (and, with the
// current folder's, the windows whose show waits: winkit/winutil.h); only
// values that changed are written. Called after every change to a list,
// and before the windows a folder switch puts away are asked to hide.
void SyncPutAwayRecord();

// Removes the record: every window has been shown again (Exit, the
// installer's message).
void DeletePutAwayRecord();
// Forgets what the record last wrote (the tests start the program many
// times in one process).
void ResetPutAwayRecord();

// At start-up, once the folders are loaded: each recorded window that
// still exists, is still hidden and still belongs to the same process and
// class goes back into the folder it was in, when a folder with that
// position and title exists; otherwise it is shown again. A recorded
// window still on screen may only be waiting for the hide that put it
// away: it is filed too, and taken out again if it is still on screen once
// its owner has answered a message queued behind that hide. The record is
// then written afresh from the folders. Returns the recorded windows it
// filed back or showed again: the ended run hid them, not the system
// before this one started.
std::vector<HWND> RecoverPutAwayWindows();

// After a fault, on any thread, touching nothing of the program's own
// state: shows every recorded window that is still hidden and removes the
// record.
void ShowRecordedWindows();
