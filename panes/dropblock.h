// A file drop is checked before any system function reads it: the handle
// of WM_DROPFILES is whatever the poster put there, and the system's
// readers of drops take it on trust.
#pragma once
#include <windows.h>
#include <shellapi.h>

// True when the handle is a global memory block of this process holding a
// whole drop: its header, a file list that starts inside the block, and
// names of the header's character width that each end inside it, the list
// ending with an empty name. Anything else is no drop to read, nor to free.
bool IsDropBlock(HDROP drop);
