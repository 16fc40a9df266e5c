// Waiting in tests without blocking the calling thread's windows.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches every message waiting for the calling thread.
void PumpMessages();

// Pumps messages for about ms milliseconds.
void PumpFor(DWORD ms);

// Checks cond every stepMs (pumping messages in between) until it is true
// or timeoutMs have passed; cond is checked once more at the end. Returns
// the last result of cond.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs = 20);
