#include "setup_run.h"

#include "wait.h"

namespace {

const int WelcomeInstallId = 1039;
const int HotKeyControlId = 1041;
const int ProgressActionId = 1065;
// A message box's text is the static control with this id.
const int MessageTextId = 0xFFFF;

struct Search {
    DWORD Pid;
    const std::function<bool(HWND)>* Test;
    HWND Found;
};

BOOL CALLBACK SearchProc(HWND window, LPARAM param)
{
    Search* search = (Search*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->Pid || !IsWindowVisible(window))
        return TRUE;
    if ((*search->Test)(window)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

bool IsDialog(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

bool HasGetKey(HWND dialog)
{
    HWND control = GetDlgItem(dialog, HotKeyControlId);
    char name[64] = "";
    if (control)
        GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "GETKEY") == 0;
}

enum WindowKind { Other, Welcome, HotKey, Progress, Box };

// Told apart by their controls, all of which exist before a dialog shows.
WindowKind KindOf(HWND window)
{
    if (!IsDialog(window))
        return Other;
    if (GetDlgItem(window, WelcomeInstallId))
        return Welcome;
    if (HasGetKey(window))
        return HotKey;
    if (GetDlgItem(window, ProgressActionId))
        return Progress;
    return GetDlgItem(window, MessageTextId) ? Box : Other;
}

// The first push button of a box, in tab order.
int FirstButton(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Button") == 0)
            return GetDlgCtrlID(child);
    }
    return IDOK;
}

bool Gone(HWND window)
{
    return !IsWindow(window) || !IsWindowVisible(window);
}

// Clicks a button of the dialog until the dialog goes: a window that
// another program opens at that moment may take the click.
void ClickUntilGone(HWND dialog, int id)
{
    for (int attempt = 0; attempt < 5 && !Gone(dialog); attempt++) {
        ClickControlInFront(dialog, id);
        WaitFor([&] { return Gone(dialog); }, 2000);
    }
}

} // namespace

std::string WindowTextOf(HWND window)
{
    char text[2048] = "";
    if (window)
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_BLOCK, 2000, nullptr);
    return text;
}

std::string MessageBoxText(HWND box)
{
    return WindowTextOf(GetDlgItem(box, MessageTextId));
}

void ClickControlInFront(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    RECT r;
    GetWindowRect(control, &r);
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // In front, and not covered by another program's window there.
    WaitFor([&] {
        SetForegroundWindow(dialog);
        return GetForegroundWindow() == dialog && WindowFromPoint(centre) == control;
    }, 3000, 100);
    SetCursorPos(centre.x, centre.y);
    Sleep(50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

void PressChord(const std::vector<WORD>& keys)
{
    for (WORD key : keys)
        keybd_event((BYTE)key, (BYTE)MapVirtualKeyA(key, 0), 0, 0);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        keybd_event((BYTE)*it, (BYTE)MapVirtualKeyA(*it, 0), KEYEVENTF_KEYUP, 0);
    Sleep(200);
}

bool SetupProcess::Start(const std::string& folder)
{
    std::string exe = folder + "\\setup.exe";
    return process_.Start(exe, "\"" + exe + "\"", SW_SHOWNORMAL, folder);
}

HWND SetupProcess::FindWindowOf(const std::function<bool(HWND)>& test) const
{
    Search search = {process_.Pid(), &test, nullptr};
    EnumWindows(SearchProc, (LPARAM)&search);
    return search.Found;
}

bool SetupProcess::Run(SetupScript* script, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!process_.Ended()) {
        if (GetTickCount() - start > timeoutMs) {
            process_.Kill();
            return false;
        }
        HWND welcome = FindWindowOf([](HWND w) { return KindOf(w) == Welcome; });
        HWND hotkey = FindWindowOf([](HWND w) { return KindOf(w) == HotKey; });
        HWND box = FindWindowOf([](HWND w) { return KindOf(w) == Box; });
        if (box) {
            Sleep(100);  // let it finish initialising
            std::string text = MessageBoxText(box);
            script->Boxes.push_back(WindowTextOf(box) + ": " + text);
            int button = script->Answer ? script->Answer(text) : 0;
            ClickUntilGone(box, button ? button : FirstButton(box));
        } else if (welcome) {
            Sleep(100);
            script->Screens.push_back("WELCOME");
            if (script->AtWelcome)
                script->AtWelcome(welcome);
            if (script->WelcomeKey) {
                PressChord({VK_MENU, (WORD)script->WelcomeKey});
                if (!WaitFor([&] { return Gone(welcome); }, 5000))
                    script->Screens.push_back("WELCOME ignored Alt+" + std::string(1, script->WelcomeKey));
            }
            ClickUntilGone(welcome, script->Welcome);
        } else if (hotkey) {
            Sleep(100);
            script->Screens.push_back("HOTKEY");
            if (!script->HotKey.empty()) {
                ClickControlInFront(hotkey, HotKeyControlId);
                Sleep(100);
                PressChord(script->HotKey);
            }
            if (script->AtHotKey)
                script->AtHotKey(hotkey);
            ClickUntilGone(hotkey, script->HotKeyButton);
        } else {
            Sleep(20);
        }
    }
    return true;
}
