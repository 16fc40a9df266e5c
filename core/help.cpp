#include "core/help.h"

#include "common/product.h"

void ShowHelpTopic(HWND owner, const char* keyword)
{
    WinHelpA(owner, HelpFileName, HELP_KEY, (ULONG_PTR)keyword);
}

void ShowHelpContents(HWND owner)
{
    WinHelpA(owner, HelpFileName, HELP_CONTENTS, 0);
}
