#include "folders/shortcutdlg.h"

INT_PTR RunShortcutDialog(HWND)
{
    return IDOK;
}
