#include "dialogs/taskprop.h"

#include <stdio.h>

#include "dialogs/controlids.h"
#include "dialogs/shortcutdlg.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/winutil.h"

namespace {

// What the dialog keeps while it is open.
struct TaskPropertiesState {
    HWND Window;
    int Row;             // the Task's item-list row, -1 when unknown
    HANDLE Process;
    HICON ProgramIcon;   // the program file's icon, when the window gives none
};

TaskPropertiesState* StateOf(HWND dialog)
{
    return (TaskPropertiesState*)GetWindowLongPtrA(dialog, DWLP_USER);
}

void CloseProcess(TaskPropertiesState* state)
{
    if (state && state->Process) {
        CloseHandle(state->Process);
        state->Process = nullptr;
    }
}

// The icon the list shows for the window: its own, else its program
// file's first.
HICON IconOfWindow(TaskPropertiesState* state, DWORD processId)
{
    HICON icon = WindowIcon(state->Window);
    if (icon)
        return icon;
    RefreshCache::ProgramIcons program = ProgramIcons(nullptr, processId);
    if (program.Small)
        DestroyIcon(program.Small);
    state->ProgramIcon = program.Large;
    return program.Large ? program.Large : DefaultIcon();
}

// However long the class name (a long one wraps), every line of the
// details shows: the box, and the dialog with it, grow by what is missing.
void FitDetails(HWND dialog)
{
    HWND box = GetDlgItem(dialog, IDC_TASK_DETAILS);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(box, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    RECT shown = {};
    SendMessageA(box, EM_GETRECT, 0, (LPARAM)&shown);
    int lines = (int)SendMessageA(box, EM_GETLINECOUNT, 0, 0);
    int missing = lines * metrics.tmHeight - (shown.bottom - shown.top);
    if (missing <= 0)
        return;
    for (HWND window : {box, dialog}) {
        RECT frame;
        GetWindowRect(window, &frame);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + missing, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR OnInit(HWND dialog, TaskPropertiesState* state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    HWND window = state->Window;
    char title[MaxText];
    if (!ReadWindowText(window, title, MaxText)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    SetDlgItemTextA(dialog, IDC_TASK_TITLE, title);
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    SendDlgItemMessageA(dialog, IDC_TASK_ICON, STM_SETICON, (WPARAM)IconOfWindow(state, processId), 0);
    for (const char* name : {"Normal", "Low", "High", "Highest"})
        SendDlgItemMessageA(dialog, IDC_TASK_PRIORITY, CB_ADDSTRING, 0, (LPARAM)name);

    state->Process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_SET_INFORMATION, FALSE, processId);
    if (!state->Process) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    SendDlgItemMessageA(dialog, IDC_TASK_PRIORITY, CB_SETCURSEL,
                        PriorityIndexOf(GetPriorityClass(state->Process)), 0);
    std::string details = TaskDetailsText(window, state->Process, processId, threadId);
    SetDlgItemTextA(dialog, IDC_TASK_DETAILS, details.c_str());
    FitDetails(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_TASK_SHORTCUT),
                 FindShortcutByWindow(ShellState.CurrentFolder, window) != nullptr);
    return TRUE;
}

void OnOK(HWND dialog, TaskPropertiesState* state)
{
    int index = (int)SendDlgItemMessageA(dialog, IDC_TASK_PRIORITY, CB_GETCURSEL, 0, 0);
    SetPriorityClass(state->Process, PriorityClassOf(index < 0 ? 0 : (DWORD)index));
    CloseProcess(state);
    EndDialog(dialog, 1);
}

void OnCancel(HWND dialog, TaskPropertiesState* state)
{
    CloseProcess(state);
    EndDialog(dialog, 2);
}

void OnShortcut(HWND dialog, TaskPropertiesState* state)
{
    Shortcut* shortcut = FindShortcutByWindow(ShellState.CurrentFolder, state->Window);
    if (!shortcut)
        return;
    // A title changed there labels the Task's row.
    RunShortcutDialog(dialog, shortcut, FALSE, state->Row);
}

void OnHelp(HWND dialog)
{
    ShowHelpTopic(dialog, "Task Properties");
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    TaskPropertiesState* state = StateOf(dialog);
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(dialog, state); return TRUE;
    case IDCANCEL: OnCancel(dialog, state); return TRUE;
    case IDC_TASK_SHORTCUT: OnShortcut(dialog, state); return TRUE;
    case IDC_TASK_HELP: OnHelp(dialog); return TRUE;
    default: return FALSE;
    }
}

void DurationLine(std::string* text, const char* label, const FILETIME& time, bool last)
{
    char value[64], line[96];
    DurationText(time, value, sizeof value);
    snprintf(line, sizeof line, last ? "%s%s" : "%s%s\r\n", label, value);
    *text += line;
}

} // namespace

int PriorityIndexOf(DWORD priorityClass)
{
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return 1;
    case HIGH_PRIORITY_CLASS: return 2;
    case REALTIME_PRIORITY_CLASS: return 3;
    default: return 0;
    }
}

