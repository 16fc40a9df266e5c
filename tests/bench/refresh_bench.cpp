// Benchmark of the refresh: with 10, 100 and 500 top-level windows of
// fixture processes on the desktop, the time and processor time of a
// steady pass (nothing changed), of a rebuild pass and of a folder switch
// that puts every window away and brings it back, against a floor: a bare
// EnumWindows loop that reads each window's visibility, class, title and
// process id. The time until the windows of a switch away and back have
// settled is set against its own floor: a bare loop of ShowWindowAsync
// hides to the same windows, the wait until all are hidden, the shows our
// switch asks for and the wait until all are visible. Also the item-list
// writes of a steady pass, and a switch storm: 200 folder switches in a
// row, the time until every window has settled and the number of windows
// misfiled (which must be 0).
//
// Prints figures; asserts nothing. Run with scripts/bench.sh; the sizes to
// run may be given as arguments (refresh_bench 500).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemrows.h"
#include "tasks/refresh.h"
#include "winkit/winutil.h"
#include "app_session.h"
#include "fixture_client.h"
#include "session_probe.h"
#include "wait.h"

namespace {

struct Clock {
    LARGE_INTEGER start;
    FILETIME cpuStart;
    static ULONGLONG Cpu()
    {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
        ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
        return k.QuadPart + u.QuadPart;
    }
    void Start()
    {
        QueryPerformanceCounter(&start);
        ULONGLONG cpu = Cpu();
        cpuStart = {(DWORD)cpu, (DWORD)(cpu >> 32)};
    }
    // Wall and processor milliseconds since Start.
    void Stop(double* wall, double* cpu) const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        *wall = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        ULONGLONG begun = ((ULONGLONG)cpuStart.dwHighDateTime << 32) | cpuStart.dwLowDateTime;
        *cpu = (Cpu() - begun) / 10000.0;
    }
};

struct Figure {
    double Wall = 0, Cpu = 0;
};

struct FloorCount {
    int Windows = 0;
};

BOOL CALLBACK FloorProc(HWND window, LPARAM param)
{
    char className[MaxText], text[MaxText];
    DWORD processId;
    volatile BOOL visible = IsWindowVisible(window);
    (void)visible;
    GetClassNameA(window, className, MaxText);
    GetWindowTextA(window, text, MaxText);
    GetWindowThreadProcessId(window, &processId);
    ((FloorCount*)param)->Windows++;
    return TRUE;
}

Figure Measure(int repeats, void (*work)())
{
    Figure total;
    for (int i = 0; i < repeats; i++) {
        Clock clock;
        clock.Start();
        work();
        double wall, cpu;
        clock.Stop(&wall, &cpu);
        total.Wall += wall;
        total.Cpu += cpu;
    }
    total.Wall /= repeats;
    total.Cpu /= repeats;
    return total;
}

RefreshCache* Cache()
{
    static RefreshCache cache;
    return &cache;
}

// One whole pass, both halves, as the two threads would run it.
void OnePass()
{
    std::unique_ptr<RefreshPass> pass(GatherRefreshPass(Cache()));
    pass->Generation = ShellState.RefreshGeneration;
    RefreshTaskList(*pass);
}

void FloorLoop()
{
    FloorCount count;
    EnumWindows(FloorProc, (LPARAM)&count);
}

void FolderSwitch()
{
    SwitchToFolder(1);
    SwitchToFolder(0);
}

// Windows not where the folders say: put away (away) in the first folder's
// list exactly once and hidden, or (not away) visible and in no list.
int Misfiled(const std::vector<HWND>& all, bool away)
{
    int misfiled = 0;
    for (HWND window : all) {
        int inFirst = 0, elsewhere = 0;
        for (ContainedEntry* entry = FolderAt(0)->Contained->Head; entry; entry = entry->Next)
            inFirst += entry->Window == window;
        for (int i = 1; i < FolderCount(); i++)
            elsewhere += FolderAt(i)->Contained->Contains(window);
        bool right = inFirst == (away ? 1 : 0) && elsewhere == 0 &&
                     (IsWindowVisible(window) != 0) != away;
        misfiled += !right;
    }
    return misfiled;
}

// Waits (answering the owners' acknowledgements) until every window shows
// what was last asked and no request is outstanding.
Figure Settle(const std::vector<HWND>& all, bool away)
{
    Clock clock;
    clock.Start();
    WaitFor([&] { return AllVisible(all, !away) && PendingShowCount() == 0; }, 300000, 5);
    Figure settled;
    clock.Stop(&settled.Wall, &settled.Cpu);
    return settled;
}

// Waits until every window shows as asked, looking each time only from
// the first window not yet there: a check of all 500 windows every few
// milliseconds would keep the window server, and with it the owners, busy.
void WaitUntilAll(const std::vector<HWND>& all, bool visible)
{
    size_t first = 0;
    WaitFor([&] {
        while (first < all.size() && (IsWindowVisible(all[first]) != 0) == visible)
            first++;
        return first == all.size() && AllVisible(all, visible);
    }, 300000, 5);
}

// Waits until every window is visible and no request of ours is
// outstanding, so that a measured switch starts from a quiet desktop.
void Quiet(const std::vector<HWND>& all)
{
    WaitFor([&] { return AllVisible(all) && PendingShowCount() == 0; }, 300000, 5);
    PumpFor(200);
}

