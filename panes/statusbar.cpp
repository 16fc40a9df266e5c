#include "panes/statusbar.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/commandids.h"

namespace {

const int PartCount = 4;
// The right edges of the parts: the last one runs to the window's edge.
// The first three are the narrowest the parts get.
const int StandardEdges[PartCount] = {80, 160, 310, -1};
// What a part needs beside its text: its sunken edge and the text's inset.
const int PartMargin = 12;

// Each of the first three parts as wide as its text needs, and never
// narrower than its standard width: the figures of a machine with much
// memory are longer than those widths allow. The parts are set only when
// an edge moves.
void FitPartsToTexts(HWND status, const char texts[PartCount][64])
{
    int edges[PartCount];
    HDC dc = GetDC(status);
    HGDIOBJ font = (HGDIOBJ)SendMessageA(status, WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    int left = 0;
    for (int part = 0; part < PartCount - 1; part++) {
        // The blanks that end some texts need no room.
        int length = (int)strlen(texts[part]);
        while (length > 0 && texts[part][length - 1] == ' ')
            length--;
        SIZE size = {};
        GetTextExtentPoint32A(dc, texts[part], length, &size);
        int needed = left + size.cx + PartMargin;
        edges[part] = needed > StandardEdges[part] ? needed : StandardEdges[part];
        left = edges[part];
    }
    edges[PartCount - 1] = -1;
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(status, dc);

    int current[PartCount] = {};
    if (SendMessageA(status, SB_GETPARTS, PartCount, (LPARAM)current) != PartCount ||
        memcmp(current, edges, sizeof edges) != 0)
        SendMessageA(status, SB_SETPARTS, PartCount, (LPARAM)edges);
}

} // namespace

HWND CreateStatusBarWindow(HWND parent, HINSTANCE instance)
{
    HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | SBARS_SIZEGRIP,
                                  0, 0, 0, 0, parent, (HMENU)(INT_PTR)IDC_STATUSWINDOW,
                                  instance, nullptr);
    if (status)
        SendMessageA(status, SB_SETPARTS, PartCount, (LPARAM)StandardEdges);
    return status;
}

void KilobyteText(ULONGLONG kilobytes, char* buffer, int size)
{
    snprintf(buffer, (size_t)size, "%llu", kilobytes);
    if (strlen(buffer) > 3)
        snprintf(buffer, (size_t)size, "%llu,%03llu", kilobytes / 1000, kilobytes % 1000);
}

static unsigned Percent(ULONGLONG part, ULONGLONG whole)
{
    return whole ? (unsigned)(part * 100 / whole) : 0;
}

void StatusPartTexts(int objectCount, const MemoryFigures& memory, char texts[4][64])
{
    if (objectCount == 0)
        strcpy(texts[0], "No Objects  ");
    else if (objectCount == 1)
        strcpy(texts[0], "1 Object    ");
    else
        snprintf(texts[0], 64, "%d Objects", objectCount);

    snprintf(texts[1], 64, "Load: %d %%  ", (int)memory.Load);

    char number[32];
    ULONGLONG available = memory.AvailablePhysical >> 10;
    ULONGLONG total = memory.TotalPhysical >> 10;
    KilobyteText(available, number, sizeof number);
    snprintf(texts[2], 64, "Physical: %s KB (%u %%)  ", number, Percent(available, total));

    available = (memory.AvailablePageFile + memory.AvailablePhysical) >> 10;
    total = (memory.TotalPhysical + memory.TotalPageFile) >> 10;
    KilobyteText(available, number, sizeof number);
    snprintf(texts[3], 64, "Virtual: %s KB (%u %%)  ", number, Percent(available, total));
}

void UpdateStatusBar(int objectCount, const MemoryFigures& memory)
{
    if (!Settings.StatusBar || !ShellState.StatusWindow)
        return;
    char texts[PartCount][64];
    StatusPartTexts(objectCount, memory, texts);
    FitPartsToTexts(ShellState.StatusWindow, texts);
    for (int part = 0; part < PartCount; part++) {
        char current[MaxText] = "";
        LRESULT info = SendMessageA(ShellState.StatusWindow, SB_GETTEXTLENGTHA, part, 0);
        if (LOWORD(info) < MaxText)
            SendMessageA(ShellState.StatusWindow, SB_GETTEXTA, part, (LPARAM)current);
        if (strcmp(current, texts[part]) != 0)
            SendMessageA(ShellState.StatusWindow, SB_SETTEXTA, part, (LPARAM)texts[part]);
    }
}

void PlaceStatusBar(WPARAM kind, LPARAM size)
{
    HWND status = ShellState.StatusWindow;
    SendMessageA(status, WM_SIZE, kind, size);
    // The bar moves itself and keeps the pixels it had, taken from a place
    // that the panes laid out before it may already cover: a pass rewrites
    // only parts whose text changed, so nothing else would draw the others.
    InvalidateRect(status, nullptr, TRUE);
}

void ShowStatusProgress(const char* text)
{
    HWND status = ShellState.StatusWindow;
    if (!status || !IsWindowVisible(status))
        return;
    SendMessageA(status, SB_SIMPLE, TRUE, 0);
    SendMessageA(status, SB_SETTEXTA, SB_SIMPLEID, (LPARAM)text);
    UpdateWindow(status);
}

void EndStatusProgress()
{
    if (ShellState.StatusWindow)
        SendMessageA(ShellState.StatusWindow, SB_SIMPLE, FALSE, 0);
}
