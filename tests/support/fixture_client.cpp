#include "fixture_client.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kControlClass[] = "CorvanixFixtureControl";
const ULONG_PTR kCopyDataTag = 0x43465843;  // 'CFXC'

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::string NewLogPath() {
    static LONG counter;
    char dir[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof(dir), dir);
    std::string path = (n && n < sizeof(dir)) ? std::string(dir, n) : std::string(".\\");
    if (path.back() != '\\') path += '\\';
    char name[96];
    wsprintfA(name, "corvanix-fixture-%lu-%lu-%ld.log", GetCurrentProcessId(), GetTickCount(),
              InterlockedIncrement(&counter));
    return path + name;
}

struct FindByTitle {
    DWORD pid;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK FindByTitleProc(HWND hwnd, LPARAM lp) {
    FindByTitle* f = reinterpret_cast<FindByTitle*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid) return TRUE;
    char text[512];
    int len = GetWindowTextA(hwnd, text, sizeof(text));
    if (len >= 0 && f->title->compare(0, std::string::npos, text, static_cast<size_t>(len)) == 0) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct CollectOwn {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwnProc(HWND hwnd, LPARAM lp) {
    CollectOwn* c = reinterpret_cast<CollectOwn*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->pid) c->windows.push_back(hwnd);
    return TRUE;
}

}  // namespace

Fixture::Fixture() = default;

Fixture::~Fixture() {
    if (process_ && Running()) Kill();
    Reset();
}

void Fixture::Reset() {
    if (process_) CloseHandle(process_);
    if (job_) CloseHandle(job_);
    process_ = nullptr;
    job_ = nullptr;
    pid_ = 0;
    control_ = nullptr;
    if (!logPath_.empty()) DeleteFileA(logPath_.c_str());
    logPath_.clear();
}

std::string Fixture::ExeDirectory() {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::string Fixture::Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') out.append(backslashes * 2 + 1, '\\');
        else out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string Fixture::Hex(HWND hwnd) {
    ULONG_PTR v = reinterpret_cast<ULONG_PTR>(hwnd);
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[v & 15]);
        v >>= 4;
    } while (v);
    return "0x" + digits;
}

HWND Fixture::ParseHwnd(const std::string& text) {
    return reinterpret_cast<HWND>(
        static_cast<ULONG_PTR>(std::strtoull(text.c_str(), nullptr, 16)));
}

bool Fixture::Start(const std::string& args, DWORD timeoutMs) {
    if (process_) return false;
    if (!logPath_.empty()) DeleteFileA(logPath_.c_str());
    logPath_ = NewLogPath();
    DeleteFileA(logPath_.c_str());
    std::string exe = ExeDirectory() + "\\fixture.exe";
    std::string cmd = Quote(exe) + " --log " + Quote(logPath_) + " " + args;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back(0);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &si, &pi)) {
        logPath_.clear();
        return false;
    }
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    // In a job that kills it when the last handle closes, so that not even
    // a crashed test leaves it behind.
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits,
                                     sizeof(limits)) ||
            !AssignProcessToJobObject(job_, process_)) {
            CloseHandle(job_);
            job_ = nullptr;
        }
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);

    std::string ready = "READY ";
    bool ok = WaitFor([&] { return !LogLines(ready).empty() || !Running(); }, timeoutMs) &&
              Running() && !LogLines(ready).empty();
    if (ok) {
        std::string pidText = std::to_string(pid_);
        control_ = FindWindowExA(HWND_MESSAGE, nullptr, kControlClass, pidText.c_str());
        ok = control_ != nullptr && Ping();
    }
    if (!ok) {
        Kill();
        // Keep the log for a look at its ERROR line; the destructor deletes it.
        HANDLE p = process_, j = job_;
        process_ = job_ = nullptr;
        pid_ = 0;
        control_ = nullptr;
        CloseHandle(p);
        if (j) CloseHandle(j);
    }
    return ok;
}

bool Fixture::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD Fixture::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

