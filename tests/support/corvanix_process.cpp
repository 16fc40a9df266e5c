#include "corvanix_process.h"

#include "core/resource.h"
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
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

HWND CorvanixProcess::WaitForMainWindow(DWORD timeoutMs)
{
    WaitFor([&] {
        HWND window = FindCorvanixWindow();
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        main_ = owner == pid_ ? window : nullptr;
        return main_ != nullptr;
    }, timeoutMs);
    return main_;
}

bool CorvanixProcess::WaitForExit(DWORD timeoutMs)
{
    if (!process_)
        return true;
    return WaitFor([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD CorvanixProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

bool CorvanixProcess::Exit(DWORD timeoutMs)
{
    if (!process_)
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
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}
