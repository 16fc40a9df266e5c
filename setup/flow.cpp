#include "setup/flow.h"

#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include <string>

#include "common/product.h"
#include "setup/background.h"
#include "setup/hotkeyscreen.h"
#include "setup/install.h"
#include "setup/messagebox.h"
#include "setup/remove.h"
#include "setup/resource.h"
#include "setup/running.h"
#include "setup/setupstate.h"
#include "setup/welcome.h"

namespace {

const char Caption[] = "Corvanix Setup";

int Ask(const char* question, UINT buttons)
{
    return SetupMessage(question, Caption, buttons | MB_ICONQUESTION);
}

// Windows before version 4, and the builds of Windows NT before 3.51, are
// asked whether to go on.
bool VersionAccepted()
{
    bool old = SetupState.SystemVersion < 4 || (SetupState.IsNT && SetupState.BuildNumber < 1000);
    if (!old)
        return true;
    return Ask("Corvanix Requires Microsoft Windows Version 4.0\n"
               "or Microsoft Windows NT Version 3.51 (or later).\n\n"
               "This computer does not appear to be running one of\n"
               "these operating systems.\n\n"
               "Do you want to continue with installation anyway ?",
               MB_YESNO) == IDYES;
}

void StartInstalledProgram()
{
    char path[MaxText * 2];
    snprintf(path, sizeof path, "%s%s", SetupState.SystemDir, ProgramFileName);
    ShellExecuteA(nullptr, "Open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void InstallPath()
{
    HotKeyCode hotKey = 0;
    INT_PTR chosen = RunHotKeyScreen(&hotKey);
    if (chosen == IDCANCEL)
        return;
    if (chosen == IDOK)
        StoreGlobalHotKey(hotKey);
    int logon = Ask("Automatically Start Corvanix Upon Logon ?", MB_YESNOCANCEL);
    if (logon == IDCANCEL)
        return;
    SetupState.StartAtLogon = logon == IDYES;
    if (!InstallProgram()) {
        SetupMessage("Installation Failed.", Caption, MB_OK | MB_ICONERROR);
        return;
    }
    if (Ask("Start Corvanix Now ?", MB_YESNO) == IDYES)
        StartInstalledProgram();
    SetupMessage("Installation Complete.", Caption, MB_OK | MB_ICONINFORMATION);
}

// A running Corvanix would keep its program file and write its settings
// back at its exit: it is asked to end first. Whatever could not be
// removed is named, so that the user is never told of a removal that did
// not happen.
void RemovePath()
{
    EndRunningCorvanix();
    std::string remaining = RemoveFiles();
    remaining += RemoveRegistryEntries();
    if (remaining.empty()) {
        SetupMessage("Corvanix has been removed.", Caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string text = "Corvanix has been removed, except for what could not be deleted:\n\n";
    text += remaining;
    text += "\nClose any program that uses it, then run Setup again to remove it.";
    SetupMessage(text.c_str(), Caption, MB_OK | MB_ICONWARNING);
}

} // namespace

void RunSetupFlow()
{
    if (VersionAccepted()) {
        switch (RunWelcomeScreen()) {
        case IDC_WELCOME_REMOVE: RemovePath(); break;
        case IDC_WELCOME_INSTALL: InstallPath(); break;
        default: break;
        }
    }
    EndSetup();
}