HWND Fixture::Window(const std::string& title, DWORD timeoutMs) {
    FindByTitle f = {pid_, &title, nullptr};
    if (!pid_) return nullptr;
    WaitFor(
        [&] {
            f.found = nullptr;
            EnumWindows(FindByTitleProc, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        timeoutMs);
    return f.found;
}

HWND Fixture::Created(const std::string& name, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (const std::string& line : LogLines("WINDOW ")) {
                size_t blank = line.find(' ', 7);
                if (blank != std::string::npos && line.compare(blank + 1, std::string::npos, name) == 0)
                    found = ParseHwnd(line.substr(7, blank - 7));
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::vector<HWND> Fixture::Windows(bool withEmptyTitles) {
    std::vector<HWND> made;
    for (const std::string& line : LogLines("WINDOW ")) made.push_back(ParseHwnd(line.substr(7)));
    CollectOwn c = {pid_, {}};
    if (pid_) EnumWindows(CollectOwnProc, reinterpret_cast<LPARAM>(&c));
    std::vector<HWND> out;
    for (HWND hwnd : c.windows) {
        bool ours = false;
        for (HWND m : made) ours = ours || m == hwnd;
        if (!ours) continue;  // e.g. Wine's or the IME's own windows
        if (!withEmptyTitles && GetWindowTextLengthA(hwnd) == 0) continue;
        out.push_back(hwnd);
    }
    return out;
}

bool Fixture::Command(const std::string& line, LRESULT* result, DWORD timeoutMs) {
    if (result) *result = 0;
    if (!control_ || !Running()) return false;
    COPYDATASTRUCT cds = {};
    cds.dwData = kCopyDataTag;
    cds.cbData = static_cast<DWORD>(line.size());
    cds.lpData = const_cast<char*>(line.data());
    DWORD_PTR answer = 0;
    // SMTO_NORMAL: this thread's own windows keep answering while it waits.
    if (!SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                             SMTO_NORMAL, timeoutMs, &answer))
        return false;
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

bool Fixture::Ping() {
    LRESULT r = 0;
    return Command("ping", &r) && static_cast<DWORD>(r) == pid_;
}

HWND Fixture::Open(const std::string& title, const char* state) {
    LRESULT r = 0;
    Command(std::string("open ") + (state ? state : "normal") + " " + title, &r);
    return reinterpret_cast<HWND>(r);
}

HWND Fixture::OpenEx(const std::string& windowArgs) {
    LRESULT r = 0;
    Command("openex " + windowArgs, &r);
    return reinterpret_cast<HWND>(r);
}

bool Fixture::Close(HWND hwnd) {
    LRESULT r = 0;
    return Command("close " + Hex(hwnd), &r) && r == 1;
}

bool Fixture::SetTitle(HWND hwnd, const std::string& text) {
    LRESULT r = 0;
    return Command("settitle " + Hex(hwnd) + " " + text, &r) && r == 1;
}

bool Fixture::Show(HWND hwnd, const char* state) {
    LRESULT r = 0;
    return Command("show " + Hex(hwnd) + " " + (state ? state : "normal"), &r) && r == 1;
}

bool Fixture::Hang(DWORD ms) {
    LRESULT r = 0;
    return Command("hang " + std::to_string(ms), &r) && r == 1;
}

bool Fixture::Unhang() {
    LRESULT r = 0;
    return Command("unhang", &r) && r == 1;
}

bool Fixture::Mark(const std::string& text) {
    LRESULT r = 0;
    return Command("mark " + text, &r) && r == 1;
}

bool Fixture::SelfDrop(HWND hwnd, const std::vector<std::string>& files, int x, int y,
                       bool nonClient) {
    std::string line = "selfdrop " + Hex(hwnd) + " " + std::to_string(x) + " " +
                       std::to_string(y) + " " + (nonClient ? "1 " : "0 ");
    for (size_t i = 0; i < files.size(); ++i) line += (i ? "|" : "") + files[i];
    LRESULT r = 0;
    return !files.empty() && Command(line, &r) && r == 1;
}

std::vector<std::string> Fixture::LogLines() const {
    std::vector<std::string> lines;
    if (logPath_.empty()) return lines;
    HANDLE f = CreateFileA(logPath_.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(f);
    // Only whole lines: the last one may still be being written.
    size_t start = 0;
    for (;;) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) break;
        size_t end = nl;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        start = nl + 1;
    }
    return lines;
}

std::vector<std::string> Fixture::LogLines(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : LogLines())
        if (StartsWith(line, prefix)) out.push_back(line);
    return out;
}

bool Fixture::WaitForLog(const std::string& prefix, DWORD timeoutMs) const {
    return WaitFor([&] { return !LogLines(prefix).empty(); }, timeoutMs);
}

bool Fixture::Exit(DWORD timeoutMs) {
    if (!process_) return false;
    bool clean = false;
    if (Running()) {
        LRESULT r = 0;
        if (Command("exit", &r, timeoutMs) && r == 1)
            clean = WaitFor([&] { return !Running(); }, timeoutMs);
    }
    if (Running()) {
        Kill();
        clean = false;
    } else if (!clean) {
        clean = ExitCode() == 0;
    }
    return clean;
}

void Fixture::Kill() {
    if (!process_) return;
    if (Running()) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
}
