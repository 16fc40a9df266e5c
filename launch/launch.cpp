#include "launch/launch.h"

#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "common/texts.h"
#include "model/commandtext.h"
#include "model/settings.h"
#include "model/shellstate.h"

const char ProgramFilter[] = "Programs\0*.exe;*.com\0All Files\0*.*\0";

namespace {

int ShowCommandOf(BYTE showState)
{
    switch (showState) {
    case 2: return SW_SHOWMAXIMIZED;
    case 1: return SW_SHOWMINIMIZED;
    default: return SW_SHOWNORMAL;
    }
}

DWORD CreationFlagsOf(DWORD separateMemory, DWORD priority)
{
    DWORD flags = 0;
    switch (priority) {
    case PriorityLow: flags = IDLE_PRIORITY_CLASS; break;
    case PriorityHigh: flags = HIGH_PRIORITY_CLASS; break;
    case PriorityHighest: flags = REALTIME_PRIORITY_CLASS; break;
    }
    if (separateMemory)
        flags |= CREATE_SEPARATE_WOW_VDM;
    return flags;
}

void ReportLaunchFailure(DWORD error, const std::string& commandLine)
{
    std::string text = LaunchErrorReason(error) + "; " + commandLine;
    MessageBoxA(ShellState.MainWindow, text.c_str(), "Execution Error", MB_ICONERROR);
}

} // namespace

bool NamesProgram(const char* commandLine)
{
    std::string lower = LowerCase(commandLine);
    if (lower.find('.') == std::string::npos)
        return true;
    for (const char* extension : {".exe", ".com", ".bat", ".pif"})
        if (lower.find(extension) != std::string::npos)
            return true;
    return false;
}

std::string CommandToRun(const char* commandLine)
{
    if (NamesProgram(commandLine))
        return commandLine;
    // The document's name, without its quotes, in lower case.
    std::string lower = LowerCase(commandLine);
    std::vector<char> name(lower.begin(), lower.end());
    name.push_back(0);
    char program[MAX_PATH] = "";
    if ((INT_PTR)FindExecutableA(StripQuotes(name.data()), "", program) <= 32)
        program[0] = 0;
    // The composed line may well exceed a path's length: it is built as
    // long as it needs to be, and the system says what it refuses.
    return std::string(program) + " " + commandLine;
}

std::string LaunchErrorReason(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return "File Not Found";
    case ERROR_PATH_NOT_FOUND: return "Path Not Found";
    case ERROR_ACCESS_DENIED: return "Sharing Violation";
    case ERROR_NOT_ENOUGH_MEMORY: return "Insufficient Memory";
    case ERROR_INVALID_NAME: return "Invalid File or Directory Name";
    case ERROR_BAD_EXE_FORMAT: return "File is Not Executable";
    case ERROR_DIRECTORY: return "Invalid Directory Name";
    default: {
        char text[32];
        snprintf(text, sizeof text, "Error Code %lu", (unsigned long)error);
        return text;
    }
    }
}

DWORD LaunchCommand(const char* commandLine, const char* workingDirectory, BYTE showState,
                    DWORD separateMemory, DWORD priority)
{
    if (!commandLine || !commandLine[0])
        return 0;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)ShowCommandOf(showState);

    std::string toRun = CommandToRun(commandLine);
    std::vector<char> line(toRun.begin(), toRun.end());
    line.push_back(0);

    char directory[MaxText] = "";
    const char* directoryToUse = nullptr;
    if (workingDirectory && workingDirectory[0]) {
        lstrcpynA(directory, workingDirectory, MaxText);
        directoryToUse = StripQuotes(directory);
    }

    PROCESS_INFORMATION process = {};
    DWORD flags = CreationFlagsOf(separateMemory, priority);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        directoryToUse, &startup, &process)) {
        ReportLaunchFailure(GetLastError(), toRun);
        return 0;
    }
    // Some systems take no priority class from the creation flags; setting
    // it again costs nothing where they do.
    if (flags & (IDLE_PRIORITY_CLASS | HIGH_PRIORITY_CLASS | REALTIME_PRIORITY_CLASS))
        SetPriorityClass(process.hProcess, flags & ~(DWORD)CREATE_SEPARATE_WOW_VDM);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return process.dwProcessId ? process.dwProcessId : 1;
}

int IsWin32Program(const char* path)
{
    if (!path || !path[0])
        return 0;
    char file[MaxText];
    lstrcpynA(file, path, MaxText);
    HANDLE handle = CreateFileA(StripQuotes(file), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    BYTE header[132] = {};
    DWORD read = 0;
    BOOL ok = ReadFile(handle, header, sizeof header, &read, nullptr);
    CloseHandle(handle);
    if (!ok || read < sizeof header)
        return 0;
    return header[0] == 'M' && header[1] == 'Z' && header[128] == 'P' && header[129] == 'E' &&
                   header[130] == 0 && header[131] == 0
               ? 1
               : 0;
}

void SplitBrowsePath(const char* path, std::string* directory, std::string* file)
{
    std::string text = path ? path : "";
    size_t slash = text.rfind('\\');
    if (slash != std::string::npos && slash + 1 < text.size()) {
        *directory = text.substr(0, slash);
        *file = text.substr(slash + 1);
    } else {
        directory->clear();
        *file = text;
    }
}

bool BrowseForFile(HWND owner, char* buffer, int size, const char* filter, const char* title)
{
    if (!buffer || size <= 0)
        return false;
    std::string directory, file;
    SplitBrowsePath(buffer, &directory, &file);
    lstrcpynA(buffer, file.c_str(), size);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = (DWORD)size;
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_HIDEREADONLY | OFN_SHAREAWARE;
    return GetOpenFileNameA(&dialog) != 0;
}
