#include "shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>

bool MakeLink(const std::string& linkPath, const std::string& target, const std::string& description,
              const std::string& workingDirectory, const std::string& icon, int iconIndex)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return false;
    link->SetPath(target.c_str());
    if (!description.empty())
        link->SetDescription(description.c_str());
    if (!workingDirectory.empty())
        link->SetWorkingDirectory(workingDirectory.c_str());
    if (!icon.empty())
        link->SetIconLocation(icon.c_str(), iconIndex);
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}
