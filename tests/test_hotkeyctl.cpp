// The hot-key capture control under real key presses, in a real dialog
// (the Folder Properties template, run by the dialog manager of the test's
// own thread): capture, the clearing press, modifiers alone, the keys the
// dialog itself wants, the synthetic Tab and the painting.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "common/hotkeycode.h"
#include "common/texts.h"
#include "hotkeyctl/hotkeyctl.h"
#include "user_input.h"

namespace {

std::vector<int> Commands;

INT_PTR CALLBACK RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

std::string Name(HotKeyCode code)
{
    char text[MaxText];
    HotKeyText(code, text, sizeof text);
    return text;
}

class HotKeyControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterHotKeyControlClass(GetModuleHandleA(nullptr)); }

    void SetUp() override
    {
        Commands.clear();
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "VIEW", nullptr, RecordingProc, 0);
        ASSERT_NE(dialog, nullptr);
        control = GetDlgItem(dialog, IDC_FOLDER_HOTKEY);
        box = GetDlgItem(dialog, IDC_FOLDER_SYSTEM);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        Pump(300);
        ASSERT_EQ(GetForegroundWindow(), dialog);
    }
    void TearDown() override { DestroyWindow(dialog); }

    // The dialog manager handles what is queued, as the dialog's own loop
    // would, for about ms milliseconds.
    void Pump(DWORD ms = 250)
    {
        DWORD start = GetTickCount();
        do {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(dialog, &message)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            }
            Sleep(10);
        } while (GetTickCount() - start < ms);
    }
    void Press(std::initializer_list<WORD> keys)
    {
        PressKeys(keys);
        Pump();
    }
    void Focus()
    {
        ClickControl(dialog, IDC_FOLDER_HOTKEY);
        Pump();
        ASSERT_EQ(GetFocus(), control);
    }
    HotKeyCode Value() { return (HotKeyCode)SendMessageA(control, WM_COMMAND, GETKEY_GETVALUE, 0); }
    void SetValue(HotKeyCode code)
    {
        EXPECT_EQ((HotKeyCode)SendMessageA(control, WM_COMMAND, GETKEY_SETVALUE, code), code);
        InvalidateRect(control, nullptr, TRUE);
        Pump(50);
    }
    // What the control shows, pixel by pixel.
    std::vector<COLORREF> Pixels()
    {
        UpdateWindow(control);
        RECT r;
        GetClientRect(control, &r);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(control);
        for (int y = 0; y < r.bottom; y++)
            for (int x = 0; x < r.right; x++)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(control, dc);
        return pixels;
    }

    HWND dialog = nullptr;
    HWND control = nullptr;
    HWND box = nullptr;
};

TEST_F(HotKeyControlTest, ACombinationIsCapturedAndTheFocusMovesOn)
{
    EXPECT_EQ(Value(), 0u);
    EXPECT_EQ(Name(Value()), "<none>");
    Focus();
    Press({VK_CONTROL, VK_MENU, VK_F5});
    EXPECT_EQ(Value(), 0x00030074u);
    EXPECT_EQ(Name(Value()), "Ctrl+Alt+F5");
    EXPECT_EQ(GetFocus(), box);
    EXPECT_TRUE(Commands.empty());

    // Whatever order the modifiers come in, the text names them in one.
    Focus();
    Press({VK_SHIFT, VK_CONTROL, VK_MENU, VK_HOME});
    EXPECT_EQ(Value(), MakeHotKeyCode(VK_HOME, HotKeyCtrl | HotKeyAlt | HotKeyShift));
    EXPECT_EQ(Name(Value()), "Ctrl+Alt+Shift+Home");
    EXPECT_EQ(GetFocus(), box);
}

TEST_F(HotKeyControlTest, PressingTheStoredKeyAgainClearsIt)
{
    SetValue(MakeHotKeyCode(VK_F5, HotKeyCtrl | HotKeyAlt));
    Focus();
    Press({VK_F5});
    EXPECT_EQ(Value(), 0u);
    EXPECT_EQ(GetFocus(), control);  // no key: the focus stays

    // With Ctrl held since before the focus came (a Ctrl press in the
    // control would itself store Ctrl without a key).
    SetValue(MakeHotKeyCode(VK_F5, 0));
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)box, TRUE);
    HoldKey(VK_CONTROL, true);
    Focus();
    Press({VK_F5});
    HoldKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(Value(), 0x00020000u);
    EXPECT_EQ(Name(Value()), "Ctrl+<none>");
    EXPECT_EQ(GetFocus(), control);
}

