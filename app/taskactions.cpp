#include "app/taskactions.h"

#include <commctrl.h>
#include <stdio.h>

#include <vector>

#include "model/shellstate.h"
#include "winkit/winutil.h"
#include "model/model.h"
#include "panes/itemlist.h"
#include "app/dialogcommands.h"
#include "panes/itemrows.h"
#include "launch/launch.h"
#include "dialogs/shortcutdlg.h"
#include "dialogs/taskprop.h"
#include "launch/launch.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/itemlist.h"
#include "store/putaway.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"

namespace {

const char TerminateQuestion[] =
    "This application has not responded to the close window\r\n"
    "command. It may be waiting for input from you.\r\n\n"
    "Do you want to terminate the application anyway ?";

void TakeOutOfCurrentFolder(HWND window)
{
    if (ShellState.CurrentFolder && ShellState.CurrentFolder->Contained)
        ShellState.CurrentFolder->Contained->Remove(window);
}

// Shows or hides a window the user acted on: at once when its owner
// answers, queued when it does not.
void ShowForUser(HWND window, int command)
{
    if (!IsOwnThreadWindow(window) && !SendMessageNoHang(window, WM_NULL, 0, 0, nullptr, 200)) {
        ShowWindowNoWait(window, command);
        return;
    }
    ShowWindow(window, command);
    ForgetShowRequest(window);
}

void LaunchShortcut(Shortcut* shortcut)
{
    shortcut->ProcessId = LaunchCommand(shortcut->CommandLine.Get(),
                                        shortcut->WorkingDirectory.Get(), shortcut->ShowState,
                                        shortcut->SeparateMemory, shortcut->Priority);
}

void OpenTask(HWND window)
{
    ShowForUser(window, SW_SHOW);
    TakeOutOfCurrentFolder(window);
    if (IsIconic(window))
        SendSystemCommand(window, SC_RESTORE);
    SetForegroundWindow(window);
}

// Waits, then offers to end an application that did not close.
DWORD WINAPI CloseWatch(LPVOID parameter)
{
    HWND window = (HWND)parameter;
    Sleep(CloseWatchDelay);
    char title[MaxText];
    if (!IsWindow(window) || !ReadWindowText(window, title, MaxText))
        return 0;
    SetForegroundWindow(ShellState.MainWindow);
    int answer = MessageBoxA(ShellState.MainWindow, TerminateQuestion, title,
                             MB_TOPMOST | MB_ICONQUESTION | MB_OKCANCEL);
    if (answer != IDOK)
        return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (process) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
    return 0;
}

void CloseTask(HWND window)
{
    ShowForUser(window, SW_SHOW);
    TakeOutOfCurrentFolder(window);
    HANDLE watch = CreateThread(nullptr, 0, CloseWatch, window, 0, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (watch)
        CloseHandle(watch);
}

// Walks the selected rows, handing the windows of window rows (those that
// exist) to act.
template <class Act>
void ForEachSelectedTask(Act act)
{
    ForEachSelectedItemRow([&](const ItemRow& row) {
        if (HWND window = row.LiveWindow())
            act(window);
        return true;
    });
}

// Starts a shortcut row's program or brings up a window row's window.
template <class OnWindow>
void StartOrBringUp(const RowSubject& row, OnWindow onWindow)
{
    if (Shortcut* shortcut = row.LiveShortcut())
        LaunchShortcut(shortcut);
    else if (HWND window = row.LiveWindow())
        onWindow(window);
}

} // namespace

void SendSystemCommand(HWND window, WPARAM command)
{
    SendMessageNoHang(window, WM_SYSCOMMAND, command, 0, nullptr, 1000);
}

void OpenSelected()
{
    ForEachSelectedItemRow([](const ItemRow& row) {
        StartOrBringUp(row, OpenTask);
        return true;
    });
    SyncPutAwayRecord();
}

void HideSelected()
{
    std::vector<HWND> hidden;
    ForEachSelectedTask([&](HWND window) {
        ContainedEntry* entry = ShellState.CurrentFolder
                                    ? ShellState.CurrentFolder->Contained->Append(window)
                                    : nullptr;
        if (entry)
            entry->ShowOnEnter = 0;
        hidden.push_back(window);
    });
    // Recorded before any of them goes.
    SyncPutAwayRecord();
    for (HWND window : hidden)
        ShowForUser(window, SW_HIDE);
}

void ShowSelected()
{
    ForEachSelectedTask([](HWND window) {
        TakeOutOfCurrentFolder(window);
        ShowForUser(window, SW_SHOWNA);
    });
    SyncPutAwayRecord();
}

void MinimizeSelected()
{
    ForEachSelectedTask([](HWND window) {
        ShowForUser(window, SW_SHOW);
        SendSystemCommand(window, SC_MINIMIZE);
        TakeOutOfCurrentFolder(window);
    });
    SyncPutAwayRecord();
}

void MaximizeSelected()
{
    ForEachSelectedTask([](HWND window) {
        ShowForUser(window, SW_SHOW);
        SendSystemCommand(window, SC_MAXIMIZE);
        TakeOutOfCurrentFolder(window);
    });
    SyncPutAwayRecord();
}

void CloseSelected()
{
    ForEachSelectedItemRow([](const ItemRow& row) {
        if (Shortcut* shortcut = row.LiveShortcut())
            return ConfirmDeleteShortcut(shortcut);
        if (HWND window = row.LiveWindow())
            CloseTask(window);
        return true;
    });
    SyncPutAwayRecord();
}

void PropertiesOfSelected()
{
    // A shortcut dialog's OK rebuilds the list while the next dialog is
    // open, which clears the selection: the rows are taken down first.
    std::vector<RowSubject> selected;
    ForEachSelectedItemRow([&](const ItemRow& row) {
        selected.push_back(row);
        return true;
    });
    for (const RowSubject& row : selected) {
        INT_PTR result;
        if (Shortcut* shortcut = row.LiveShortcut())
            result = EditShortcutCommand(ShellState.MainWindow, shortcut);
        else if (HWND window = row.LiveWindow())
            result = ShowTaskProperties(window);
        else
            continue;
        // Only the Task Properties dialog's Cancel ends the walk.
        if (result == IDCANCEL)
            break;
    }
}

INT_PTR ShowTaskProperties(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // Read for the details, and set after OK: a process that cannot be
    // opened so shows no dialog.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_SET_INFORMATION, FALSE, processId);
    if (!process)
        return 1;
    TaskPropertiesArgs args;
    args.Window = window;
    args.Process = process;
    args.HasShortcut = FindShortcutByWindow(ShellState.CurrentFolder, window) != nullptr;
    args.EditShortcut = [window](HWND dialog) {
        Shortcut* shortcut = FindShortcutByWindow(ShellState.CurrentFolder, window);
        // A title changed there labels the Task's row.
        if (shortcut)
            EditShortcutCommand(dialog, shortcut, window);
    };
    INT_PTR result = RunTaskPropertiesDialog(ShellState.MainWindow, args);
    // Set also when it is unchanged.
    if (args.Priority >= 0)
        SetPriorityClass(process, PriorityClassOf((DWORD)args.Priority));
    CloseHandle(process);
    return result;
}

void ActivateRow(int index)
{
    const ItemRow* row = ItemRowAt(index);
    if (!row)
        return;
    StartOrBringUp(*row, [](HWND window) {
        ShowForUser(window, SW_SHOW);
        TakeOutOfCurrentFolder(window);
        // Restored whether minimised or maximised.
        SendSystemCommand(window, SC_RESTORE);
        SetForegroundWindow(window);
        SyncPutAwayRecord();
    });
}

void ActivateRowAtCursor()
{
    DWORD position = GetMessagePos();
    LVHITTESTINFO hit = {};
    hit.pt.x = (short)LOWORD(position);
    hit.pt.y = (short)HIWORD(position);
    ScreenToClient(ShellState.ItemList, &hit.pt);
    int row = (int)SendMessageA(ShellState.ItemList, LVM_HITTEST, 0, (LPARAM)&hit);
    if (row >= 0 && (hit.flags & LVHT_ONITEM))
        ActivateRow(row);
}

bool RenameTask(HWND window, const char* text)
{
    if (!IsWindow(window))
        return false;
    SendMessageNoHang(window, WM_SETTEXT, 0, (LPARAM)text, nullptr, 2000);
    return true;
}
