#include "panes/newshortcuts.h"

#include <stdio.h>

#include <string>

#include "launch/shelllink.h"
#include "model/model.h"
#include "model/shellstate.h"
#include "panes/itemlist.h"
#include "panes/itemrows.h"
#include "panes/statusbar.h"

namespace {

// A drop that has run this long shows that it is at work.
const DWORD BusyAfterMs = 150;
const DWORD ProgressEveryMs = 100;

// The busy cursor and the progress line of a long drop, from the moment
// it turns out long until it ends.
class DropProgress {
public:
    explicit DropProgress(UINT files) : files_(files), started_(GetTickCount()) {}
    ~DropProgress()
    {
        if (!shown_)
            return;
        EndStatusProgress();
        SetCursor(cursor_);
    }
    DropProgress(const DropProgress&) = delete;
    DropProgress& operator=(const DropProgress&) = delete;

    void At(UINT done)
    {
        DWORD now = GetTickCount();
        if (!shown_) {
            if (now - started_ < BusyAfterMs)
                return;
            shown_ = true;
            cursor_ = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
        } else if (now - shownAt_ < ProgressEveryMs) {
            return;
        }
        shownAt_ = now;
        char text[96];
        snprintf(text, sizeof text, "Adding shortcuts: %u of %u files", done, files_);
        ShowStatusProgress(text);
    }

private:
    UINT files_;
    DWORD started_;
    DWORD shownAt_ = 0;
    bool shown_ = false;
    HCURSOR cursor_ = nullptr;
};

Shortcut* AddShortcutFromFields(Folder* folder, const ShortcutFields& fields)
{
    Shortcut* shortcut = AddShortcut(folder);
    if (!shortcut)
        return nullptr;
    shortcut->Title.Set(fields.Title);
    shortcut->CommandLine.Set(fields.CommandLine);
    shortcut->WorkingDirectory.Set(fields.WorkingDirectory);
    shortcut->IconFile.Set(fields.IconFile);
    shortcut->IconIndex = fields.IconIndex;
    // Its icon is loaded with its row: a drop of many files must not wait
    // for hundreds of icons.
    return shortcut;
}

std::string Counted(int n, const char* thing)
{
    return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

} // namespace

ShortcutTally AddDroppedFiles(HDROP drop, Folder* folder, POINT position)
{
    ShortcutTally tally;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    DropProgress progress(count);
    for (UINT i = 0; i < count; i++) {
        progress.At(i);
        if (ShortcutRoom(folder) == 0) {
            tally.NoRoom = (int)(count - i);
            break;
        }
        char name[MaxText];
        if (!ReadDroppedName(drop, i, name)) {
            if (DragQueryFileA(drop, i, nullptr, 0) >= (UINT)MaxText)
                tally.TooLong++;
            continue;
        }
        ShortcutFields fields;
        if (!ShortcutFromFile(name, &fields)) {
            if (!fields.TooLong)
                break;
            tally.TooLong++;
            continue;
        }
        Shortcut* shortcut = AddShortcutFromFields(folder, fields);
        if (!shortcut)
            continue;
        shortcut->Position = position;
        tally.Made++;
    }
    return tally;
}

void ReportShortcutTally(const ShortcutTally& tally, const char* things, const char* done)
{
    std::string text;
    if (tally.NoRoom > 0) {
        text += "Only " + std::to_string(MaxShortcutsPerFolder) + " shortcuts fit in a folder; " +
                Counted(tally.NoRoom, things) + (tally.NoRoom == 1 ? " was not " : " were not ") +
                done + ".";
    }
    if (tally.TooLong > 0) {
        if (!text.empty())
            text += "\n\n";
        text += Counted(tally.TooLong, things) + (tally.TooLong == 1 ? " was not " : " were not ") +
                done + (tally.TooLong == 1 ? ": its name is" : ": their names are") +
                " too long to be kept whole.";
    }
    if (!text.empty())
        MessageBoxA(ShellState.MainWindow, text.c_str(), ShortcutTallyCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool TransferRow(const RowSubject& row, int paneIndex, bool move, ShortcutTally* tally)
{
    Shortcut* shortcut = row.LiveShortcut();
    if (!shortcut) {
        HWND window = row.LiveWindow();
        return window && TransferToFolder(window, paneIndex, move);
    }
    if (TransferToFolder(shortcut, paneIndex, move)) {
        tally->Made++;
        return true;
    }
    if (ShortcutRoom(FolderAt(paneIndex)) == 0)
        tally->NoRoom++;
    return false;
}
