// A test that runs Corvanix in its own thread with the main window in
// front, from a clean registry, and puts everything back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include "common/hotkeycode.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "app_session.h"
#include "wait.h"

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
    void TearDown() override
    {
        session.Exit();
        ResetSettings();
        CleanRegistry();
    }
    void Start()
    {
        ASSERT_TRUE(session.Start());
        SetForegroundWindow(ShellState.MainWindow);
        ASSERT_TRUE(WaitFor([] { return GetForegroundWindow() == ShellState.MainWindow; }, 3000));
    }

    AppSession session;
};

// Whether some window holds the combination as its hot key: registering
// it once more fails.
inline bool HotKeyHeld(HotKeyCode code)
{
    if (!RegisterHotKey(nullptr, 0x7000, HotKeyModifiers(code), HotKeyVirtualKey(code)))
        return true;
    UnregisterHotKey(nullptr, 0x7000);
    return false;
}
