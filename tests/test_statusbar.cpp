// The status bar: its four texts, the kilobyte rule, and the rule that an
// unchanged part is never rewritten.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/statusbar.h"
#include "app_session.h"
#include "memory_figures.h"
#include "wait.h"

namespace {

// Counts SB_SETTEXT messages reaching the status bar.
struct SetTextCounter {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == SB_SETTEXTA)
            count++;
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    static WNDPROC previous;
    static int count;
};
WNDPROC SetTextCounter::previous;
int SetTextCounter::count;

std::string PartText(int part)
{
    char text[MaxText] = "";
    SendMessageA(ShellState.StatusWindow, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

TEST(StatusBar, RewritesOnlyPartsWhoseTextChanged)
{
    FreshStart();
    AppSession session;
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(IsWindowVisible(ShellState.StatusWindow));
    SetTextCounter::previous = (WNDPROC)SetWindowLongPtrA(
        ShellState.StatusWindow, GWLP_WNDPROC, (LONG_PTR)SetTextCounter::Proc);

    MemoryFigures memory = Figures(65536, 12345, 131072, 100000, 81);
    SetTextCounter::count = 0;
    UpdateStatusBar(5, memory);
    EXPECT_EQ(PartText(0), "5 Objects");
    EXPECT_EQ(PartText(2), "Physical: 12,345 KB (18 %)  ");
    int first = SetTextCounter::count;
    EXPECT_GE(first, 1);

    SetTextCounter::count = 0;
    UpdateStatusBar(5, memory);
    EXPECT_EQ(SetTextCounter::count, 0);
    UpdateStatusBar(6, memory);
    EXPECT_EQ(SetTextCounter::count, 1);
    EXPECT_EQ(PartText(0), "6 Objects");

    // A hidden status bar keeps the texts it had.
    session.Command(IDM_STATUSBAR);
    EXPECT_FALSE(IsWindowVisible(ShellState.StatusWindow));
    SetTextCounter::count = 0;
    UpdateStatusBar(1, memory);
    EXPECT_EQ(SetTextCounter::count, 0);
    EXPECT_EQ(PartText(0), "6 Objects");

    // Shown again, the next pass brings it up to date.
    session.Command(IDM_STATUSBAR);
    ASSERT_TRUE(session.WaitForPasses(2));
    EXPECT_NE(PartText(0), "6 Objects");
    EXPECT_EQ(PartText(1).rfind("Load: ", 0), 0u);
    SetWindowLongPtrA(ShellState.StatusWindow, GWLP_WNDPROC, (LONG_PTR)SetTextCounter::previous);
    session.Exit();
}

// The pixels the bar shows, as the system keeps them for the screen.
std::vector<COLORREF> ShownPixels()
{
    std::vector<COLORREF> pixels;
    HDC dc = GetWindowDC(ShellState.StatusWindow);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 700; x++)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(ShellState.StatusWindow, dc);
    return pixels;
}

TEST(StatusBar, EveryPartIsDrawnAfterTheWindowIsMadeLarger)
{
    FreshStart();
    AppSession session;
    ASSERT_TRUE(session.StartInFront() && session.WaitForPasses(2));
    SetWindowPos(ShellState.MainWindow, nullptr, 0, 0, 720, 400, SWP_NOZORDER);
    PumpFor(300);
    // What it shows is what it draws when asked to draw it all.
    std::vector<COLORREF> shown = ShownPixels();
    RedrawWindow(ShellState.StatusWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(shown == ShownPixels());
    session.Exit();
}

std::vector<int> PartEdges()
{
    int edges[4] = {};
    SendMessageA(ShellState.StatusWindow, SB_GETPARTS, 4, (LPARAM)edges);
    return std::vector<int>(edges, edges + 4);
}

// How much of a part's text (its closing blanks aside) does not fit in it,
// in pixels (0 when all of it fits): the part's edge takes a pixel at each
// side and the text starts a few pixels in.
int CutShort(int part)
{
    std::string text = PartText(part);
    text.erase(text.find_last_not_of(' ') + 1);
    HDC dc = GetDC(ShellState.StatusWindow);
    HGDIOBJ font = (HGDIOBJ)SendMessageA(ShellState.StatusWindow, WM_GETFONT, 0, 0);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    SelectObject(dc, old);
    ReleaseDC(ShellState.StatusWindow, dc);
    RECT r = {};
    SendMessageA(ShellState.StatusWindow, SB_GETRECT, part, (LPARAM)&r);
    int room = (r.right - r.left) - 6;
    return size.cx > room ? size.cx - room : 0;
}

TEST(StatusBar, PartsAreAsWideAsTheirTextsAndNoNarrowerThanTheirEdges)
{
    FreshStart();
    AppSession session;
    ASSERT_TRUE(session.Start());
    UpdateStatusBar(5, Figures(65536, 12345, 131072, 100000, 81));
    EXPECT_EQ(PartEdges(), (std::vector<int>{80, 160, 310, -1}));

    // 64 GB with 48 GB free, and more rows than ever.
    UpdateStatusBar(1234567, Figures(64ULL << 20, 48ULL << 20, 128ULL << 20, 100ULL << 20, 100));
    std::vector<int> wide = PartEdges();
    EXPECT_GT(wide[2], 310);
    for (int part = 0; part < 3; part++)
        EXPECT_EQ(CutShort(part), 0) << PartText(part);

    UpdateStatusBar(5, Figures(65536, 12345, 131072, 100000, 81));
    EXPECT_EQ(PartEdges(), (std::vector<int>{80, 160, 310, -1}));
    session.Exit();
}

} // namespace
