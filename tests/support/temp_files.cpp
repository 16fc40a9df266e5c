#include "temp_files.h"

#include <windows.h>

#include <fstream>

std::string TempDirectory()
{
    char path[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, path);
    std::string directory = path;
    if (!directory.empty() && directory.back() == '\\')
        directory.pop_back();
    return directory;
}

std::string TempPath(const std::string& name)
{
    return TempDirectory() + "\\" + name;
}

std::string WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path;
}
