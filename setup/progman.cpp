#include "setup/progman.h"

#include <string.h>

#include "setup/setupstate.h"

namespace {

const DWORD ExecuteTimeoutMs = 3000;

} // namespace

void ProgmanConnect(const char* service, const char* topic)
{
    ProgmanDisconnect();
    if (!SetupState.DdeInstance)
        return;
    SetupState.ProgmanService = DdeCreateStringHandleA(SetupState.DdeInstance, service, CP_WINANSI);
    SetupState.ProgmanTopic = DdeCreateStringHandleA(SetupState.DdeInstance, topic, CP_WINANSI);
    SetupState.ProgmanConversation =
        DdeConnect(SetupState.DdeInstance, SetupState.ProgmanService, SetupState.ProgmanTopic, nullptr);
}

void ProgmanExecute(const char* command)
{
    if (!SetupState.ProgmanConversation)
        return;
    DdeClientTransaction((LPBYTE)command, (DWORD)strlen(command) + 1, SetupState.ProgmanConversation,
                         nullptr, 0, XTYP_EXECUTE, ExecuteTimeoutMs, nullptr);
}

void ProgmanDisconnect()
{
    if (SetupState.ProgmanService)
        DdeFreeStringHandle(SetupState.DdeInstance, SetupState.ProgmanService);
    if (SetupState.ProgmanTopic)
        DdeFreeStringHandle(SetupState.DdeInstance, SetupState.ProgmanTopic);
    if (SetupState.ProgmanConversation)
        DdeDisconnect(SetupState.ProgmanConversation);
    SetupState.ProgmanService = nullptr;
    SetupState.ProgmanTopic = nullptr;
    SetupState.ProgmanConversation = nullptr;
}
