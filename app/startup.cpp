#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <limits.h>

#include <string>

#include "app/faults.h"
#include "app/mainwnd.h"
#include "app/resource.h"
#include "common/messages.h"
#include "hotkeyctl/hotkeyctl.h"
#include "model/model.h"
#include "model/settings.h"
#include "model/shellstate.h"
#include "panes/folderpane.h"
#include "panes/itemlist.h"
#include "panes/itemrows.h"
#include "panes/statusbar.h"
#include "panes/toolbar.h"
#include "panes/trayicon.h"
#include "store/putaway.h"
#include "store/registry.h"
#include "tasks/refresh.h"
#include "tasks/taskenum.h"
#include "winkit/faultguard.h"
#include "winkit/help.h"
#include "winkit/shellcache.h"
#include "winkit/winutil.h"

namespace {

const int MainWidth = 468;
const int MainHeight = 246;

long ClampToLong(long long value)
{
    if (value > LONG_MAX)
        return LONG_MAX;
    if (value < LONG_MIN)
        return LONG_MIN;
    return (long)value;
}

// The program runs once per desktop. The first start holds this mutex,
// named after its window station and desktop, from its very first step to
// the end of its Exit (after the save, so that no start loads what an
// ending one is still writing), or until its start-up fails.
HANDLE InstanceMutex;
// How long a second start waits for the window of a first one that is
// still starting.
const DWORD HandOverWaitMs = 15000;
const DWORD HandOverStepMs = 50;
// How long it waits for the answer to its request, and for an ending
// program (whose save may take seconds) to be gone.
const DWORD HandOverAnswerMs = 5000;
const DWORD EndingWaitMs = 60000;
// Set when Exit or the installer's message ends the message loop.
bool QuitAsked;
// A message loop that can fetch nothing rests between tries (and tries a
// message of its own) after this many failures in a row, and after this
// many over this long ends.
const int FailuresBeforeRest = 10;
const DWORD RestMs = 10;
const int FailuresBeforeEnd = 100;
const DWORD FailingTimeBeforeEndMs = 10000;

// The names of the window station and desktop, where the system knows
// them (functions looked up, so that systems without them still start).
std::string InstanceName()
{
    typedef BOOL(WINAPI * ObjectInformation)(HANDLE, int, PVOID, DWORD, LPDWORD);
    ObjectInformation information = (ObjectInformation)(void*)GetProcAddress(
        GetModuleHandleA("user32.dll"), "GetUserObjectInformationA");
    std::string name = "Corvanix instance";
    for (HANDLE object : {(HANDLE)GetProcessWindowStation(),
                          (HANDLE)GetThreadDesktop(GetCurrentThreadId())}) {
        char part[MaxText] = "";
        DWORD needed = 0;
        if (information && object && information(object, UOI_NAME, part, sizeof part - 1, &needed))
            name += std::string(" ") + part;
    }
    return name;
}

// Lets the running instance take the foreground that this start has.
void LetComeForward(HWND running)
{
    typedef BOOL(WINAPI * AllowForeground)(DWORD);
    AllowForeground allow = (AllowForeground)(void*)GetProcAddress(GetModuleHandleA("user32.dll"),
                                                                   "AllowSetForegroundWindow");
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    if (allow && process)
        allow(process);
}

// The request of a second start: the number it was given as a hot key, or
// to come to the front. It is sent, so that the answer tells whether the
// running program took it: one that has begun its Exit refuses, and its
// window is about to go. One that is busy or hung takes it as a post.
bool HandOver(HWND running, const char* commandTail)
{
    long number = ParseForwardedNumber(commandTail);
    LetComeForward(running);
    UINT message = number != 0 ? WM_HOTKEY : WM_SHOWMAINWINDOW;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(running, message, (WPARAM)(LONG_PTR)number, 0, SMTO_ABORTIFHUNG,
                             HandOverAnswerMs, &answer))
        return IsWindow(running) != FALSE;
    return answer == RequestTaken;
}

