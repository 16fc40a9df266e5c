#include "dialog_watch.h"

namespace {

struct Search {
    const std::string* Caption;
    HWND Found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    Search* search = (Search*)param;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    // The system's copy of the caption: asking the window would wait for
    // its thread, which may be the test's own, blocked in Finish().
    WCHAR wide[512] = L"";
    InternalGetWindowText(window, wide, 512);
    char text[512] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    if (*search->Caption == text) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindOwnWindow(const std::string& caption)
{
    Search search = {&caption, nullptr};
    EnumWindows(FindProc, (LPARAM)&search);
    return search.Found;
}

DialogWatch::DialogWatch(const std::string& caption, Action action, DWORD timeoutMs)
{
    thread_ = std::thread(&DialogWatch::Run, this, caption, action, timeoutMs);
}

DialogWatch::~DialogWatch()
{
    Finish();
}

bool DialogWatch::Finish()
{
    if (thread_.joinable())
        thread_.join();
    return seen_;
}

void DialogWatch::Run(std::string caption, Action action, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    HWND found = nullptr;
    while (!(found = FindOwnWindow(caption)) && GetTickCount() - start < timeoutMs)
        Sleep(20);
    if (!found)
        return;
    Sleep(100);  // let it finish initialising
    window_ = found;
    for (HWND child = GetWindow(found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64], text[1024];
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") != 0)
            continue;
        // Ask the control: it belongs to another thread of this process.
        SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_BLOCK, 2000, nullptr);
        if (text[0]) {
            if (!text_.empty())
                text_ += "\n";
            text_ += text;
        }
    }
    seen_ = true;
    if (action)
        action(found);
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button)
        SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
    else
        PostMessageA(dialog, WM_COMMAND, id, 0);
}

void CloseWindowBox(HWND dialog)
{
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

std::string ControlText(HWND dialog, int id)
{
    char text[1024] = "";
    HWND control = GetDlgItem(dialog, id);
    if (control)
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_BLOCK, 2000, nullptr);
    return text;
}
