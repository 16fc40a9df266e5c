// The conversation with Program Manager (service and topic "PROGMAN"),
// one at a time, on the DDE instance made at start-up. When nobody
// answers, the conversation is empty and every command fails silently.
#pragma once
#include <windows.h>

void ProgmanConnect(const char* service, const char* topic);
// One synchronous execute of a command such as "[CreateGroup(Corvanix)]";
// its result is not used.
void ProgmanExecute(const char* command);
void ProgmanDisconnect();