// Step 1: a running instance gets our request and we end. A start that
// finds another one still starting waits for its window, and one that
// finds it ending waits for it to be gone; should either end, this start
// carries on as the program.
bool HandOverToRunningInstance(const char* commandTail)
{
    HANDLE mutex = InstanceMutex ? nullptr : CreateMutexA(nullptr, FALSE, InstanceName().c_str());
    // The window of a program that refused: it is ending. A start that
    // came meanwhile may be the program by the time it has gone.
    HWND ending = nullptr;
    for (DWORD waited = 0;; waited += HandOverStepMs) {
        DWORD taken = WAIT_TIMEOUT;
        if (!InstanceMutex)
            taken = mutex ? WaitForSingleObject(mutex, waited ? HandOverStepMs : 0) : WAIT_OBJECT_0;
        if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) {
            InstanceMutex = mutex;
            return false;
        }
        HWND running = FindWindowA(MainWindowClass, nullptr);
        if (running == ending)
            running = nullptr;
        bool handedOver = running && HandOver(running, commandTail);
        if (running && !handedOver)
            ending = running;
        if (handedOver || waited >= (ending ? EndingWaitMs : HandOverWaitMs)) {
            if (mutex)
                CloseHandle(mutex);
            return true;
        }
        if (InstanceMutex)
            Sleep(HandOverStepMs);
    }
}

void ReadPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    GetVersionExA(&version);
    ShellState.IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    ShellState.IsNewShell = version.dwMajorVersion > 3;
}

HICON LoadIconResource(const char* name, bool small = false)
{
    int size = small ? GetSystemMetrics(SM_CXSMICON) : 0;
    UINT flags = small ? 0 : LR_DEFAULTSIZE;
    return (HICON)LoadImageA(ShellState.Instance, name, IMAGE_ICON, size, size, flags);
}

void LoadIconsAndCursors()
{
    HINSTANCE instance = ShellState.Instance;
    // The tray shows small icons: take the drawn 16 x 16 image.
    ShellState.IconTable[IconTaskbar] = LoadIconResource("TASKBAR", true);
    ShellState.IconTable[IconNoClass] = LoadIconResource("NOCLASS");
    ShellState.IconTable[IconNot] = LoadIconResource("NOT");
    ShellState.IconTable[IconCopy] = LoadIconResource("SCOPY");
    ShellState.IconTable[IconMove] = LoadIconResource("SMOVE");
    ShellState.IconTable[IconView] = LoadIconResource("VIEW");
    ShellState.IconTable[IconOpenView] = LoadIconResource("OPENVIEW");
    ShellState.IconTable[IconShortcut] = LoadIconResource("SHORTCUT");
    ShellState.CursorTable[CursorArrow] = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    ShellState.CursorTable[CursorSizeWE] = LoadCursorA(nullptr, (LPCSTR)IDC_SIZEWE);
    ShellState.CursorTable[CursorCopy] = LoadCursorA(instance, "COPY");
    ShellState.CursorTable[CursorMove] = LoadCursorA(instance, "MOVE");
    ShellState.CursorTable[CursorCopyMany] = LoadCursorA(instance, "COPYM");
    ShellState.CursorTable[CursorMoveMany] = LoadCursorA(instance, "MOVEM");
    ShellState.CursorTable[CursorNot] = LoadCursorA(instance, "NOT");
}

bool RegisterMainClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = ShellState.Instance;
    wc.hIcon = LoadIconA(ShellState.Instance, "Icon");
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszMenuName = "MENU";
    wc.lpszClassName = MainWindowClass;
    return RegisterClassA(&wc) != 0;
}

bool CreateMainWindow()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    ShellState.MainWindow = CreateWindowExA(
        0, MainWindowClass, "Corvanix", WS_OVERLAPPEDWINDOW,
        (desktop.right - MainWidth) / 2, (desktop.bottom - MainHeight) / 2, MainWidth, MainHeight,
        nullptr, nullptr, ShellState.Instance, nullptr);
    return ShellState.MainWindow != nullptr;
}

