#include "launch/shelllink.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <string>

#include "launch/linkcheck.h"
#include "model/commandtext.h"

namespace {

// The folder icon among the program's own icons.
const int OwnFolderIconIndex = 8;

void Copy(char* to, const char* from)
{
    lstrcpynA(to, from ? from : "", MaxText);
}

void Expand(char* text)
{
    char expanded[MaxText];
    DWORD length = ExpandEnvironmentStringsA(text, expanded, MaxText);
    if (length > 0 && length <= (DWORD)MaxText)
        Copy(text, expanded);
}

bool ContainsIgnoringCase(const char* text, const char* part)
{
    std::string lower = text;
    CharLowerBuffA(&lower[0], (DWORD)lower.size());
    return lower.find(part) != std::string::npos;
}

// Quotes a text that holds a blank.
void QuoteIfBlank(char* text)
{
    if (!strchr(text, ' ') || strlen(text) + 3 > (size_t)MaxText)
        return;
    std::string quoted = std::string("\"") + text + "\"";
    Copy(text, quoted.c_str());
}

void FromShellLink(const char* name, ShortcutFields* fields, bool* stop)
{
    char path[MaxText];
    Copy(path, name);
    char* unquoted = StripQuotes(path);
    char description[MaxText];
    ReadShellLink(GetActiveWindow(), unquoted, fields->CommandLine, fields->WorkingDirectory,
                  description, fields->IconFile, &fields->IconIndex);
    if (!fields->CommandLine[0]) {
        *stop = true;
        return;
    }
    Copy(fields->Title, description);
    if (!description[0]) {
        TitleFromPath(fields->CommandLine, fields->Title, MaxText);
        if (ContainsIgnoringCase(fields->Title, ".exe"))
            *strchr(fields->Title, '.') = 0;
    }
}

void FromPlainFile(const char* name, ShortcutFields* fields)
{
    fields->IconIndex = 0;
    Copy(fields->CommandLine, name);
    QuoteIfBlank(fields->CommandLine);
    char program[MAX_PATH] = "";
    if ((INT_PTR)FindExecutableA(name, "", program) > 32)
        Copy(fields->IconFile, program);
    else
        Copy(fields->IconFile, fields->CommandLine);
    TitleFromPath(fields->CommandLine, fields->Title, MaxText);
    if (char* dot = strchr(fields->Title, '.'))
        *dot = 0;
    Copy(fields->WorkingDirectory, name);
    if (char* slash = strrchr(fields->WorkingDirectory, '\\'))
        *slash = 0;
    QuoteIfBlank(fields->WorkingDirectory);
}

// A name without an extension (a folder, say) is opened by the program the
// shell associates with it, which then stands first on the command line;
// the shortcut shows our folder icon. Names that differ only in case are
// the same name. A link's target without "." is looked up the same way,
// and keeps the link's own icon when it names one.
void OpenExtensionlessWithItsProgram(ShortcutFields* fields, bool isLink)
{
    if (strchr(fields->CommandLine, '.'))
        return;
    char program[MaxText];
    if (isLink) {
        char target[MaxText];
        Copy(target, fields->CommandLine);
        char found[MAX_PATH] = "";
        if ((INT_PTR)FindExecutableA(StripQuotes(target), "", found) <= 32)
            return;
        Copy(program, found);
    } else {
        Copy(program, fields->IconFile);
    }
    if (!program[0] || lstrcmpiA(program, fields->CommandLine) == 0)
        return;
    std::string command = std::string(program) + " " + fields->CommandLine;
    if (command.size() > (size_t)MaxTextLength)
        return;  // a shortened command would start the wrong thing
    Copy(fields->CommandLine, command.c_str());
    if (!isLink || !fields->IconFile[0]) {
        GetModuleFileNameA(nullptr, fields->IconFile, MaxText);
        fields->IconIndex = OwnFolderIconIndex;
    }
}

} // namespace

void TitleFromPath(char* command, char* title, int size)
{
    CharLowerA(command);
    char copy[MaxText];
    Copy(copy, command);
    char* text = StripQuotes(copy);
    char* slash = strrchr(text, '\\');
    const char* result;
    if (slash && slash[1]) {
        result = slash + 1;
    } else {
        if (slash)
            *slash = 0;
        result = text;
    }
    lstrcpynA(title, result, size);
    if (title[0] >= 'a' && title[0] <= 'z')
        title[0] = (char)(title[0] - 'a' + 'A');
    else
        CharUpperBuffA(title, 1);
}

bool ShortcutFromFile(const char* name, ShortcutFields* fields)
{
    ZeroMemory(fields, sizeof *fields);
    if (!name || !name[0])
        return false;
    bool isLink = ContainsIgnoringCase(name, ".lnk");
    if (isLink) {
        bool stop = false;
        FromShellLink(name, fields, &stop);
        if (stop)
            return false;
    } else {
        FromPlainFile(name, fields);
    }
    OpenExtensionlessWithItsProgram(fields, isLink);
    return true;
}

void ReadShellLink(HWND owner, const char* path, char* target, char* workingDirectory,
                   char* description, char* iconPath, int* iconIndex)
{
    for (char* output : {target, workingDirectory, description, iconPath})
        if (output)
            output[0] = 0;
    if (iconIndex)
        *iconIndex = 0;
    // The system's parser trusts the file: one that would overrun it is
    // a link that cannot be resolved.
    if (!path || !path[0] || !ShellLinkFileIsSound(path))
        return;

    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return;
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        link->Release();
        return;
    }
    WCHAR widePath[MaxText];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MaxText) > 0 &&
        SUCCEEDED(file->Load(widePath, STGM_READ)) &&
        SUCCEEDED(link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH))) {
        char text[MaxText];
        if (target && SUCCEEDED(link->GetPath(text, MaxText, nullptr, SLGP_SHORTPATH))) {
            Copy(target, text);
            Expand(target);
        }
        if (workingDirectory && SUCCEEDED(link->GetWorkingDirectory(text, MaxText))) {
            Copy(workingDirectory, text);
            Expand(workingDirectory);
        }
        if (description && SUCCEEDED(link->GetDescription(text, MaxText)))
            Copy(description, text);
        int index = 0;
        if (iconPath && iconIndex && SUCCEEDED(link->GetIconLocation(text, MaxText, &index))) {
            Copy(iconPath, text);
            Expand(iconPath);
            *iconIndex = index;
        }
    }
    file->Release();
    link->Release();
}
