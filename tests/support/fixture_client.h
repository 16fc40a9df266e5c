// Starts fixture.exe (the stand-in application the tests work on) and
// drives it through its log and its control window. See the comment at the
// top of tests/fixture/fixture.cpp for its options and commands.
//
//   Fixture app;
//   ASSERT_TRUE(app.Start("--window \"Editor\" --window \"Big\" --state max"));
//   HWND editor = app.Window("Editor");
//   HWND third = app.Open("Third", "min");
//   app.Hang(0);  ...  app.Unhang();
//   app.Exit();
//
// Whatever happens, the destructor ends the process by its handle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

class Fixture {
public:
    Fixture();
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    // Starts fixture.exe from the directory of the running test executable
    // with "--log <temp file> " + args and waits for READY. Fails if it is
    // already started, does not start or exits first.
    bool Start(const std::string& args, DWORD timeoutMs = 10000);

    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_; }
    HWND ControlWindow() const { return control_; }
    const std::string& LogPath() const { return logPath_; }
    bool Running() const;
    // The exit code, or STILL_ACTIVE.
    DWORD ExitCode() const;

    // A visible-or-not top-level window of this process with exactly this
    // text, waiting up to timeoutMs for it; null if none.
    HWND Window(const std::string& title, DWORD timeoutMs = 5000);
    // The latest window logged as WINDOW <hwnd> <name> (name is the
    // --window/open argument, also for --empty-title windows), waiting up
    // to timeoutMs.
    HWND Created(const std::string& name, DWORD timeoutMs = 5000);
    // Top-level windows that this fixture created and that still exist, in
    // z-order; by default only those with a non-empty text.
    std::vector<HWND> Windows(bool withEmptyTitles = false);

    // Sends one control command; true if the control thread answered, the
    // answer (0 = failed or timed out in the fixture) in *result.
    bool Command(const std::string& line, LRESULT* result = nullptr,
                 DWORD timeoutMs = 10000);
    bool Ping();
    HWND Open(const std::string& title, const char* state = "normal");
    // A window with the command-line options, e.g.
    // OpenEx("--window \"Drop here\" --accept-files --refuse-close").
    HWND OpenEx(const std::string& windowArgs);
    bool Close(HWND hwnd);  // DestroyWindow on the fixture's UI thread
    bool SetTitle(HWND hwnd, const std::string& text);
    bool Show(HWND hwnd, const char* state);  // normal|min|max|hidden|noactivate|restore|show
    bool Hang(DWORD ms);  // 0 = until Unhang
    bool Unhang();        // returns once the UI thread answers again
    bool Mark(const std::string& text);
    // Has the fixture post a WM_DROPFILES that it built itself to hwnd (a
    // drop that is readable also where cross-process ones are not copied).
    bool SelfDrop(HWND hwnd, const std::vector<std::string>& files, int x, int y,
                  bool nonClient = false);

    std::vector<std::string> LogLines() const;
    std::vector<std::string> LogLines(const std::string& prefix) const;
    // Waits (pumping messages) until a line starting with prefix is logged.
    bool WaitForLog(const std::string& prefix, DWORD timeoutMs = 5000) const;

    // Asks it to exit and waits; terminates it by handle if it does not.
    // True if it exited on its own.
    bool Exit(DWORD timeoutMs = 5000);
    // Terminates it by handle and waits for it.
    void Kill();

    // "0x1A2B", as in the log and the commands.
    static std::string Hex(HWND hwnd);
    static HWND ParseHwnd(const std::string& text);
    // One argument, quoted for a Windows command line if needed.
    static std::string Quote(const std::string& arg);
    // Directory of the running executable, without a trailing backslash.
    static std::string ExeDirectory();

private:
    void Reset();

    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD pid_ = 0;
    HWND control_ = nullptr;
    std::string logPath_;
};