void CreatedText(const FILETIME& creation, char* buffer, int size)
{
    SYSTEMTIME t = {};
    FileTimeToSystemTime(&creation, &t);
    snprintf(buffer, (size_t)size, "%u/%u/%u  %u:%02u", t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute);
}

std::string TaskDetailsText(HWND window, HANDLE process, DWORD processId, DWORD threadId)
{
    std::string text;
    char line[MaxText + 64];
    snprintf(line, sizeof line, "Window Handle:\t0x%lX\r\n", (unsigned long)(ULONG_PTR)window);
    text += line;
    snprintf(line, sizeof line, "Window State:\t%s\r\n", StateText(window));
    text += line;
    char className[MaxText];
    if (GetClassNameA(window, className, MaxText))
        snprintf(line, sizeof line, "Window Class:\t%s\r\n", className);
    else
        snprintf(line, sizeof line, "Window Class:\tn/a\r\n");
    text += line;
    SIZE_T minimum = 0, maximum = 0;
    if (GetProcessWorkingSetSize(process, &minimum, &maximum)) {
        snprintf(line, sizeof line, "Working Set:\t%luK / %luK\r\n", (unsigned long)(minimum >> 10),
                 (unsigned long)(maximum >> 10));
        text += line;
    }
    snprintf(line, sizeof line, "Process ID:\t%ld (0x%lX)\r\n", (long)processId, (unsigned long)processId);
    text += line;
    snprintf(line, sizeof line, "Thread ID:\t%ld (0x%lX)\r\n", (long)threadId, (unsigned long)threadId);
    text += line;
    if (!ShellState.IsNT)
        return text;
    FILETIME creation = {}, exit, kernel = {}, user = {};
    GetProcessTimes(process, &creation, &exit, &kernel, &user);
    char created[64];
    CreatedText(creation, created, sizeof created);
    snprintf(line, sizeof line, "Created:\t\t%s\r\n", created);
    text += line;
    DurationLine(&text, "Kernel:\t\t", kernel, false);
    DurationLine(&text, "User:\t\t", user, true);
    return text;
}

namespace {

INT_PTR HandleTaskPropertiesMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, (TaskPropertiesState*)lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_CLOSE: OnCancel(dialog, StateOf(dialog)); return TRUE;
    default: return FALSE;
    }
}

} // namespace

// A fault while a message is handled is reported, and the dialog goes on.
INT_PTR CALLBACK TaskPropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardedCall(dialog, message, wParam, lParam, HandleTaskPropertiesMessage);
}

INT_PTR RunTaskPropertiesDialog(HWND window, int row)
{
    TaskPropertiesState state = {window, row, nullptr, nullptr};
    INT_PTR result = DialogBoxParamA(ShellState.Instance, "TASKPROP", ShellState.MainWindow,
                                     TaskPropertiesProc, (LPARAM)&state);
    CloseProcess(&state);
    if (state.ProgramIcon)
        DestroyIcon(state.ProgramIcon);
    return result;
}