TEST_F(HotKeyControlTest, AModifierAloneStoresNoKeyAndLeavesTheTextUntilTheNextPaint)
{
    SetValue(MakeHotKeyCode(VK_F5, HotKeyCtrl | HotKeyAlt));
    Focus();
    std::vector<COLORREF> shown = Pixels();
    Press({VK_SHIFT});
    EXPECT_EQ(Value(), 0u);
    EXPECT_EQ(GetFocus(), control);
    EXPECT_EQ(Pixels(), shown);  // not repainted

    // The modifiers already held are kept, still without a key.
    Press({VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Value(), 0x00020000u);

    // The next paint shows what is stored.
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)box, TRUE);
    Pump();
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)control, TRUE);
    Pump();
    EXPECT_NE(Pixels(), shown);
}

TEST_F(HotKeyControlTest, RightAfterTheFocusArrivesEnterAndEscAreCapturedTabMovesOn)
{
    // Each is captured under the platform's name for it, and only the
    // control's own Tab moves the focus: one control on, not two.
    for (WORD key : {VK_ESCAPE, VK_RETURN}) {
        Focus();
        Press({key});
        EXPECT_EQ(Value(), (HotKeyCode)key);
        char name[MaxText] = "";
        GetKeyNameTextA((LONG)(MapVirtualKeyA(key, 0) << 16), name, sizeof name);
        EXPECT_EQ(Name(Value()), name);
        EXPECT_EQ(GetFocus(), box);
    }
    // Tab and Shift+Tab (whose Shift alone stores no key) keep the value.
    Focus();
    Press({VK_TAB});
    EXPECT_EQ(GetFocus(), box);
    Focus();
    Press({VK_SHIFT, VK_TAB});
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FOLDER_TITLE));
    EXPECT_EQ(Value(), (HotKeyCode)VK_RETURN);
    EXPECT_TRUE(Commands.empty());
}

TEST_F(HotKeyControlTest, AfterAnyKeyTabEnterAndEscActOnTheDialog)
{
    Focus();
    Press({VK_SHIFT});
    Press({VK_ESCAPE});
    Press({VK_RETURN});
    EXPECT_EQ(Commands, (std::vector<int>{IDCANCEL, IDOK}));
    EXPECT_EQ(Value(), 0u);

    Focus();
    Press({VK_CONTROL});
    Press({VK_TAB});
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(Value(), 0u);
}

TEST_F(HotKeyControlTest, AnAltCombinationPressesNoButton)
{
    // "&Cancel" and "&OK" have these mnemonics.
    Focus();
    Press({VK_MENU, 'C'});
    EXPECT_EQ(Value(), MakeHotKeyCode('C', HotKeyAlt));
    EXPECT_EQ(Name(Value()), "Alt+C");
    Focus();
    Press({VK_MENU, 'O'});
    EXPECT_EQ(Name(Value()), "Alt+O");
    EXPECT_TRUE(Commands.empty());
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(HotKeyControlTest, SpecialKeysHaveTheirOwnNames)
{
    Focus();
    Press({VK_PAUSE});
    EXPECT_EQ(Name(Value()), "Break");
    Focus();
    Press({VK_CONTROL, VK_APPS});
    EXPECT_EQ(Name(Value()), "Ctrl+Apps");
    EXPECT_EQ(Name(VK_CLEAR), "Clear");
    EXPECT_EQ(Name(VK_CAPITAL), "Caps");
    EXPECT_EQ(Name(VK_LWIN), "Lf Win");
    EXPECT_EQ(Name(VK_RWIN), "Rt Win");
}

TEST_F(HotKeyControlTest, PaintsWhiteOnBlueWithTheFocusAndBlackOnWhiteWithout)
{
    RECT r;
    GetClientRect(control, &r);
    auto at = [&](const std::vector<COLORREF>& pixels, int x, int y) {
        return pixels[(size_t)(y * r.right + x)];
    };
    auto shows = [&](const std::vector<COLORREF>& pixels, COLORREF color) {
        for (int y = 2; y < r.bottom - 2; y++)
            for (int x = 2; x < r.right - 2; x++)
                if (at(pixels, x, y) == color)
                    return true;
        return false;
    };
    SetValue(MakeHotKeyCode(VK_F5, HotKeyCtrl));
    std::vector<COLORREF> unfocused = Pixels();
    Focus();
    std::vector<COLORREF> focused = Pixels();

    // The sunken frame: shadow at the top left, highlight at the bottom right.
    for (const auto* pixels : {&unfocused, &focused}) {
        EXPECT_EQ(at(*pixels, 0, 0), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(at(*pixels, 1, 1), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(at(*pixels, r.right - 1, r.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(at(*pixels, r.right - 2, r.bottom - 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    EXPECT_EQ(at(unfocused, r.right - 4, r.bottom - 4), RGB(255, 255, 255));
    EXPECT_TRUE(shows(unfocused, RGB(0, 0, 0)));
    EXPECT_EQ(at(focused, r.right - 4, r.bottom - 4), RGB(0, 0, 255));
    EXPECT_TRUE(shows(focused, RGB(255, 255, 255)));
}

} // namespace
