// The test application and its client, working together: what the other
// tests take for granted about fixture.exe.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fixture_client.h"

namespace {

std::string ClassOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND hwnd) {
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

bool Answers(HWND hwnd, DWORD timeoutMs = 500) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &r) != 0;
}

// A DROPFILES block as a drag source builds it: header, then ANSI names,
// each NUL-terminated, and one more NUL.
HGLOBAL MakeDrop(const std::vector<std::string>& files, POINT pt, BOOL nonClient) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& f : files) size += f.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!mem) return nullptr;
    char* p = static_cast<char*>(GlobalLock(mem));
    DROPFILES* hdr = reinterpret_cast<DROPFILES*>(p);
    hdr->pFiles = sizeof(DROPFILES);
    hdr->pt = pt;
    hdr->fNC = nonClient;
    hdr->fWide = FALSE;
    char* names = p + sizeof(DROPFILES);
    for (const std::string& f : files) {
        std::memcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    GlobalUnlock(mem);
    return mem;
}

TEST(FixtureTest, StartsWithItsWindowsInTheirStates) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window \"Plain one\" --window \"Big one\" --state max "
                          "--window Small --state min --window Invisible --state hidden"));
    HWND plain = app.Window("Plain one");
    HWND big = app.Window("Big one");
    HWND small = app.Window("Small");
    HWND invisible = app.Window("Invisible");
    ASSERT_NE(nullptr, plain);
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    ASSERT_NE(nullptr, invisible);
    EXPECT_TRUE(IsWindowVisible(plain));
    EXPECT_FALSE(IsZoomed(plain));
    EXPECT_FALSE(IsIconic(plain));
    EXPECT_TRUE(IsZoomed(big));
    EXPECT_TRUE(IsIconic(small));
    EXPECT_FALSE(IsWindowVisible(invisible));
    EXPECT_EQ(4u, app.Windows().size());
    EXPECT_EQ(plain, app.Created("Plain one"));
    EXPECT_EQ(1u, app.LogLines("READY " + std::to_string(app.Pid())).size());
    EXPECT_TRUE(app.Exit());
    EXPECT_FALSE(app.Running());
}

TEST(FixtureTest, WindowOptions) {
    Fixture app;
    ASSERT_TRUE(app.Start(
        "--window Owner --window Owned --owned --toolwindow "
        "--window \"With \\\"quoted\\\" and blanks\" --class CorvanixTestClassX "
        "--window Nameless --empty-title --window Dlg --dialog"));
    HWND owner = app.Window("Owner");
    HWND owned = app.Window("Owned");
    HWND quoted = app.Window("With \"quoted\" and blanks");
    HWND dlg = app.Window("Dlg");
    HWND nameless = app.Created("Nameless");
    ASSERT_NE(nullptr, owner);
    ASSERT_NE(nullptr, owned);
    ASSERT_NE(nullptr, quoted);
    ASSERT_NE(nullptr, dlg);
    ASSERT_NE(nullptr, nameless);

    EXPECT_EQ(owner, GetWindow(owned, GW_OWNER));
    EXPECT_TRUE(GetWindowLongA(owned, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ("CorvanixTestClassX", ClassOf(quoted));
    EXPECT_EQ("", TextOf(nameless));
    EXPECT_EQ("#32770", ClassOf(dlg));
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(nullptr, GetWindow(dlg, GW_OWNER));
    EXPECT_EQ(4u, app.Windows().size());
    EXPECT_EQ(5u, app.Windows(true).size());
}

// Wine keeps icons to their process: it sends no WM_GETICON, WM_SETICON or
// WM_QUERYDRAGICON to another process and gives no GCLP_HICON of another
// process's class. Where those work (Windows), check the icon options.
TEST(FixtureTest, IconOptions) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Iconic --window Iconless --no-icon "
                          "--window Dlg --dialog --window \"Dlg no icon\" --dialog --no-icon"));
    HWND iconic = app.Window("Iconic");
    HWND iconless = app.Window("Iconless");
    HWND dlg = app.Window("Dlg");
    HWND dlgNoIcon = app.Window("Dlg no icon");
    ASSERT_NE(nullptr, iconic);
    ASSERT_NE(nullptr, iconless);
    ASSERT_NE(nullptr, dlg);
    ASSERT_NE(nullptr, dlgNoIcon);

    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutA(iconic, WM_QUERYDRAGICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon))
        GTEST_SKIP() << "icon messages do not reach other processes here";
    EXPECT_NE(0u, icon);
    EXPECT_NE(0u, GetClassLongPtrA(iconic, GCLP_HICON));
    EXPECT_EQ(0u, GetClassLongPtrA(iconless, GCLP_HICON));
    ASSERT_TRUE(SendMessageTimeoutA(iconless, WM_QUERYDRAGICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon));
    EXPECT_EQ(0u, icon);
    ASSERT_TRUE(SendMessageTimeoutA(dlgNoIcon, WM_QUERYDRAGICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon));
    EXPECT_EQ(0u, icon);
    ASSERT_TRUE(SendMessageTimeoutA(dlg, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 2000, &icon));
    EXPECT_NE(0u, icon);
    ASSERT_TRUE(SendMessageTimeoutA(dlgNoIcon, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 2000, &icon));
    EXPECT_EQ(0u, icon);
}

