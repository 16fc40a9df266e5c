// A program the test starts as a process of its own, held by its handle so
// that it can always be ended by it.
#pragma once
#include <windows.h>

#include <string>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // ends it by its handle when it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program with the command line (which names the program
    // first), the show command and the working directory (empty: the
    // test's own).
    bool Start(const std::string& program, std::string commandLine, int show = SW_SHOWNORMAL,
               const std::string& directory = "");
    bool Started() const { return process_ != nullptr; }
    bool Ended() const;
    // Waits for the process to end, pumping the test's messages; false on
    // time-out.
    bool WaitForExit(DWORD timeoutMs);
    // The exit code, or STILL_ACTIVE.
    DWORD ExitCode() const;
    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_; }
    // Ends it by its handle and lets the handle go.
    void Kill();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};