// The floor of a switch away and back: the same hides and shows, asked
// for in a bare loop, waited for as a switch's are.
Figure ShowFloor(const std::vector<HWND>& all)
{
    Quiet(all);
    std::vector<int> commands;
    for (HWND window : all)
        commands.push_back(ShowAgainCommand(window));
    Clock clock;
    clock.Start();
    for (HWND window : all)
        ShowWindowAsync(window, SW_HIDE);
    WaitUntilAll(all, false);
    for (size_t i = 0; i < all.size(); i++)
        ShowWindowAsync(all[i], commands[i]);
    WaitUntilAll(all, true);
    Figure floor;
    clock.Stop(&floor.Wall, &floor.Cpu);
    return floor;
}

// A switch away and back, until every window really is away and back.
Figure SwitchSettled(const std::vector<HWND>& all)
{
    Quiet(all);
    Clock clock;
    clock.Start();
    SwitchToFolder(1);
    WaitUntilAll(all, false);
    SwitchToFolder(0);
    WaitUntilAll(all, true);
    Figure settled;
    clock.Stop(&settled.Wall, &settled.Cpu);
    return settled;
}

void Report(const char* what, const Figure& figure, const Figure& floor)
{
    printf("  %-34s %9.2f ms wall (x%6.1f)  %9.2f ms cpu (x%6.1f)\n", what, figure.Wall,
           floor.Wall > 0 ? figure.Wall / floor.Wall : 0.0, figure.Cpu,
           floor.Cpu > 0 ? figure.Cpu / floor.Cpu : 0.0);
}

void RunSize(int windows)
{
    // Up to 100 windows per fixture process.
    std::vector<std::unique_ptr<Fixture>> apps;
    std::vector<HWND> all;
    for (int made = 0; made < windows;) {
        int here = windows - made < 100 ? windows - made : 100;
        std::string args;
        for (int i = 0; i < here; i++)
            args += "--window \"Bench " + std::to_string(made + i) + "\" --rect 10 10 120 60 ";
        apps.emplace_back(new Fixture);
        if (!apps.back()->Start(args, 60000)) {
            printf("could not start the fixture\n");
            return;
        }
        for (HWND window : apps.back()->Windows())
            all.push_back(window);
        made += here;
    }

    FreshStart();
    Settings.View = 3;
    AppSession session;
    session.Start();
    // Passes are run by hand below; the thread stays out of the way.
    StopRefreshThread();
    AddFolder("Away");
    AddFolder("Third");
    RequestRefresh();
    OnePass();
    int rows = ItemRows();

    const int repeats = windows >= 500 ? 10 : 30;
    Figure floor = Measure(repeats, FloorLoop);
    Figure steady = Measure(repeats, OnePass);

    std::vector<std::string> before = AllItemCells();
    LONG writes = ItemListWrites();
    OnePass();
    LONG steadyWrites = ItemListWrites() - writes;
    std::vector<std::string> after = AllItemCells();
    int changed = 0, timeCells = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); i++) {
        if (before[i] != after[i]) {
            changed++;
            timeCells += (i % 6 == 4 || i % 6 == 5);
        }
    }

    Figure rebuild = Measure(repeats / 3 + 1, [] {
        RequestRefresh();
        OnePass();
    });

    // The switch itself, then until every window really is away and back,
    // that three times, each after its floor (the machine is shared).
    Figure switching = Measure(3, FolderSwitch);
    Figure showFloor, settled;
    const int pairs = 3;
    for (int i = 0; i < pairs; i++) {
        Figure floorOnce = ShowFloor(all), settledOnce = SwitchSettled(all);
        showFloor.Wall += floorOnce.Wall / pairs;
        showFloor.Cpu += floorOnce.Cpu / pairs;
        settled.Wall += settledOnce.Wall / pairs;
        settled.Cpu += settledOnce.Cpu / pairs;
    }
    Quiet(all);

    // The storm: switches in a row round all three folders, far faster
    // than the owners carry out the hides and shows, ending in "Away".
    const int stormSwitches = 200;
    for (int i = 0; i < stormSwitches - 1; i++)
        SwitchToFolder((i + 1) % 3);
    SwitchToFolder(1);
    Figure stormSettled = Settle(all, true);
    int stormMisfiled = Misfiled(all, true);
    SwitchToFolder(0);
    Figure backSettled = Settle(all, false);
    int backMisfiled = Misfiled(all, false);

    printf("%d windows (%d rows, %d passes each):\n", windows, rows, repeats);
    Report("floor: EnumWindows loop", floor, floor);
    Report("steady pass (gather + apply)", steady, floor);
    Report("rebuild pass", rebuild, floor);
    Report("folder switch away and back", switching, floor);
    Report("  ... until all windows settled", settled, floor);
    Report("floor: ShowWindowAsync away and back", showFloor, showFloor);
    Report("switch settled against that floor", settled, showFloor);
    printf("  steady pass: %ld list writes, %d cells changed (%d of them processor times)\n",
           steadyWrites, changed, timeCells);
    printf("  switch storm, %d switches ending away: %.0f ms until settled, %d misfiled\n",
           stormSwitches, stormSettled.Wall, stormMisfiled);
    printf("  ... and back: %.0f ms until settled, %d misfiled\n\n", backSettled.Wall, backMisfiled);
    fflush(stdout);
    session.Exit();
    for (auto& app : apps)
        app->Exit(10000);
}

} // namespace

int main(int argc, char** argv)
{
    printf("Refresh benchmark (times per operation, mean; x = ratio to the floor)\n\n");
    if (argc > 1) {
        for (int i = 1; i < argc; i++)
            RunSize(atoi(argv[i]));
        return 0;
    }
    for (int windows : {10, 100, 500})
        RunSize(windows);
    return 0;
}