TEST(FixtureTest, ControlChannelOpensRetitlesAndCloses) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window First"));
    HWND third = app.Open("Third one", "min");
    ASSERT_NE(nullptr, third);
    EXPECT_EQ(third, app.Window("Third one", 0));
    EXPECT_TRUE(IsIconic(third));

    HWND drop = app.OpenEx("--window \"Drop here\" --accept-files --state max");
    ASSERT_NE(nullptr, drop);
    EXPECT_TRUE(GetWindowLongA(drop, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(IsZoomed(drop));
    EXPECT_EQ(nullptr, app.OpenEx("--state max"));

    EXPECT_TRUE(app.SetTitle(third, "Renamed third"));
    EXPECT_EQ("Renamed third", TextOf(third));
    EXPECT_TRUE(app.Show(third, "restore"));
    EXPECT_FALSE(IsIconic(third));

    EXPECT_TRUE(app.Close(third));
    EXPECT_FALSE(IsWindow(third));
    EXPECT_FALSE(app.Close(third));
    EXPECT_TRUE(app.WaitForLog("DESTROY " + Fixture::Hex(third)));
    EXPECT_EQ(2u, app.Windows().size());
}

TEST(FixtureTest, HungUiThreadStillHasAControlChannel) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Sleeper --ui-timeout 500"));
    HWND hwnd = app.Window("Sleeper");
    ASSERT_NE(nullptr, hwnd);
    EXPECT_TRUE(Answers(hwnd));

    DWORD start = GetTickCount();
    ASSERT_TRUE(app.Hang(3000));
    EXPECT_FALSE(Answers(hwnd));
    EXPECT_TRUE(app.Ping());
    EXPECT_EQ(nullptr, app.Open("Not now"));  // the UI thread cannot make it
    EXPECT_TRUE(app.WaitForLog("UNHANG", 6000));
    EXPECT_GE(GetTickCount() - start, 2900u);
    EXPECT_TRUE(Answers(hwnd));
    // The timed-out request was dropped, not run late.
    PumpFor(200);
    EXPECT_EQ(nullptr, app.Window("Not now", 0));

    ASSERT_TRUE(app.Hang(0));
    EXPECT_FALSE(Answers(hwnd));
    EXPECT_TRUE(app.Unhang());
    EXPECT_TRUE(Answers(hwnd));
    EXPECT_TRUE(app.Exit());
}

TEST(FixtureTest, HangAfterStart) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Late --hang-after 1500"));
    HWND hwnd = app.Window("Late");
    ASSERT_NE(nullptr, hwnd);
    EXPECT_TRUE(app.WaitForLog("HANG 1500"));
    EXPECT_FALSE(Answers(hwnd));
    EXPECT_TRUE(app.WaitForLog("UNHANG", 4000));
    EXPECT_TRUE(Answers(hwnd));
}

TEST(FixtureTest, LogsDroppedFiles) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Target --accept-files"));
    HWND target = app.Window("Target");
    ASSERT_NE(nullptr, target);
    ASSERT_TRUE(app.SelfDrop(target, {"C:\\one.txt", "C:\\some dir\\two words.txt"}, 12, 34));
    ASSERT_TRUE(app.WaitForLog("DROPEND "));

    std::string h = Fixture::Hex(target);
    std::vector<std::string> hdr = app.LogLines("DROPHDR ");
    ASSERT_EQ(1u, hdr.size());
    EXPECT_EQ(0u, hdr[0].find("DROPHDR " + h + " pFiles=20 x=12 y=34 fNC=0 fWide=0 size="))
        << hdr[0];
    EXPECT_EQ(std::string::npos, hdr[0].find("invalid")) << hdr[0];
    std::vector<std::string> files = app.LogLines("DROP " + h + " ");
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ("DROP " + h + " 12 34 0 C:\\one.txt", files[0]);
    EXPECT_EQ("DROP " + h + " 12 34 0 C:\\some dir\\two words.txt", files[1]);
    EXPECT_EQ(1u, app.LogLines("DROPEND " + h + " 2").size());
}

