#include "setup/background.h"

#include "setup/flow.h"
#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

const char ClassName[] = "SetupClass";
const char Title[] = "Corvanix Setup";

// Bands of a 255th of the screen's height (at least a pixel), as many as
// fit.
void GradientBands(int screenBottom, int* bandHeight, int* bands)
{
    int height = screenBottom / 255;
    if (height < 1)
        height = 1;
    *bandHeight = height;
    *bands = screenBottom / height;
}

// From bright blue at the top down to nearly black.
void OnEraseBackground(HDC dc)
{
    const RECT& screen = SetupState.Screen;
    int bandHeight, bands;
    GradientBands(screen.bottom, &bandHeight, &bands);
    for (int i = 0; i < bands; i++) {
        int intensity = bands - i > 255 ? 255 : bands - i;
        RECT band = {screen.left, i * bandHeight, screen.right, (i + 1) * bandHeight};
        // The last band reaches down to the bottom, so that the rows that
        // the division leaves over are not left unpainted.
        if (i == bands - 1)
            band.bottom = screen.bottom;
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, intensity));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT& screen = SetupState.Screen;
    HFONT font = CreateFontA(screen.bottom / 10, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT r = {screen.left + 25, screen.top + 25, screen.right, screen.bottom};
    DrawTextA(dc, Title, -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &paint);
}

void OnClose(HWND window)
{
    DestroyWindow(window);
    PostQuitMessage(0);
}

void OnDestroy(HWND window)
{
    if (SetupState.DdeInstance) {
        DdeUninitialize(SetupState.DdeInstance);
        SetupState.DdeInstance = 0;
    }
    if (SetupState.Background == window)
        SetupState.Background = nullptr;
}

LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        OnEraseBackground((HDC)wParam);
        return 1;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_SETUP_START) {
            RunSetupFlow();
            return 0;
        }
        break;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool RegisterBackgroundClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BackgroundProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "Corvanix");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    return RegisterClassA(&wc) != 0;
}

HWND CreateBackgroundWindow()
{
    const RECT& screen = SetupState.Screen;
    SetupState.Background =
        CreateWindowExA(0, ClassName, Title, WS_POPUP | WS_VISIBLE, screen.left, screen.top,
                        screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                        SetupState.Instance, nullptr);
    return SetupState.Background;
}

void EndSetup()
{
    if (SetupState.Background)
        DestroyWindow(SetupState.Background);
    PostQuitMessage(0);
}
