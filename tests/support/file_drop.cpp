#include "file_drop.h"

#include <string.h>

HGLOBAL MakeDrop(const std::vector<std::string>& files, POINT point, bool nonClient)
{
    struct Header {
        DWORD Offset;
        POINT Point;
        BOOL NonClient;
        BOOL Wide;
    };
    size_t size = sizeof(Header) + 1;
    for (const std::string& file : files)
        size += file.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    char* data = (char*)GlobalLock(block);
    Header* header = (Header*)data;
    header->Offset = sizeof(Header);
    header->Point = point;
    header->NonClient = nonClient;
    char* name = data + sizeof(Header);
    for (const std::string& file : files) {
        memcpy(name, file.c_str(), file.size());
        name += file.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}
