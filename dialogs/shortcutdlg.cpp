#include "dialogs/shortcutdlg.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "dialogs/controlids.h"
#include "dialogs/maindialog.h"
#include "launch/shelllink.h"
#include "model/commandtext.h"
#include "model/shellstate.h"
#include "winkit/help.h"
#include "winkit/winutil.h"

const char ShortcutNoticeCaption[] = "Corvanix Shortcut";

namespace {

const int IconItemHeight = 36;

// ExtractIcon answers the number of icons of a file for index -1; only
// its low word is a count.
int IconCountOf(const char* file)
{
    if (!file[0])
        return 0;
    return (int)((UINT_PTR)ExtractIconA(ShellState.Instance, file, (UINT)-1) & 0xFFFF);
}

int ShowStateButton(BYTE showState)
{
    switch (showState) {
    case 1: return IDC_SHORTCUT_MINIMIZED;
    case 2: return IDC_SHORTCUT_MAXIMIZED;
    default: return IDC_SHORTCUT_NORMAL;
    }
}

BYTE ChosenShowState(HWND dialog)
{
    if (Checked(dialog, IDC_SHORTCUT_MINIMIZED))
        return 1;
    if (Checked(dialog, IDC_SHORTCUT_MAXIMIZED))
        return 2;
    return 0;
}

// The title of a shortcut whose title field is empty: the command line
// (so a path keeps its path) cut at its first ".", its first character in
// upper case.
void TitleFromCommandLine(const char* commandLine, char* title, int size)
{
    lstrcpynA(title, commandLine ? commandLine : "", size);
    if (char* dot = strchr(title, '.'))
        *dot = 0;
    CharUpperBuffA(title, title[0] ? 1 : 0);
}

// A text the registry could not give back would start something else
// after the next start: it is refused, with the field named.
bool FitsAShortcut(HWND dialog, const ShortcutDialogFields& input)
{
    const struct {
        const std::string* Text;
        const char* Name;
        int Field;
    } fields[] = {
        {&input.Title, "title", IDC_SHORTCUT_TITLE},
        {&input.CommandLine, "command line", IDC_SHORTCUT_COMMAND},
        {&input.WorkingDirectory, "working directory", IDC_SHORTCUT_DIRECTORY},
        {&input.IconFile, "icon file name", IDC_SHORTCUT_ICONFILE},
    };
    for (const auto& field : fields) {
        if (field.Text->size() <= (size_t)MaxTextLength)
            continue;
        char text[160];
        snprintf(text, sizeof text, "The %s is too long: a shortcut keeps at most %d characters.",
                 field.Name, MaxTextLength);
        MessageBoxA(dialog, text, ShortcutNoticeCaption, MB_ICONEXCLAMATION);
        FocusControl(dialog, field.Field);
        return false;
    }
    // Neither a title nor a command to make one from: a row nobody could
    // tell apart or start.
    if (input.Title.empty()) {
        MessageBoxA(dialog, "The shortcut needs a title or a command line.", ShortcutNoticeCaption,
                    MB_ICONEXCLAMATION);
        FocusControl(dialog, IDC_SHORTCUT_TITLE);
        return false;
    }
    return true;
}

class ShortcutDialog : public ArgsDialog<ShortcutDialogArgs> {
public:
    using ArgsDialog::ArgsDialog;
    ~ShortcutDialog() override
    {
        for (HBRUSH brush : {captionBrush, faceBrush})
            if (brush)
                DeleteObject(brush);
    }

private:
    void FillIconList(const char* iconFile)
    {
        char file[MaxText];
        lstrcpynA(file, iconFile, MaxText);
        lstrcpynA(this->iconFile, StripQuotes(file), MaxText);
        iconCount = IconCountOf(this->iconFile);
        HWND list = GetDlgItem(Dialog(), IDC_SHORTCUT_ICONS);
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < iconCount; i++)
            SendMessageA(list, LB_ADDSTRING, 0, 0);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }

    void OnCommandLineChanged()
    {
        std::string command = DialogItemText(Dialog(), IDC_SHORTCUT_COMMAND);
        FollowProgramKind(Dialog(), IDC_SHORTCUT_SEPARATE, command.c_str());
    }

    // Several instances of one program cannot be told apart when the folder
    // is left, so they are always put away with it.
    void LockContainToMultiple()
    {
        HWND dialog = Dialog();
        bool multiple = Checked(dialog, IDC_SHORTCUT_MULTIPLE);
        if (multiple)
            SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
        EnableWindow(GetDlgItem(dialog, IDC_SHORTCUT_CONTAIN), !multiple);
    }

