// Corvanix: running applications and folders of program shortcuts in one
// window.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand)
{
    int exitCode = 0;
    if (!StartUp(instance, commandTail, showCommand, &exitCode))
        return exitCode;
    return RunMessageLoop();
}
