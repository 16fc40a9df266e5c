// Starting a command line as a program, or as a document with the program
// the shell associates with it.
#pragma once
#include <windows.h>

#include <string>

// Starts the command with a working directory (may stand in quotes; empty:
// ours), a show state (0 normal, 1 minimised, 2 maximised), the choice of
// a separate memory space for 16-bit programs, and a priority choice.
// Returns the new process's id (1 when the system says 0), or 0 when
// nothing was started; every failure is reported in an "Execution Error"
// box. An empty command returns 0 without a word.
DWORD LaunchCommand(const char* commandLine, const char* workingDirectory, BYTE showState,
                    DWORD separateMemory, DWORD priority);

// True when the command names a program (no "." at all, or ".exe", ".com",
// ".bat" or ".pif" anywhere in it, ignoring case); otherwise a document.
bool NamesProgram(const char* commandLine);

// The command line given to the system: the command itself for a program;
// for a document its program's path, a blank and the command.
std::string CommandToRun(const char* commandLine);

// The reason text for a CreateProcess error code.
std::string LaunchErrorReason(DWORD error);

// 1 when the file is a 32-bit Windows program ("MZ", and "PE" with two zero
// bytes at offset 128), else 0.
int IsWin32Program(const char* path);

// The open-file dialog, starting in the directory and with the file name
// of the buffer's text; on success the buffer holds the chosen path.
bool BrowseForFile(HWND owner, char* buffer, int size, const char* filter, const char* title);

// Splits a path into the dialog's initial directory and file name.
void SplitBrowsePath(const char* path, std::string* directory, std::string* file);

// "Programs" (*.exe;*.com), then "All Files" (*.*).
extern const char ProgramFilter[];
