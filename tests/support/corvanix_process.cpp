#include "corvanix_process.h"

#include "app/resource.h"
#include "fixture_client.h"
#include "wait.h"

HWND FindCorvanixWindow()
{
    return FindWindowA("Corvanix", nullptr);
}

CorvanixProcess::~CorvanixProcess()
{
    Kill();
}

bool CorvanixProcess::Start(const std::string& tail, int show)
{
    std::string exe = Fixture::ExeDirectory() + "\\Corvanix.exe";
    std::string commandLine = Fixture::Quote(exe);
    if (!tail.empty())
        commandLine += " " + tail;
    return process_.Start("", commandLine, show);
}

HWND CorvanixProcess::WaitForMainWindow(DWORD timeoutMs)
{
    WaitFor([&] {
        HWND window = FindCorvanixWindow();
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        main_ = owner == process_.Pid() ? window : nullptr;
        return main_ != nullptr;
    }, timeoutMs);
    return main_;
}

bool CorvanixProcess::WaitForExit(DWORD timeoutMs)
{
    return process_.WaitForExit(timeoutMs);
}

DWORD CorvanixProcess::ExitCode() const
{
    return process_.ExitCode();
}

bool CorvanixProcess::Exit(DWORD timeoutMs)
{
    if (!process_.Started())
        return true;
    HWND main = main_ ? main_ : WaitForMainWindow(2000);
    if (main)
        PostMessageA(main, WM_COMMAND, IDM_EXIT, 0);
    bool ended = WaitForExit(timeoutMs);
    if (!ended)
        Kill();
    return ended;
}

void CorvanixProcess::Kill()
{
    process_.Kill();
}