// Windows copies the block of a WM_DROPFILES posted to another process;
// Wine 8 passes the bare handle, which means nothing over there. Either
// way the fixture must log what it got and carry on.
TEST(FixtureTest, DropFromAnotherProcess) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Target --accept-files"));
    HWND target = app.Window("Target");
    ASSERT_NE(nullptr, target);
    POINT pt = {7, 8};
    HGLOBAL drop = MakeDrop({"C:\\one.txt", "C:\\two.txt"}, pt, FALSE);
    ASSERT_NE(nullptr, drop);
    ASSERT_TRUE(PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
    ASSERT_TRUE(app.WaitForLog("DROPEND "));
    GlobalFree(drop);

    std::string h = Fixture::Hex(target);
    std::vector<std::string> hdr = app.LogLines("DROPHDR " + h);
    ASSERT_EQ(1u, hdr.size());
    std::vector<std::string> files = app.LogLines("DROP " + h + " ");
    if (hdr[0].find("invalid") != std::string::npos ||
        hdr[0].find("unreadable") != std::string::npos) {
        RecordProperty("cross_process_drop", "not copied");
        EXPECT_TRUE(files.empty());
    } else {
        RecordProperty("cross_process_drop", "copied");
        EXPECT_EQ(0u, hdr[0].find("DROPHDR " + h + " pFiles=20 x=7 y=8 fNC=0 fWide=0"));
        ASSERT_EQ(2u, files.size());
        EXPECT_EQ("DROP " + h + " 7 8 0 C:\\two.txt", files[1]);
    }
    EXPECT_TRUE(Answers(target));
    EXPECT_TRUE(app.Ping());
    EXPECT_TRUE(app.Exit());
}

TEST(FixtureTest, RefusesToCloseWhenAsked) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Stubborn --refuse-close --window Willing"));
    HWND stubborn = app.Window("Stubborn");
    HWND willing = app.Window("Willing");
    ASSERT_NE(nullptr, stubborn);
    ASSERT_NE(nullptr, willing);

    PostMessageA(stubborn, WM_CLOSE, 0, 0);
    PostMessageA(willing, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitForLog("CLOSE " + Fixture::Hex(stubborn) + " refused"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(willing); }, 3000));
    EXPECT_TRUE(IsWindow(stubborn));
    EXPECT_EQ(1u, app.LogLines("CLOSE " + Fixture::Hex(willing)).size());
    EXPECT_TRUE(app.Running());
}

TEST(FixtureTest, ExitWhenEmpty) {
    Fixture app;
    ASSERT_TRUE(app.Start("--window Only --exit-when-empty"));
    HWND only = app.Window("Only");
    ASSERT_NE(nullptr, only);
    PostMessageA(only, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !app.Running(); }, 5000));
    EXPECT_EQ(0u, app.ExitCode());
}

TEST(FixtureTest, BadArgumentsFailToStart) {
    Fixture app;
    EXPECT_FALSE(app.Start("--state max", 5000));
    EXPECT_FALSE(app.Running());
    std::vector<std::string> errors = app.LogLines("ERROR ");
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find("--window"));
}

TEST(FixtureTest, DestructorEndsAHungFixture) {
    HANDLE process = nullptr;
    {
        Fixture app;
        ASSERT_TRUE(app.Start("--window Forgotten"));
        ASSERT_TRUE(app.Hang(0));
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), app.Process(), GetCurrentProcess(),
                                    &process, SYNCHRONIZE, FALSE, 0));
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000));
    CloseHandle(process);
}

TEST(FixtureTest, TwoFixturesKeepTheirOwnWindows) {
    Fixture a, b;
    ASSERT_TRUE(a.Start("--window Same"));
    ASSERT_TRUE(b.Start("--window Same"));
    HWND wa = a.Window("Same");
    HWND wb = b.Window("Same");
    ASSERT_NE(nullptr, wa);
    ASSERT_NE(nullptr, wb);
    EXPECT_NE(wa, wb);
    EXPECT_NE(a.ControlWindow(), b.ControlWindow());
    EXPECT_TRUE(a.Close(wa));
    EXPECT_FALSE(IsWindow(wa));
    EXPECT_TRUE(IsWindow(wb));
}

}  // namespace
