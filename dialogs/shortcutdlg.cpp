#include "dialogs/shortcutdlg.h"

INT_PTR RunShortcutDialog(HWND, Shortcut*, BOOL, int)
{
    return IDOK;
}