    void OnIconFileChanged()
    {
        HWND field = GetDlgItem(Dialog(), IDC_SHORTCUT_ICONFILE);
        if (!SendMessageA(field, EM_GETMODIFY, 0, 0))
            return;
        FillIconList(DialogItemText(Dialog(), IDC_SHORTCUT_ICONFILE).c_str());
        SendDlgItemMessageA(Dialog(), IDC_SHORTCUT_ICONS, LB_SETCURSEL, 0, 0);
        SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    }

    void FillFromFields(const ShortcutDialogFields& fields)
    {
        HWND dialog = Dialog();
        SetDlgItemTextA(dialog, IDC_SHORTCUT_TITLE, fields.Title.c_str());
        SetDlgItemTextA(dialog, IDC_SHORTCUT_COMMAND, fields.CommandLine.c_str());
        SetDlgItemTextA(dialog, IDC_SHORTCUT_DIRECTORY, fields.WorkingDirectory.c_str());
        SetDlgItemTextA(dialog, IDC_SHORTCUT_ICONFILE, fields.IconFile.c_str());
        FillIconList(fields.IconFile.c_str());
        // An index beyond the file's icons selects nothing.
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONS, LB_SETCURSEL, (WPARAM)fields.IconIndex, 0);
        CheckRadioButton(dialog, IDC_SHORTCUT_NORMAL, IDC_SHORTCUT_MAXIMIZED,
                         ShowStateButton(fields.ShowState));
        // The command line has already set the separate-memory box by the
        // program's kind; the stored flags only add to the boxes, and lock
        // nothing: only a click on "Run Multiple Instances" does.
        if (fields.MultipleInstances)
            SetChecked(dialog, IDC_SHORTCUT_MULTIPLE, true);
        if (fields.ContainInFolder)
            SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
        if (fields.SeparateMemory)
            SetChecked(dialog, IDC_SHORTCUT_SEPARATE, true);
    }

    BOOL OnInit() override
    {
        HWND dialog = Dialog();
        FillPriorityList(dialog, IDC_SHORTCUT_PRIORITY,
                         args.CreateMode ? (DWORD)PriorityNormal : args.Fields.Priority);
        captionBrush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
        faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

        if (args.CreateMode) {
            SetWindowTextA(dialog, "Create Shortcut");
            CheckRadioButton(dialog, IDC_SHORTCUT_NORMAL, IDC_SHORTCUT_MAXIMIZED, IDC_SHORTCUT_NORMAL);
            SetChecked(dialog, IDC_SHORTCUT_CONTAIN, true);
        } else {
            FillFromFields(args.Fields);
        }
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONFILE, EM_SETMODIFY, FALSE, 0);
        return TRUE;
    }

    void OnDrawItem(const DRAWITEMSTRUCT* draw)
    {
        if (!faceBrush || draw->itemID == (UINT)-1)
            return;
        RECT frame = draw->rcItem;
        frame.left += 4;
        frame.right -= 4;
        FrameRect(draw->hDC, &frame, (draw->itemState & ODS_SELECTED) ? captionBrush : faceBrush);
        HICON icon = ExtractIconA(ShellState.Instance, iconFile, draw->itemID);
        bool own = (UINT_PTR)icon > 1;
        int width = draw->rcItem.right - draw->rcItem.left;
        DrawIcon(draw->hDC, draw->rcItem.left + (width - 32) / 2, draw->rcItem.top + 2,
                 own ? icon : DefaultIcon());
        if (own)
            DestroyIcon(icon);
    }

    INT_PTR OnColorListBox(HDC dc, HWND control)
    {
        if (!faceBrush || control != GetDlgItem(Dialog(), IDC_SHORTCUT_ICONS))
            return FALSE;
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return (INT_PTR)faceBrush;
    }

    void OnBrowse()
    {
        HWND dialog = Dialog();
        char path[MaxText];
        if (!BrowseForProgram(dialog, IDC_SHORTCUT_COMMAND, path))
            return;

        std::string chosen = QuotedIfBlank(path);
        SetDlgItemTextA(dialog, IDC_SHORTCUT_COMMAND, chosen.c_str());
        SetDlgItemTextA(dialog, IDC_SHORTCUT_ICONFILE, chosen.c_str());
        if (DialogItemText(dialog, IDC_SHORTCUT_TITLE).empty()) {
            // TitleFromPath puts the path in lower case, and the working
            // directory below is taken from it as it then is.
            char title[MaxText];
            TitleFromPath(path, title, MaxText);
            if (strstr(title, ".exe"))
                *strchr(title, '.') = 0;
            SetDlgItemTextA(dialog, IDC_SHORTCUT_TITLE, title);
        }
        char* slash = strrchr(path, '\\');
        std::string directory = slash ? std::string(path, (size_t)(slash - path)) : std::string();
        SetDlgItemTextA(dialog, IDC_SHORTCUT_DIRECTORY, QuotedIfBlank(directory).c_str());

        SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONFILE, EM_SETMODIFY, TRUE, 0);
        OnIconFileChanged();
        FocusControl(dialog, IDC_SHORTCUT_TITLE);
    }

    // The fields as OK stores them, read from the dialog.
    ShortcutDialogFields ChosenFields()
    {
        HWND dialog = Dialog();
        ShortcutDialogFields fields;
        fields.Title = DialogItemText(dialog, IDC_SHORTCUT_TITLE);
        fields.CommandLine = DialogItemText(dialog, IDC_SHORTCUT_COMMAND);
        fields.WorkingDirectory = DialogItemText(dialog, IDC_SHORTCUT_DIRECTORY);
        fields.IconFile = DialogItemText(dialog, IDC_SHORTCUT_ICONFILE);
        if (fields.Title.empty()) {
            std::string command = fields.CommandLine.substr(0, MaxTextLength);
            char title[MaxText];
            TitleFromCommandLine(command.c_str(), title, MaxText);
            if (!title[0])
                UsableTitle(command.c_str(), title);
            fields.Title = title;
        }
        LRESULT icon = SendDlgItemMessageA(dialog, IDC_SHORTCUT_ICONS, LB_GETCURSEL, 0, 0);
        fields.IconIndex = icon == LB_ERR ? 0 : (LONG)icon;
        fields.ShowState = ChosenShowState(dialog);
        fields.MultipleInstances = Checked(dialog, IDC_SHORTCUT_MULTIPLE) ? 1 : 0;
        fields.ContainInFolder = Checked(dialog, IDC_SHORTCUT_CONTAIN) ? 1 : 0;
        fields.SeparateMemory = Checked(dialog, IDC_SHORTCUT_SEPARATE) ? 1 : 0;
        fields.Priority = ChosenPriority(dialog, IDC_SHORTCUT_PRIORITY, PriorityNormal);
        return fields;
    }

    void OnOK() override
    {
        HWND dialog = Dialog();
        ShortcutDialogFields fields = ChosenFields();
        if (!FitsAShortcut(dialog, fields))
            return;
        if (args.CreateMode && !args.FolderHasRoom(dialog)) {
            End(0);
            return;
        }
        if (fields.IconFile.empty()) {
            char program[MaxText];
            lstrcpynA(program, fields.CommandLine.c_str(), MaxText);
            const char* first = FirstArgument(program);
            fields.IconFile = first ? first : "";
            fields.IconIndex = 0;
        }
        args.Fields = fields;
        End(1);
    }

    void OnCancel() override { End(0); }

    BOOL OnCommand(int id, int) override
    {
        switch (id) {
        case IDC_SHORTCUT_BROWSE: OnBrowse(); return TRUE;
        case IDC_SHORTCUT_HELP: ShowHelpTopic(Dialog(), "Shortcut Properties"); return TRUE;
        case IDC_SHORTCUT_COMMAND: OnCommandLineChanged(); return TRUE;
        case IDC_SHORTCUT_ICONFILE: OnIconFileChanged(); return TRUE;
        case IDC_SHORTCUT_MULTIPLE: LockContainToMultiple(); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_MEASUREITEM: ((MEASUREITEMSTRUCT*)lParam)->itemHeight = IconItemHeight; return TRUE;
        case WM_DRAWITEM: OnDrawItem((const DRAWITEMSTRUCT*)lParam); return TRUE;
        case WM_CTLCOLORLISTBOX: return OnColorListBox((HDC)wParam, (HWND)lParam);
        default: return FALSE;
        }
    }

    HBRUSH captionBrush = nullptr;
    HBRUSH faceBrush = nullptr;
    // The icon file, without quotes, whose icons the list shows.
    char iconFile[MaxText] = "";
    int iconCount = 0;
};

} // namespace

INT_PTR RunShortcutDialog(HWND owner, ShortcutDialogArgs& args)
{
    ShortcutDialog dialog(args);
    return dialog.Run(ShellState.Instance, "SHORTCUT", owner) == 1 ? 1 : 0;
}
