#include "setup/install.h"

#include <stdio.h>
#include <string.h>

#include "common/product.h"
#include "setup/messagebox.h"
#include "setup/progman.h"
#include "setup/progress.h"
#include "setup/running.h"
#include "setup/setupstate.h"

namespace {

const char FileCaption[] = "Install File";
// Only systems older than version 4 need the 3-D control library.
const char ThreeDLibraryName[] = "ctl3d32.dll";
const UINT TempNameSize = 256;

// Problems that decide the outcome at once, in the order they are looked
// for: the first one found set is reported.
struct InstallProblem {
    DWORD Bit;
    const char* Message;
    UINT Icon;
    bool Result;
};
const InstallProblem Problems[] = {
    {VIF_WRITEPROT, "%s - Installed File is Write-Protected.", MB_ICONERROR, false},
    {VIF_FILEINUSE, "%s - File is in use by Windows.", MB_ICONERROR, false},
    {VIF_OUTOFSPACE, "%s - Out of Disk Space.", MB_ICONERROR, false},
    {VIF_ACCESSVIOLATION, "%s - File is in use.", MB_ICONINFORMATION, true},
    {VIF_SHARINGVIOLATION, "%s - Sharing Violation.", MB_ICONERROR, false},
    {VIF_CANNOTCREATE, "%s - Can't create temporary file.", MB_ICONERROR, false},
    {VIF_CANNOTDELETE, "%s - Can't delete the installed file.", MB_ICONERROR, false},
    {VIF_CANNOTRENAME, "%s - Can't rename temporary file.", MB_ICONERROR, false},
    {VIF_OUTOFMEMORY, "%s - Out of Memory.", MB_ICONERROR, false},
    {VIF_CANNOTREADSRC, "%s - Can't read source file.", MB_ICONERROR, false},
    {VIF_CANNOTREADDST, "%s - Can't read installed file.", MB_ICONERROR, false},
};

// Conflicts the user may override, asked in this order.
struct InstallConflict {
    DWORD Bit;
    const char* Question;
};
const InstallConflict Conflicts[] = {
    {VIF_MISMATCH, "%s - Installed File Attributes are Different.\r\n\nOK to Proceed ?"},
    {VIF_SRCOLD, "%s - Installed Version is Newer.\r\n\nOK to Proceed ?"},
    {VIF_DIFFLANG, "%s - Installed is Different Language.\r\n\nOK to Proceed ?"},
    {VIF_DIFFCODEPG, "%s - Code Page is not on Windows.\r\n\nOK to Proceed ?"},
    {VIF_DIFFTYPE, "%s - Installed is Different OS or Type.\r\n\nOK to Proceed ?"},
};

int FileMessage(const char* format, const char* name, UINT style)
{
    char text[MaxText + 128];
    snprintf(text, sizeof text, format, name);
    return SetupMessage(text, FileCaption, style);
}

// The current copy is looked for in the destination directory. The
// platform's headers declare the texts writable; only the name buffer is
// written.
DWORD VersionInstall(DWORD flags, const char* sourceName, const char* destName, const char* sourceDir,
                     const char* destDir, char* tempName, UINT* length)
{
    return VerInstallFileA(flags, const_cast<char*>(sourceName), const_cast<char*>(destName),
                           const_cast<char*>(sourceDir), const_cast<char*>(destDir),
                           const_cast<char*>(destDir), tempName, length);
}

// The version library joins a directory and a name with a backslash of its
// own: the directories go without the one that SourceDir and SystemDir end
// in (a drive's root keeps its own).
void DirectoryArgument(const char* directory, char* buffer, size_t size)
{
    snprintf(buffer, size, "%s", directory);
    size_t length = strlen(buffer);
    if (length > 3 && buffer[length - 1] == '\\')
        buffer[length - 1] = '\0';
}

// Installs regardless of versions. The source is named again rather than
// the temporary copy of the first call: the version library looks for a
// source in the source directory, where the copy does not lie, and an
// empty name buffer on input is what it expects.
bool ForceInstall(const char* sourceDir, const char* sourceName, const char* destDir, const char* destName)
{
    char tempName[TempNameSize] = "";
    UINT length = TempNameSize;
    DWORD result = VersionInstall(VIFF_FORCEINSTALL, sourceName, destName, sourceDir, destDir, tempName, &length);
    if (result == 0)
        return true;
    char text[MaxText + 128];
    snprintf(text, sizeof text, "%s - Install Error Code: %lX", sourceName, (unsigned long)result);
    SetupMessage(text, FileCaption, MB_OK | MB_ICONERROR);
    return false;
}

// What to make of a first call that did not install the file.
bool SettleResult(DWORD result, const char* sourceDir, const char* sourceName, const char* destDir,
                  const char* destName)
{
    for (const InstallProblem& problem : Problems) {
        if (result & problem.Bit) {
            FileMessage(problem.Message, sourceName, MB_OK | problem.Icon);
            return problem.Result;
        }
    }
    for (const InstallConflict& conflict : Conflicts) {
        if ((result & conflict.Bit) &&
            FileMessage(conflict.Question, sourceName, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL)
            return false;
    }
    return ForceInstall(sourceDir, sourceName, destDir, destName);
}

// The temporary copy that a call leaves in the destination directory when
// it does not install: a plain file name there, never the installed file.
void RemoveTemporaryCopy(const char* destDir, const char* tempName, const char* destName)
{
    while (*tempName == '\\' || *tempName == '/')
        tempName++;
    if (!*tempName || strpbrk(tempName, "\\/:") || lstrcmpiA(tempName, destName) == 0 ||
        strcmp(tempName, ".") == 0 || strcmp(tempName, "..") == 0)
        return;
    char path[MaxText * 2];
    snprintf(path, sizeof path, "%s\\%s", destDir, tempName);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        DeleteFileA(path);
}

bool InstallFromSource(const char* name)
{
    char path[MaxText * 2];
    snprintf(path, sizeof path, "%s%s", SetupState.SystemDir, name);
    SetProgressItem(path);
    return InstallFile(SetupState.SourceDir, name, SetupState.SystemDir, name);
}

bool SourceHas(const char* name)
{
    char path[MaxText * 2];
    snprintf(path, sizeof path, "%s%s", SetupState.SourceDir, name);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void MakeProgramGroup()
{
    ProgmanConnect("PROGMAN", "PROGMAN");
    ProgmanExecute("[DeleteGroup(Corvanix)]");
    ProgmanExecute("[CreateGroup(Corvanix)]");
    ProgmanExecute("[AddItem(Corvanix.exe,Corvanix)]");
    ProgmanExecute("[AddItem(Corvanix.hlp,Corvanix Help)]");
    ProgmanExecute("[ShowGroup(Startup,2,0)]");
    ProgmanExecute("[DeleteItem(Corvanix)]");
    if (SetupState.StartAtLogon)
        ProgmanExecute("[AddItem(Corvanix.exe,Corvanix,,,,,,,1)]");
    ProgmanDisconnect();
}

} // namespace

// The product key gets the default security of the user's hive, as the
// main program gives it.
void StoreGlobalHotKey(HotKeyCode code)
{
    HKEY key = nullptr;
    char keyClass[] = "REG_SZ";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ProductKeyName, 0, keyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD value = code;
    RegSetValueExA(key, HotKeyValueName, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
}

bool InstallFile(const char* sourceDir, const char* sourceName, const char* destDir, const char* destName)
{
    char source[MaxText], destination[MaxText];
    DirectoryArgument(sourceDir, source, sizeof source);
    DirectoryArgument(destDir, destination, sizeof destination);
    char tempName[TempNameSize] = "";
    UINT length = TempNameSize;
    DWORD result = VersionInstall(0, sourceName, destName, source, destination, tempName, &length);
    tempName[TempNameSize - 1] = '\0';
    bool installed = result == 0 || SettleResult(result, source, sourceName, destination, destName);
    if (result & VIF_TEMPFILE)
        RemoveTemporaryCopy(destination, tempName, destName);
    return installed;
}

bool InstallProgram()
{
    EndRunningCorvanix();
    OpenProgressWindow();
    SetProgressAction("Installing Files:");
    if (!InstallFromSource(ProgramFileName) || !InstallFromSource(HelpFileName))
        return false;
    // Corvanix does not ship the 3-D library: it is copied only from a
    // source folder that carries one, so that its absence brings no error
    // box about a file the user was never given.
    if (SetupState.SystemVersion < 4 && SourceHas(ThreeDLibraryName))
        InstallFromSource(ThreeDLibraryName);
    CloseProgressWindow();
    MakeProgramGroup();
    return true;
}
