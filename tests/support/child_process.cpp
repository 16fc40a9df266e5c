#include "child_process.h"

#include "wait.h"

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::string& program, std::string commandLine, int show,
                         const std::string& directory)
{
    Kill();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), &commandLine[0], nullptr, nullptr,
                        FALSE, 0, nullptr, directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool ChildProcess::Ended() const
{
    return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs)
{
    return WaitFor([&] { return Ended(); }, timeoutMs);
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

void ChildProcess::Kill()
{
    if (!process_)
        return;
    if (!Ended()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}
