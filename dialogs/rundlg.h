// The Run dialog: starts any command, offering the commands run before.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What the dialog offers, how it starts a command, and what it started.
struct RunDialogArgs {
    // In: the commands run before, newest first.
    std::vector<std::string> History;
    // In: starts a command (a shell shortcut file already replaced by its
    // target) with the separate-memory choice (1 or 0) and the priority
    // choice; the new process's id, or 0 when nothing started (the failure
    // has been reported): the dialog then stays open for a correction.
    std::function<DWORD(const std::string& command, DWORD separateMemory, DWORD priority)> Launch;
    // Out after a start: the command started, and its process's id.
    std::string Command;
    DWORD ProcessId = 0;
};

// Runs the dialog (template "RUN") owned by owner; 1 once a command was
// started, 0 after Cancel or the close box. The caller keeps the command
// in the history.
INT_PTR RunRunDialog(HWND owner, RunDialogArgs& args);
