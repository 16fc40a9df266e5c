#include "app/dialogcommands.h"

#include <commctrl.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/resource.h"
#include "app/startup.h"
#include "common/texts.h"
#include "dialogs/folderdlg.h"
#include "dialogs/rundlg.h"
#include "dialogs/setupdlg.h"
#include "dialogs/shortcutdlg.h"
#include "hotkeyctl/hotkeyctl.h"
#include "launch/launch.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemlist.h"
#include "panes/itemrows.h"
#include "panes/trayicon.h"
#include "winkit/listrows.h"

namespace {

std::string QuotedTitle(int paneIndex)
{
    Folder* folder = FolderAt(paneIndex);
    return std::string("\"") + (folder ? folder->Title.Get() : "") + "\"";
}

// Who holds a combination that a folder could not register: the global hot
// key or a folder of an earlier row, else another program.
std::string HolderOf(const LostHotKey& loss)
{
    if (Settings.HotKey == loss.Code)
        return "the global hot key already uses it";
    for (int i = 0; i < loss.PaneIndex; i++) {
        Folder* folder = FolderAt(i);
        if (folder && folder->HotKey == loss.Code)
            return "the folder " + QuotedTitle(i) + " already uses it";
    }
    return "another program already uses it";
}

// The text that tells which hot keys were lost, empty when none was.
std::string LostHotKeysText(const std::vector<LostHotKey>& lost)
{
    std::string text;
    for (const LostHotKey& loss : lost) {
        char name[MaxText];
        HotKeyText(loss.Code, name, sizeof name);
        if (!text.empty())
            text += "\n";
        if (loss.PaneIndex < 0)
            text += std::string("Corvanix lost its global hot key ") + name +
                    ": another program already uses it.";
        else
            text += "The folder " + QuotedTitle(loss.PaneIndex) + " lost its hot key " + name +
                    ": " + HolderOf(loss) + ".";
    }
    return text;
}

void ReportLostHotKeys(const std::vector<LostHotKey>& lost)
{
    std::string text = LostHotKeysText(lost);
    if (!text.empty())
        MessageBoxA(ShellState.MainWindow, text.c_str(), "Hot Key in Use", MB_ICONEXCLAMATION);
}

bool FolderListFull(HWND owner)
{
    if (FolderCount() < MaxFolders)
        return false;
    char text[160];
    snprintf(text, sizeof text,
             "Corvanix keeps at most %d folders. Delete a folder before you make a new one.",
             MaxFolders);
    MessageBoxA(owner, text, "New Folder", MB_ICONINFORMATION);
    return true;
}

bool MakeFolder(const FolderDialogArgs& chosen)
{
    Folder* folder = CreateFolder(chosen.Title.c_str(), chosen.HotKey, chosen.ListSystemTasks);
    if (!folder) {
        MessageBoxA(ShellState.MainWindow, "There is not enough memory to make the folder.",
                    "New Folder", MB_ICONERROR);
        return false;
    }
    AddFolderRow(folder);
    return true;
}

bool RegisterGlobalHotKey(HotKeyCode code)
{
    return RegisterHotKey(ShellState.MainWindow, GlobalHotKeyId, HotKeyModifiers(code),
                          HotKeyVirtualKey(code)) != 0;
}

// Places the main window above all others, or among them, as Settings Top
// says; position and size stay.
void ApplyAlwaysOnTop()
{
    SetWindowPos(ShellState.MainWindow, Settings.Top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ApplyListColor(COLORREF color)
{
    Settings.Color = color;
    ApplyListColors();
    InvalidateRect(ShellState.FolderPane, nullptr, TRUE);
    InvalidateRect(ShellState.ItemList, nullptr, TRUE);
    RequestRefresh();
}

SetupDialogArgs SetupArgsFromSettings()
{
    SetupDialogArgs args;
    args.Priority = Settings.Priority;
    args.Top = Settings.Top;
    args.Progman = Settings.Progman;
    args.HotKey = Settings.HotKey;
    args.TaskBar = Settings.TaskBar;
    args.AutoClose = Settings.AutoClose;
    args.HasTray = ShellState.IsNewShell != 0;
    args.Color = Settings.Color;
    args.TakeHotKey = RegisterGlobalHotKey;
    args.ApplyColor = ApplyListColor;
    args.CustomizeToolbar = [] { SendMessageA(ShellState.ToolbarWindow, TB_CUSTOMIZE, 0, 0); };
    return args;
}

// The options chosen; the global hot key is registered already.
void ApplySetup(const SetupDialogArgs& chosen)
{
    Settings.HotKey = chosen.HotKey;
    if (ShellState.IsNewShell) {
        if (chosen.TaskBar)
            AddTrayIcon();
        else
            RemoveTrayIcon();
    }
    Settings.TaskBar = chosen.TaskBar;
    Settings.AutoClose = chosen.AutoClose;
    Settings.Top = chosen.Top;
    // Placed with the dialog gone: while it was open, the window system may
    // have kept the owner just below its owned dialog, which is not
    // topmost, and so not topmost either.
    ApplyAlwaysOnTop();
    Settings.Progman = chosen.Progman;
    __atomic_store_n(&Settings.Priority, chosen.Priority, __ATOMIC_RELAXED);
    SetPriorityClass(GetCurrentProcess(), PriorityClassOf(Settings.Priority));
    RequestRefresh();
}

// A shortcut the registry would not give back is not made at all.
bool CurrentFolderHasRoom(HWND owner)
{
    if (ShortcutCount(ShellState.CurrentFolder) < MaxShortcutsPerFolder)
        return true;
    char text[128];
    snprintf(text, sizeof text, "Only %d shortcuts fit in a folder; the shortcut was not made.",
             MaxShortcutsPerFolder);
    MessageBoxA(owner, text, ShortcutNoticeCaption, MB_ICONEXCLAMATION);
    return false;
}

ShortcutDialogFields FieldsOf(const Shortcut* shortcut)
{
    ShortcutDialogFields fields;
    fields.Title = shortcut->Title.Get();
    fields.CommandLine = shortcut->CommandLine.Get();
    fields.WorkingDirectory = shortcut->WorkingDirectory.Get();
    fields.IconFile = shortcut->IconFile.Get();
    fields.IconIndex = shortcut->IconIndex;
    fields.ShowState = shortcut->ShowState;
    fields.Priority = shortcut->Priority;
    fields.MultipleInstances = shortcut->MultipleInstances;
    fields.ContainInFolder = shortcut->ContainInFolder;
    fields.SeparateMemory = shortcut->SeparateMemory;
    return fields;
}

void StoreFields(Shortcut* shortcut, const ShortcutDialogFields& fields)
{
    shortcut->Title.Set(fields.Title.c_str());
    shortcut->CommandLine.Set(fields.CommandLine.c_str());
    shortcut->WorkingDirectory.Set(fields.WorkingDirectory.c_str());
    shortcut->IconFile.Set(fields.IconFile.c_str());
    shortcut->IconIndex = fields.IconIndex;
    shortcut->ShowState = fields.ShowState;
    shortcut->Priority = fields.Priority;
    shortcut->MultipleInstances = fields.MultipleInstances;
    shortcut->ContainInFolder = fields.ContainInFolder;
    shortcut->SeparateMemory = fields.SeparateMemory;
    LoadShortcutIcon(shortcut);
}

} // namespace

void NewFolderCommand()
{
    RunBusy([] {
        if (FolderListFull(ShellState.MainWindow))
            return;
        FolderDialogArgs args;
        args.NewFolder = true;
        args.HotKey = OfferedFolderHotKey(FolderCount());
        if (RunFolderDialog(ShellState.MainWindow, args) != 1 || !MakeFolder(args))
            return;
        RequestRefresh();
        // All of them anew, as after Properties: a folder deleted since the
        // last registration may have left its row's identifier taken.
        UnregisterHotKeys();
        ReportLostHotKeys(RegisterHotKeys());
    });
}

void FolderPropertiesCommand()
{
    RunBusy([] {
        int row = FirstSelectedRow(ShellState.FolderPane);
        Folder* folder = FolderAt(row);
        if (!folder)
            return;
        ShellState.CurrentFolder = folder;
        ShellState.CurrentFolderIndex = row;
        UnregisterHotKeys();
        FolderDialogArgs args;
        args.Title = folder->Title.Get();
        args.HotKey = folder->HotKey;
        args.ListSystemTasks = folder->ListSystemTasks;
        if (RunFolderDialog(ShellState.MainWindow, args) == 1) {
            folder->Title.Set(args.Title.c_str());
            folder->HotKey = args.HotKey;
            folder->ListSystemTasks = args.ListSystemTasks;
            RequestRefresh();
        }
        UpdateFolderRow(row);
        ReportLostHotKeys(RegisterHotKeys());
    });
}

void SetupCommand()
{
    RunBusy([] {
        // Without a notification area there is no icon to choose, nor any
        // to keep.
        if (!ShellState.IsNewShell)
            Settings.TaskBar = 0;
        // Pressing the current combination in the hot-key field must reach
        // the field, not call the main window up.
        UnregisterHotKey(ShellState.MainWindow, GlobalHotKeyId);
        SetupDialogArgs args = SetupArgsFromSettings();
        if (RunSetupDialog(ShellState.MainWindow, args) != 1) {
            if (!RegisterGlobalHotKey(Settings.HotKey))
                Settings.HotKey = 0;
            return;
        }
        ApplySetup(args);
        // Saving needs the main window's layout.
        SaveLayoutAndSettings();
    });
}

void RunProgramCommand()
{
    RunBusy([] {
        RunDialogArgs args;
        for (int slot = 0; slot < RunHistoryCount(); slot++)
            args.History.push_back(RunHistoryText(slot));
        args.Launch = [](const std::string& command, DWORD separateMemory, DWORD priority) {
            return LaunchCommand(command.c_str(), "", 0, separateMemory, priority);
        };
        if (RunRunDialog(ShellState.MainWindow, args) == 1)
            RunHistoryInsert(args.Command.c_str());
    });
}

INT_PTR CreateShortcutCommand(HWND owner)
{
    if (!CurrentFolderHasRoom(owner))
        return 0;
    ShortcutDialogArgs args;
    args.CreateMode = true;
    args.FolderHasRoom = CurrentFolderHasRoom;
    if (RunShortcutDialog(owner, args) != 1)
        return 0;
    Shortcut* shortcut = AddShortcut(ShellState.CurrentFolder);
    if (!shortcut)
        return 0;
    StoreFields(shortcut, args.Fields);
    RequestRefresh();
    return 1;
}

INT_PTR EditShortcutCommand(HWND owner, Shortcut* shortcut, HWND taskWindow)
{
    if (!shortcut)
        return 0;
    ShortcutDialogArgs args;
    args.Fields = FieldsOf(shortcut);
    if (RunShortcutDialog(owner, args) != 1)
        return 0;
    StoreFields(shortcut, args.Fields);
    // Another folder may have been entered by its hot key while the dialog
    // was open: then no row shows the shortcut.
    if (HasShortcut(ShellState.CurrentFolder, (LPARAM)shortcut)) {
        if (taskWindow)
            SetRowLabel(taskWindow, shortcut->Title.Get());
        else
            SetRowLabel(shortcut, shortcut->Title.Get());
    }
    RequestRefresh();
    return 1;
}
