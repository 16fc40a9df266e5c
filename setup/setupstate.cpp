#include "setup/setupstate.h"

#include <string.h>

SetupStateRecord SetupState;

namespace {

// Copies a directory and appends a backslash when it has none; false when
// the result would not fit.
bool SetDirectory(char* target, const char* directory)
{
    size_t length = strlen(directory);
    bool slash = length > 0 && directory[length - 1] == '\\';
    if (length == 0 || length + (slash ? 0 : 1) >= (size_t)MaxText)
        return false;
    memcpy(target, directory, length + 1);
    if (!slash)
        strcat(target, "\\");
    return true;
}

} // namespace

bool ReadSystem()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    SetupState.IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    SetupState.SystemVersion = (double)version.dwMajorVersion + (double)(version.dwMinorVersion / 10);
    SetupState.BuildNumber = version.dwBuildNumber;

    char directory[MAX_PATH * 2] = "";
    UINT length = GetSystemDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory || !SetDirectory(SetupState.SystemDir, directory))
        return false;

    char program[MAX_PATH * 2] = "";
    DWORD size = GetModuleFileNameA(nullptr, program, sizeof program);
    if (size == 0 || size >= sizeof program)
        return false;
    char* slash = strrchr(program, '\\');
    if (!slash)
        return false;
    slash[1] = '\0';
    return SetDirectory(SetupState.SourceDir, program);
}

void CentreOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    SetWindowPos(window, nullptr, SetupState.Screen.right / 2 - width / 2,
                 SetupState.Screen.bottom / 2 - height / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
