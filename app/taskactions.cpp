#include "app/taskactions.h"

#include <commctrl.h>
#include <stdio.h>

#include <vector>

#include "dialogs/shortcutdlg.h"
#include "dialogs/taskprop.h"
#include "launch/launch.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/itemlist.h"
#include "store/putaway.h"
#include "winkit/listrows.h"
#include "winkit/winutil.h"

#include <vector>

namespace {

const char TerminateQuestion[] =
    "This application has not responded to the close window\r\n"
    "command. It may be waiting for input from you.\r\n\n"
    "Do you want to terminate the application anyway ?";

bool IsShortcutRow(LPARAM data)
{
    return HasShortcut(ShellState.CurrentFolder, data);
}

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

// Walks the selected rows, handing Task rows (windows that exist) to act.
template <class Act>
void ForEachSelectedTask(Act act)
{
    ForEachSelectedRow(ShellState.ItemList, [&](int, LPARAM data) {
        if (!IsShortcutRow(data) && IsWindow((HWND)data))
            act((HWND)data);
        return true;
    });
}

} // namespace

void SendSystemCommand(HWND window, WPARAM command)
{
    SendMessageNoHang(window, WM_SYSCOMMAND, command, 0, nullptr, 1000);
}

void OpenSelected()
{
    ForEachSelectedRow(ShellState.ItemList, [](int, LPARAM data) {
        if (IsShortcutRow(data))
            LaunchShortcut((Shortcut*)data);
        else if (IsWindow((HWND)data))
            OpenTask((HWND)data);
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
    ForEachSelectedRow(ShellState.ItemList, [](int, LPARAM data) {
        if (IsShortcutRow(data))
            return ConfirmDeleteShortcut((Shortcut*)data);
        if (IsWindow((HWND)data))
            CloseTask((HWND)data);
        return true;
    });
    SyncPutAwayRecord();
}

void PropertiesOfSelected()
{
    // A shortcut dialog's OK rebuilds the list while the next dialog is
    // open, which clears the selection: the rows are taken down first.
    std::vector<LPARAM> selected;
    ForEachSelectedRow(ShellState.ItemList, [&](int, LPARAM data) {
        selected.push_back(data);
        return true;
    });
    for (LPARAM data : selected) {
        INT_PTR result;
        if (IsShortcutRow(data))
            result = RunShortcutDialog(ShellState.MainWindow, (Shortcut*)data, FALSE,
                                       RowOfData(ShellState.ItemList, data));
        else if (IsWindow((HWND)data))
            result = RunTaskPropertiesDialog((HWND)data, RowOfData(ShellState.ItemList, data));
        else
            continue;
        // Only the Task Properties dialog's Cancel ends the walk.
        if (result == IDCANCEL)
            break;
    }
}

void ActivateRow(LPARAM data)
{
    if (IsShortcutRow(data)) {
        LaunchShortcut((Shortcut*)data);
        return;
    }
    HWND window = (HWND)data;
    if (!IsWindow(window))
        return;
    ShowForUser(window, SW_SHOW);
    TakeOutOfCurrentFolder(window);
    // Restored whether minimised or maximised.
    SendSystemCommand(window, SC_RESTORE);
    SetForegroundWindow(window);
    SyncPutAwayRecord();
}

void ActivateRowAtCursor()
{
    DWORD position = GetMessagePos();
    LVHITTESTINFO hit = {};
    hit.pt.x = (short)LOWORD(position);
    hit.pt.y = (short)HIWORD(position);
    ScreenToClient(ShellState.ItemList, &hit.pt);
    int row = (int)SendMessageA(ShellState.ItemList, LVM_HITTEST, 0, (LPARAM)&hit);
    LPARAM data;
    if (row < 0 || !(hit.flags & LVHT_ONITEM) || !RowData(ShellState.ItemList, row, &data))
        return;
    ActivateRow(data);
}

bool RenameTask(HWND window, const char* text)
{
    if (!IsWindow(window))
        return false;
    SendMessageNoHang(window, WM_SETTEXT, 0, (LPARAM)text, nullptr, 2000);
    return true;
}
