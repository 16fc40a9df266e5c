#include "app/dialogcommands.h"

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/startup.h"
#include "common/texts.h"
#include "dialogs/folderdlg.h"
#include "dialogs/setupdlg.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
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

} // namespace

void NewFolderCommand()
{
    RunBusy([] {
        if (RunFolderDialog(ShellState.MainWindow, nullptr, TRUE, FolderCount()) != 1)
            return;
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
        RunFolderDialog(ShellState.MainWindow, folder, FALSE, row);
        UpdateFolderRow(row);
        ReportLostHotKeys(RegisterHotKeys());
    });
}

void SetupCommand()
{
    // The dialog applies the options; saving them, which needs the main
    // window's layout, is done here once it has closed.
    RunBusy([] {
        if (RunSetupDialog(ShellState.MainWindow) != 1)
            return;
        // Placed once more with the dialog gone: while it was open, the
        // window system may have kept the owner just below its owned dialog,
        // which is not topmost, and so not topmost either.
        ApplyAlwaysOnTop();
        SaveLayoutAndSettings();
    });
}
