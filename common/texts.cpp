#include "common/texts.h"

#include <windows.h>

std::string LowerCase(const char* text)
{
    std::string lower = text ? text : "";
    if (!lower.empty())
        CharLowerBuffA(&lower[0], (DWORD)lower.size());
    return lower;
}