HWND CreateListView(DWORD style)
{
    RECT client;
    GetClientRect(ShellState.MainWindow, &client);
    return CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, WC_LISTVIEWA, "", style,
                           0, 0, client.right, client.bottom, ShellState.MainWindow, nullptr,
                           ShellState.Instance, nullptr);
}

bool CreateFolderPane()
{
    ShellState.FolderPane = CreateListView(WS_CHILD | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER |
                                           LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS);
    if (!ShellState.FolderPane)
        return false;
    SetUpFolderPane(ShellState.FolderPane);
    return true;
}

bool CreateItemList()
{
    ShellState.ItemList = CreateListView(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT |
                                         LVS_SHOWSELALWAYS | LVS_EDITLABELS);
    if (!ShellState.ItemList)
        return false;
    SubclassItemList(ShellState.ItemList);
    return true;
}

void BuildContextMenus()
{
    HMENU folder = CreatePopupMenu();
    AppendMenuA(folder, MF_STRING, IDM_FOLDER_NEW, "&New...");
    AppendMenuA(folder, MF_STRING, IDM_FOLDER_DELETE, "&Delete...");
    AppendMenuA(folder, MF_STRING, IDM_FOLDER_PROPERTIES, "&Properties...");
    ShellState.FolderMenu = folder;

    HMENU item = CreatePopupMenu();
    AppendMenuA(item, MF_STRING, IDM_OPEN, "&Open");
    AppendMenuA(item, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(item, MF_STRING, IDM_HIDE, "&Hide");
    AppendMenuA(item, MF_STRING, IDM_MINIMIZE, "Mi&nimize");
    AppendMenuA(item, MF_STRING, IDM_MAXIMIZE, "Ma&ximize");
    AppendMenuA(item, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(item, MF_STRING, IDM_CLOSE, "&Close...");
    AppendMenuA(item, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(item, MF_STRING, IDM_CREATESHORTCUT, "Create &Shortcut...");
    AppendMenuA(item, MF_STRING, IDM_RENAME, "&Rename...");
    AppendMenuA(item, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(item, MF_STRING, IDM_PROPERTIES, "&Properties...");
    ShellState.ItemMenu = item;
}

// The loaded folders get their pane rows, and the first one, which is
// already current, its selection, which puts no window away.
void ShowLoadedFolders()
{
    FillFolderPane();
    SelectFirstFolderRow();
}

// What the load read of the layout that the panes keep themselves.
void ApplyLoadedLayout(const LayoutRecord& layout)
{
    if (layout.ToolbarStored)
        ApplyToolbarArrangement(layout.ToolbarButtons);
    CreateItemColumns();
}

void PostViewCommand()
{
    PostMessageA(ShellState.MainWindow, WM_COMMAND, ViewCommandOf(Settings.View), 0);
}

// The 3-D dialog controls, for systems older than version 4 that have the
// library; where it is missing nothing is done.
void EnableThreeDControls()
{
    if (ShellState.IsNewShell)
        return;
    HMODULE library = LoadLibraryA("CTL3D32.DLL");
    if (!library)
        return;
    typedef BOOL(WINAPI * RegisterProc)(HINSTANCE);
    typedef BOOL(WINAPI * AutoSubclassProc)(HINSTANCE);
    typedef BOOL(WINAPI * EnabledProc)(void);
    RegisterProc registerApp = (RegisterProc)(void*)GetProcAddress(library, MAKEINTRESOURCEA(12));
    AutoSubclassProc autoSubclass =
        (AutoSubclassProc)(void*)GetProcAddress(library, MAKEINTRESOURCEA(16));
    EnabledProc enabled = (EnabledProc)(void*)GetProcAddress(library, MAKEINTRESOURCEA(5));
    if (!registerApp || !autoSubclass || !enabled)
        return;
    registerApp(ShellState.Instance);
    autoSubclass(ShellState.Instance);
    if (!enabled())
        MessageBoxA(nullptr, "Can't Enable 3D Controls", "CTL3D32.DLL", MB_ICONINFORMATION);
}

void ApplyShowRule(int showCommand)
{
    bool canCallBack = Settings.HotKey != 0 || Settings.TaskBar;
    bool startsAway = showCommand == SW_HIDE || showCommand == SW_SHOWMINIMIZED ||
                      showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
    if (canCallBack && startsAway)
        ShellState.Hidden = 1;
    else
        ShowWindow(ShellState.MainWindow, showCommand);
}

void ShowOptionalPanes()
{
    struct Pane {
        DWORD* Field;
        int Command;
    } panes[] = {
        {&Settings.StatusBar, IDM_STATUSBAR},
        {&Settings.ToolBar, IDM_TOOLBAR},
        {&Settings.Folders, IDM_FOLDERS},
    };
    for (const Pane& pane : panes) {
        if (*pane.Field) {
            *pane.Field = 0;
            SendMessageA(ShellState.MainWindow, WM_COMMAND, pane.Command, 0);
        }
    }
}

// A start-up that fails lets go of the instance and ends.
bool StartUpFailed()
{
    LetGoOfInstance();
    return false;
}

} // namespace

long ParseForwardedNumber(const char* tail)
{
    if (!tail)
        return 0;
    const char* p = tail;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < (long long)LONG_MAX + 1)
            value = value * 10 + (*p - '0');
        p++;
    }
    return ClampToLong(negative ? -value : value);
}

std::vector<LostHotKey> RegisterHotKeys()
{
    std::vector<LostHotKey> lost;
    HWND main = ShellState.MainWindow;
    Settings.HotKey = UsableHotKey(Settings.HotKey);
    if (!RegisterHotKey(main, GlobalHotKeyId, HotKeyModifiers(Settings.HotKey),
                        HotKeyVirtualKey(Settings.HotKey))) {
        if (Settings.HotKey)
            lost.push_back({-1, Settings.HotKey});
        Settings.HotKey = 0;
    }
    for (int i = 0; i < FolderCount(); i++) {
        Folder* folder = FolderAt(i);
        if (!folder)
            continue;
        folder->HotKey = UsableHotKey(folder->HotKey);
        if (!folder->HotKey)
            continue;
        if (!RegisterHotKey(main, i, HotKeyModifiers(folder->HotKey),
                            HotKeyVirtualKey(folder->HotKey))) {
            lost.push_back({i, folder->HotKey});
            folder->HotKey = 0;
        }
    }
    return lost;
}

void UnregisterHotKeys()
{
    UnregisterHotKey(ShellState.MainWindow, GlobalHotKeyId);
    // Every identifier a folder may have had: a folder deleted since the
    // last registration left its row's registration behind, and the folder
    // that now has that row could not register its own key again.
    for (int i = 0; i < MaxFolders || i < FolderCount(); i++)
        UnregisterHotKey(ShellState.MainWindow, i);
}

void ResetProgramState()
{
    ResetShellState();
    ResetFolderList();
    ResetWindowHelpers();
    ResetShellCache();
    ResetHelp();
    ResetFaultGuard();
    ResetPutAwayRecord();
    ResetSystemTaskList();
    ResetRefresh();
    ResetFolderPane();
    ResetItemListWindow();
    ResetItemRows();
    ResetMainWindow();
}

bool StartUp(HINSTANCE instance, const char* commandTail, int showCommand, int* exitCode)
{
    *exitCode = 0;
    if (HandOverToRunningInstance(commandTail))
        return false;
    QuitAsked = false;

    ResetProgramState();
    InstallFaultHandlers();
    ShellState.Instance = instance;
    ReadPlatform();
    ShellState.FrameWidth = GetSystemMetrics(SM_CXFRAME);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    LoadIconsAndCursors();

    if (!RegisterMainClass())
        return StartUpFailed();
    if (!RegisterHotKeyControlClass(instance))
        return StartUpFailed();
    if (!CreateMainWindow())
        return StartUpFailed();
    if (!CreateFolderPane())
        return StartUpFailed();
    if (!CreateItemList())
        return StartUpFailed();
    ShellState.StatusWindow = CreateStatusBarWindow(ShellState.MainWindow, instance);
    if (!ShellState.StatusWindow)
        return StartUpFailed();
    ShellState.ToolbarWindow = CreateToolbarWindow(ShellState.MainWindow, instance);
    if (!ShellState.ToolbarWindow)
        return StartUpFailed();
    BuildContextMenus();

    SetErrorMode(SEM_FAILCRITICALERRORS);
    EnumerateTasks(EnumSystem);
    RunHistoryClear();
    LayoutRecord layout;
    LoadSettings(&layout);
    ApplyLoadedLayout(layout);
    ShowLoadedFolders();
    // A show that waited for a hide's answer has left the record's care.
    WhenWaitingShowsSent(SyncPutAwayRecord);
    // What an earlier run that was killed had put away; the first folder
    // is entered now.
    for (HWND window : RecoverPutAwayWindows())
        ForgetSystemTask(window);
    ShowFolderWindows(ShellState.CurrentFolder);
    SyncPutAwayRecord();
    RegisterHotKeys();
    SetPriorityClass(GetCurrentProcess(), PriorityClassOf(Settings.Priority));

    const RECT& saved = Settings.Window;
    if (saved.left + 20 < saved.right && saved.top + 20 < saved.bottom)
        SetWindowPos(ShellState.MainWindow, nullptr, saved.left, saved.top,
                     saved.right - saved.left, saved.bottom - saved.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    PostViewCommand();
    EnableThreeDControls();
    ApplyListColors();
    if (Settings.Top)
        SetWindowPos(ShellState.MainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ApplyShowRule(showCommand);
    ShowOptionalPanes();
    if (ShellState.IsNewShell && Settings.TaskBar)
        AddTrayIcon();
    CoInitialize(nullptr);
    StartRefreshThread();
    return true;
}

void LetGoOfInstance()
{
    if (!InstanceMutex)
        return;
    ReleaseMutex(InstanceMutex);
    CloseHandle(InstanceMutex);
    InstanceMutex = nullptr;
}

void EndMessageLoop()
{
    QuitAsked = true;
    PostQuitMessage(0);
}

int RunMessageLoop()
{
    MSG message = {};
    int failures = 0;
    DWORD failingSince = 0;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got > 0) {
            failures = 0;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (got == -1) {
            // A message that could not be fetched (one too large to be
            // carried over from another process, say) is dropped by the
            // system: the loop goes on. Failing again and again it rests
            // between tries and posts itself a message of its own: a loop
            // that fetches that one is sound, however many others fail.
            // Only one that has fetched nothing for a long while ends, as
            // Exit does.
            if (failures++ == 0)
                failingSince = GetTickCount();
            if (failures == FailuresBeforeRest)
                PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
            if (failures > FailuresBeforeRest)
                Sleep(RestMs);
            if (failures < FailuresBeforeEnd || GetTickCount() - failingSince < FailingTimeBeforeEndMs)
                continue;
        }
        // A quit message that neither Exit nor the installer asked for
        // (posted to our thread by another process, say) ends the program
        // as Exit does: saved, and every put-away window shown again.
        if (QuitAsked || !IsWindow(ShellState.MainWindow))
            break;
        failures = 0;
        SendMessageA(ShellState.MainWindow, WM_COMMAND, IDM_EXIT, 0);
    }
    LetGoOfInstance();
    return QuitAsked ? (int)message.wParam : 0;
}
