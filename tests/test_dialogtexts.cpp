// Every dialog and screen of both programs, made from its template (the
// installer's read from setup.exe): each text fits its control in the
// dialog's own font, texts set at run time at their longest.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/resource.h"
#include "fixture_client.h"
#include "hotkeyctl/hotkeyctl.h"
#include "setup/resource.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The room a control's text has, as the control draws it: check boxes and
// radio buttons leave their box, group boxes and push buttons a margin.
// A 32nd of the width is kept back: a text that fills its lines to the
// last pixel here wraps a word further wherever the face draws a little
// wider, and then loses its last line.
bool Fits(HWND control, const std::string& text)
{
    char kind[32] = "";
    GetClassNameA(control, kind, sizeof kind);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT room;
    GetClientRect(control, &room);
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
    if (!lstrcmpiA(kind, "Button")) {
        format = DT_CALCRECT | DT_WORDBREAK;
        LONG type = style & BS_TYPEMASK;
        bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
        InflateRect(&room, type == BS_GROUPBOX ? -8 : push ? -3 : 0, 0);
        if (!push && type != BS_GROUPBOX)
            room.right -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
    } else if (lstrcmpiA(kind, "Static") || (style & SS_TYPEMASK) > SS_RIGHT) {
        return true;  // no text of its own: icons, frames, fields
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(GetParent(control), WM_GETFONT, 0, 0));
    int width = room.right - room.left;
    width -= width / 32;
    RECT need = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &need, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return need.right <= width && need.bottom <= room.bottom - room.top;
}

struct Screen {
    const char* Name;
    bool OfSetup;
    std::vector<std::pair<int, const char*>> Texts;
};

TEST(DialogTexts, EveryTextFitsItsControl)
{
    HMODULE own = GetModuleHandleA(nullptr);
    HMODULE setup = LoadLibraryExA((Fixture::ExeDirectory() + "\\setup.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(setup, nullptr);
    RegisterHotKeyControlClass(own);
    RegisterHotKeyControlClass(setup);
    const Screen screens[] = {
        {"ABOUT", false, {{IDC_ABOUT_VERSION, "10.10"}}},
        {"TASKPROP", false, {{IDC_TASK_TITLE, "Document - WordPad"}}},
        {"SHORTCUT", false, {}},
        {"RUN", false, {}},
        {"VIEW", false, {}},
        {"SETUP", false, {}},
        {"WELCOME", true, {}},
        {"HOTKEY", true, {}},
        {"MODELESS", true, {{IDC_PROGRESS_ACTION, "Removing Program Manager Groups"},
                            {IDC_PROGRESS_ITEM, "C:\\WINDOWS\\SYSTEM32\\Corvanix.exe"}}},
    };
    std::vector<std::string> misfits;
    for (const Screen& screen : screens) {
        HMODULE module = screen.OfSetup ? setup : own;
        HRSRC found = FindResourceA(module, screen.Name, (LPCSTR)RT_DIALOG);
        ASSERT_NE(found, nullptr) << screen.Name;
        HWND dialog = CreateDialogIndirectParamA(
            module, (LPCDLGTEMPLATEA)LockResource(LoadResource(module, found)), nullptr, Quiet, 0);
        ASSERT_NE(dialog, nullptr) << screen.Name;
        for (const auto& [id, text] : screen.Texts)
            SetDlgItemTextA(dialog, id, text);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char text[1024] = "";
            GetWindowTextA(control, text, sizeof text);
            if (*text && !Fits(control, text))
                misfits.push_back(std::string(screen.Name) + ": " + text);
        }
        DestroyWindow(dialog);
    }
    FreeLibrary(setup);
    EXPECT_TRUE(misfits.empty()) << ::testing::PrintToString(misfits);
}

} // namespace
