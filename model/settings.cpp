#include "model/settings.h"

#include <stdlib.h>
#include <string.h>

SettingsRecord Settings;
RunHistoryRecord RunHistory;

namespace {

const SettingsRecord InitialSettings = {
    /* Priority */ PriorityHigh,
    /* Top */ 0,
    /* Progman */ 0,
    /* StatusBar */ 1,
    /* ToolBar */ 1,
    /* Folders */ 1,
    /* TaskBar */ 1,
    /* AutoClose */ 0,
    /* nViewX */ 70,
    /* Color */ 0x00C0C0C0,
    /* AcquireLength */ 12,
    /* HotKey */ 0,
    /* Window */ {0, 0, 0, 0},
    /* View */ 0,
    /* ColWidth */ {103, 54, 51, 91, 70, 70},
};

// Makes sure Settings holds its initial values before any code runs.
struct SettingsInitialiser {
    SettingsInitialiser() { ResetSettings(); }
} settingsInitialiser;

} // namespace

void ResetSettings()
{
    Settings = InitialSettings;
}

DWORD PriorityClassOf(DWORD choice)
{
    switch (choice) {
    case PriorityLow: return IDLE_PRIORITY_CLASS;
    case PriorityHigh: return HIGH_PRIORITY_CLASS;
    case PriorityHighest: return REALTIME_PRIORITY_CLASS;
    default: return NORMAL_PRIORITY_CLASS;
    }
}

bool RunHistoryInsert(const char* command)
{
    if (!command || !command[0])
        return false;
    size_t length = strnlen(command, MaxTextLength + 1);
    if (length > (size_t)MaxTextLength)
        return false;
    if (RunHistory.Slot[0] && lstrcmpiA(RunHistory.Slot[0], command) == 0)
        return false;
    char* copy = (char*)malloc(length + 1);
    if (!copy)
        return false;
    memcpy(copy, command, length + 1);
    free(RunHistory.Slot[RunHistorySlots - 1]);
    memmove(&RunHistory.Slot[1], &RunHistory.Slot[0], (RunHistorySlots - 1) * sizeof(char*));
    RunHistory.Slot[0] = copy;
    return true;
}

void RunHistoryClear()
{
    for (int i = 0; i < RunHistorySlots; i++) {
        free(RunHistory.Slot[i]);
        RunHistory.Slot[i] = nullptr;
    }
}

int RunHistoryCount()
{
    int n = 0;
    while (n < RunHistorySlots && RunHistory.Slot[n] && RunHistory.Slot[n][0])
        n++;
    return n;
}

const char* RunHistoryText(int slot)
{
    if (slot < 0 || slot >= RunHistorySlots || !RunHistory.Slot[slot])
        return "";
    return RunHistory.Slot[slot];
}
