// Corvanix Setup: installs Corvanix from the folder it is started from, or
// removes it.
#include <windows.h>
#include <ddeml.h>

#include "hotkeyctl/hotkeyctl.h"
#include "setup/background.h"
#include "setup/messagebox.h"
#include "setup/resource.h"
#include "setup/setupstate.h"

namespace {

const char Caption[] = "Corvanix Setup";
// Two setups at once would copy over and delete each other's files.
const char InstanceMutexName[] = "Corvanix Setup";

// Setup only asks Program Manager; it answers nothing.
HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// Tells the user and brings the setup that runs already to the front.
void ShowRunningSetup()
{
    MessageBoxA(nullptr, "Corvanix Setup is already running.", Caption,
                MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    HWND other = FindWindowA("SetupClass", nullptr);
    if (other)
        SetForegroundWindow(GetLastActivePopup(other));
}

int RunMessageLoop()
{
    MSG message;
    for (BOOL got; (got = GetMessageA(&message, nullptr, 0, 0)) != 0;) {
        // A message too large to be carried over from another process is
        // dropped by the system: setup goes on with its work.
        if (got == -1)
            continue;
        if (SetupState.ProgressWindow && IsDialogMessageA(SetupState.ProgressWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetupState.Instance = instance;
    HANDLE guard = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    if (guard && GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowRunningSetup();
        CloseHandle(guard);
        return 0;
    }
    if (!RegisterBackgroundClass(instance))
        return 0;
    RegisterHotKeyControlClass(instance);
    GetWindowRect(GetDesktopWindow(), &SetupState.Screen);
    if (!CreateBackgroundWindow())
        return 0;
    if (!ReadSystem()) {
        SetupMessage("Corvanix Setup cannot run from this folder: its path is too long.\n\n"
                     "Copy the Setup files to a folder with a shorter path and start it there.",
                     Caption, MB_OK | MB_ICONERROR);
        EndSetup();
        return RunMessageLoop();
    }
    DdeInitializeA(&SetupState.DdeInstance, DdeCallback, APPCLASS_STANDARD | APPCMD_CLIENTONLY, 0);
    PostMessageA(SetupState.Background, WM_COMMAND, IDM_SETUP_START, 0);
    int exitCode = RunMessageLoop();
    if (guard)
        CloseHandle(guard);
    return exitCode;
}
