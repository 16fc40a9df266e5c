// What the dialogs of the main program share: the modal plumbing with each
// message handled under the fault guard, the priority list, and the parts
// of the two dialogs that take a command line.
#pragma once
#include <windows.h>

#include "common/modal.h"

// A dialog of the main program: a fault or an exception while one of its
// messages is handled is reported in the "Exception Error" box it owns,
// and the dialog goes on.
class GuardedDialog : public ModalDialog {
protected:
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, Handler handler) override;
};

// A dialog over the struct that holds its inputs and results.
template <class Args>
class ArgsDialog : public GuardedDialog {
public:
    explicit ArgsDialog(Args& args) : args(args) {}

protected:
    Args& args;
};

// Fills a drop-down list with the priority choices "Normal", "Low", "High"
// and "Highest", in the order of their numbers, and selects one (a number
// beyond them selects none).
void FillPriorityList(HWND dialog, int id, DWORD selected);
// The priority choice selected in such a list; fallback when none is.
DWORD ChosenPriority(HWND dialog, int id, DWORD fallback);

// "Run in Separate Memory Space" follows the command: a 32-bit program
// runs in a memory space of its own anyway, so the box is ticked and
// locked; for anything else it is cleared and free.
void FollowProgramKind(HWND dialog, int separateBox, const char* command);

// Browse: the open-file dialog for a program, titled "Browse" and starting
// at the file that the command field names (without its quotes). True
// with the chosen path in path, a MaxText buffer.
bool BrowseForProgram(HWND dialog, int commandField, char* path);
