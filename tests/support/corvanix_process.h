// Corvanix.exe as a process of its own, started the way a user or the
// shell would start it.
#pragma once
#include <windows.h>

#include <string>

#include "child_process.h"

class CorvanixProcess {
public:
    CorvanixProcess() = default;
    ~CorvanixProcess();
    CorvanixProcess(const CorvanixProcess&) = delete;
    CorvanixProcess& operator=(const CorvanixProcess&) = delete;

    // Starts Corvanix.exe (next to the test program) with the command tail
    // and the show command handed to it.
    bool Start(const std::string& tail = "", int show = SW_SHOWNORMAL);
    // Waits for its main window (class "Corvanix") to exist.
    HWND WaitForMainWindow(DWORD timeoutMs = 10000);
    // Waits for the process to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs = 10000);
    DWORD ExitCode() const;
    DWORD Pid() const { return process_.Pid(); }
    HANDLE Process() const { return process_.Process(); }
    // Asks for Exit (the File menu's command) and waits for the end; the
    // process is terminated by its handle when it does not end.
    bool Exit(DWORD timeoutMs = 10000);
    // Ends it by its handle.
    void Kill();

private:
    ChildProcess process_;
    HWND main_ = nullptr;
};

// The main window of any running Corvanix, or null.
HWND FindCorvanixWindow();
