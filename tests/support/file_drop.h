// A file drop as the shell builds it, for sending WM_DROPFILES to a window
// of this process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// DROPFILES, then the names, each terminated, and one more terminator. The
// receiver of WM_DROPFILES owns the block.
HGLOBAL MakeDrop(const std::vector<std::string>& files, POINT point, bool nonClient = false);
