#include "launch/shelllink.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <string>

#include "launch/linkcheck.h"
#include "model/commandtext.h"
#include "winkit/shellcache.h"

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

// Whether a text is kept whole by the model and read back by the store.
bool Fits(const char* text)
{
    return strlen(text) <= (size_t)MaxTextLength;
}

// Quotes a text that holds a blank; false when the quoted text would not
// fit whole.
bool QuoteIfBlank(char* text)
{
    if (!strchr(text, ' '))
        return true;
    std::string quoted = std::string("\"") + text + "\"";
    if (quoted.size() > (size_t)MaxTextLength)
        return false;
    Copy(text, quoted.c_str());
    return true;
}

// A name with a "." or ".." among its parts names a folder: the name of
// that folder, so that it gets its title and is opened as a folder.
// False when the folder's name would not fit.
bool ResolveDots(const char* name, char* path)
{
    Copy(path, name);
    bool dots = false;
    for (const char* part = name; *part;) {
        size_t length = strcspn(part, "\\/");
        if ((length == 1 && part[0] == '.') || (length == 2 && part[0] == '.' && part[1] == '.'))
            dots = true;
        part += length;
        if (*part)
            part++;
    }
    if (!dots)
        return true;
    char full[MaxText];
    DWORD length = GetFullPathNameA(name, MaxText, full, nullptr);
    if (length == 0 || length >= (DWORD)MaxText)
        return false;
    Copy(path, full);
    return true;
}

void GiveUsableTitle(ShortcutFields* fields)
{
    if (!fields->Title[0])
        UsableTitle(fields->CommandLine, fields->Title);
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

// False when a text made from the name would not fit whole.
bool FromPlainFile(const char* name, ShortcutFields* fields)
{
    fields->IconIndex = 0;
    Copy(fields->CommandLine, name);
    if (!QuoteIfBlank(fields->CommandLine))
        return false;
    // Files of one kind are opened by one program: the shell is asked once.
    char program[MaxText] = "";
    if (CachedAssociatedProgram(name, program))
        Copy(fields->IconFile, program);
    else
        Copy(fields->IconFile, fields->CommandLine);
    TitleFromPath(fields->CommandLine, fields->Title, MaxText);
    if (char* dot = strchr(fields->Title, '.'))
        *dot = 0;
    Copy(fields->WorkingDirectory, name);
    if (char* slash = strrchr(fields->WorkingDirectory, '\\'))
        *slash = 0;
    return QuoteIfBlank(fields->WorkingDirectory);
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
        if (!CachedAssociatedProgram(StripQuotes(target), program))
            return;
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

void UsableTitle(const char* command, char* title)
{
    char copy[MaxText];
    Copy(copy, command);
    TitleFromPath(copy, title, MaxText);
    if (!title[0])
        Copy(title, command);
}

bool ShortcutFromFile(const char* name, ShortcutFields* fields)
{
    ZeroMemory(fields, sizeof *fields);
    if (!name || !name[0])
        return false;
    char path[MaxText];
    if (!ResolveDots(name, path)) {
        fields->TooLong = true;
        return false;
    }
    bool isLink = ContainsIgnoringCase(path, ".lnk");
    bool fits = true;
    if (isLink) {
        bool stop = false;
        FromShellLink(path, fields, &stop);
        if (stop)
            return false;
    } else {
        fits = FromPlainFile(path, fields);
    }
    if (fits)
        OpenExtensionlessWithItsProgram(fields, isLink);
    // A path or command cut short would name another file, or none: such
    // a file is refused, never kept shortened.
    if (!fits || !Fits(fields->CommandLine) || !Fits(fields->WorkingDirectory) ||
        !Fits(fields->IconFile)) {
        fields->TooLong = true;
        return false;
    }
    GiveUsableTitle(fields);
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
