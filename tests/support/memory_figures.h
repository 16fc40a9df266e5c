// Memory figures for the status bar's texts, given in kilobytes.
#pragma once
#include <windows.h>

#include "tasks/refresh.h"

inline MemoryFigures Figures(ULONGLONG totalKb, ULONGLONG freeKb, ULONGLONG pageTotalKb,
                             ULONGLONG pageFreeKb, DWORD load)
{
    MemoryFigures memory = {};
    memory.Load = load;
    memory.TotalPhysical = totalKb << 10;
    memory.AvailablePhysical = freeKb << 10;
    memory.TotalPageFile = pageTotalKb << 10;
    memory.AvailablePageFile = pageFreeKb << 10;
    return memory;
}
