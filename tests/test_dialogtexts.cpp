// Every dialog and screen of both programs made from its template (the
// installer's read from setup.exe): each text fits its control in the
// dialog's own font, texts set at run time at their longest.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/resource.h"
#include "fixture_client.h"
#include "hotkeyctl/hotkeyctl.h"
#include "setup/resource.h"

namespace {

// The room a text has as its control draws it (a check box or radio button
// leaves its box, a group box or push button a margin), less a 32nd of the
// width: a text that fills its lines to the last pixel here wraps a word
// further wherever the face draws a little wider, and loses its last line.
bool Fits(HWND control, const char* text)
{
    char kind[16] = "";
    GetClassNameA(control, kind, sizeof kind);
    LONG style = GetWindowLongA(control, GWL_STYLE), type = style & BS_TYPEMASK;
    bool button = !lstrcmpiA(kind, "Button");
    if (!button && (lstrcmpiA(kind, "Static") || (style & SS_TYPEMASK) > SS_RIGHT))
        return true;  // icons, frames, fields
    RECT room;
    GetClientRect(control, &room);
    int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    int width = room.right - (!button ? 0 : type <= BS_DEFPUSHBUTTON ? 6 : type == BS_GROUPBOX ? 16 : box);
    width -= width / 32;
    RECT need = {0, 0, width, 0};
    HDC dc = GetDC(control);
    SelectObject(dc, (HGDIOBJ)SendMessageA(GetParent(control), WM_GETFONT, 0, 0));
    DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK | (!button && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    ReleaseDC(control, dc);
    return need.right <= width && need.bottom <= room.bottom;
}

TEST(DialogTexts, EveryTextFitsItsControl)
{
    HMODULE own = GetModuleHandleA(nullptr);
    HMODULE setup = LoadLibraryExA((Fixture::ExeDirectory() + "\\setup.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(setup, nullptr);
    RegisterHotKeyControlClass(own);
    RegisterHotKeyControlClass(setup);
    const std::vector<std::pair<const char*, std::vector<std::pair<int, const char*>>>> screens = {
        {"ABOUT", {{IDC_ABOUT_VERSION, "10.10"}}}, {"TASKPROP", {{IDC_TASK_TITLE, "Document - WordPad"}}},
        {"SHORTCUT", {}}, {"RUN", {}}, {"VIEW", {}}, {"SETUP", {}}, {"WELCOME", {}}, {"HOTKEY", {}},
        {"MODELESS", {{IDC_PROGRESS_ACTION, "Removing Program Manager Groups"},
                      {IDC_PROGRESS_ITEM, "C:\\WINDOWS\\SYSTEM32\\Corvanix.exe"}}}};
    std::vector<std::string> misfits;
    for (const auto& [name, texts] : screens) {
        HMODULE module = FindResourceA(own, name, (LPCSTR)RT_DIALOG) ? own : setup;
        HRSRC found = FindResourceA(module, name, (LPCSTR)RT_DIALOG);
        HWND dialog = found ? CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)LoadResource(module, found),
                                                         nullptr, nullptr, 0) : nullptr;
        ASSERT_NE(dialog, nullptr) << name;
        for (const auto& [id, text] : texts)
            SetDlgItemTextA(dialog, id, text);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char text[1024] = "";
            if (GetWindowTextA(control, text, sizeof text) && !Fits(control, text))
                misfits.push_back(std::string(name) + ": " + text);
        }
        DestroyWindow(dialog);
    }
    FreeLibrary(setup);
    EXPECT_TRUE(misfits.empty()) << ::testing::PrintToString(misfits);
}

} // namespace
