// The last resort when Corvanix itself faults: every window the folders
// have put away is shown again before the process ends.
//
// A fault that its message's guard can take back is reported and survived
// (winkit/faultguard.h). Anything else - a fault in a system library or
// under one of its frames, on another thread, outside any message, a stack
// overflow, an exception nobody catches (std::terminate and abort end in
// SIGABRT) - comes here: a fresh thread (the faulting one may have no
// stack left) shows every window of the put-away record
// (store/putaway.h), which lives outside the process and so is whole
// whatever the fault broke, and the process ends with the fault's code.
#pragma once
#include <windows.h>

// Installs the fault guard and the last resort; Exit and the installer's
// message remove them again.
void InstallFaultHandlers();
void RemoveFaultHandlers();

// Shows every recorded window and ends the process with the code.
void EndAfterFault(DWORD code);
