#include "dialogs/taskprop.h"

#include <stdio.h>

#include "winkit/help.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "winkit/winutil.h"
#include "dialogs/maindialog.h"
#include "dialogs/controlids.h"
#include "dialogs/shortcutdlg.h"
#include "model/model.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/winutil.h"

namespace {

class TaskPropertiesDialog : public ArgsDialog<TaskPropertiesArgs> {
public:
    using ArgsDialog::ArgsDialog;
    ~TaskPropertiesDialog() override
    {
        if (programIcon)
            DestroyIcon(programIcon);
    }

private:
    // The icon the list shows for the window: its own, else its program
    // file's first.
    HICON IconOfWindow(DWORD processId)
    {
        HICON icon = WindowIcon(args.Window);
        if (icon)
            return icon;
        RefreshCache::ProgramIcons program = ProgramIcons(nullptr, processId);
        if (program.Small)
            DestroyIcon(program.Small);
        programIcon = program.Large;
        return program.Large ? program.Large : DefaultIcon();
    }

    // However long the class name (a long one wraps), every line of the
    // details shows: the box, and the dialog with it, grow by what is
    // missing.
    void FitDetails()
    {
        HWND dialog = Dialog();
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
                         frame.bottom - frame.top + missing,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    BOOL OnInit() override
    {
        HWND dialog = Dialog();
        HWND window = args.Window;
        char title[MaxText];
        if (!ReadWindowText(window, title, MaxText)) {
            End(1);
            return TRUE;
        }
        SetDlgItemTextA(dialog, IDC_TASK_TITLE, title);
        DWORD processId = 0;
        DWORD threadId = GetWindowThreadProcessId(window, &processId);
        SendDlgItemMessageA(dialog, IDC_TASK_ICON, STM_SETICON, (WPARAM)IconOfWindow(processId), 0);
        FillPriorityList(dialog, IDC_TASK_PRIORITY, PriorityIndexOf(GetPriorityClass(args.Process)));
        std::string details = TaskDetailsText(window, args.Process, processId, threadId);
        SetDlgItemTextA(dialog, IDC_TASK_DETAILS, details.c_str());
        FitDetails();
        EnableWindow(GetDlgItem(dialog, IDC_TASK_SHORTCUT), args.HasShortcut);
        return TRUE;
    }

    void OnOK() override
    {
        args.Priority = (int)ChosenPriority(Dialog(), IDC_TASK_PRIORITY, PriorityNormal);
        End(1);
    }

    void OnCancel() override { End(2); }
    void OnClose() override { OnCancel(); }

    BOOL OnCommand(int id, int) override
    {
        switch (id) {
        case IDC_TASK_SHORTCUT: args.EditShortcut(Dialog()); return TRUE;
        case IDC_TASK_HELP: ShowHelpTopic(Dialog(), "Task Properties"); return TRUE;
        default: return FALSE;
        }
    }

    HICON programIcon = nullptr;  // the program file's icon, when the window gives none
};

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

INT_PTR RunTaskPropertiesDialog(HWND owner, TaskPropertiesArgs& args)
{
    TaskPropertiesDialog dialog(args);
    return dialog.Run(ShellState.Instance, "TASKPROP", owner);
}
