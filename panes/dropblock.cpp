#include "panes/dropblock.h"

#include <string.h>

namespace {

// The header of a drop block (DROPFILES).
struct DropHeader {
    DWORD Files;  // where the file list starts
    POINT Point;
    BOOL NonClient;
    BOOL Wide;
};

bool ZeroAt(const BYTE* at, size_t unit)
{
    return at[0] == 0 && (unit == 1 || at[1] == 0);
}

bool WholeDrop(const BYTE* data, SIZE_T size)
{
    DropHeader header;
    if (size < sizeof header)
        return false;
    memcpy(&header, data, sizeof header);
    if (header.Files < sizeof header || header.Files >= size)
        return false;
    size_t unit = header.Wide ? 2 : 1;
    for (size_t at = header.Files;;) {
        size_t start = at;
        while (at + unit <= size && !ZeroAt(data + at, unit))
            at += unit;
        if (at + unit > size)
            return false;
        if (at == start)
            return true;  // the empty name that ends the list
        at += unit;
    }
}

} // namespace

bool IsDropBlock(HDROP drop)
{
    if (!drop)
        return false;
    HANDLE heap = GetProcessHeap();
    // A fixed block is its own handle, and the heap tells whether it is
    // one of its blocks. A movable one is looked up by the system, which
    // checks its handles, and its bytes are a block of the heap too. A
    // handle aligned like a block that is none is not handed on at all.
    if (HeapValidate(heap, 0, drop))
        return WholeDrop((const BYTE*)drop, HeapSize(heap, 0, drop));
    if (((ULONG_PTR)drop & (2 * sizeof(void*) - 1)) == 0)
        return false;
    const BYTE* data = (const BYTE*)GlobalLock(drop);
    if (!data)
        return false;
    bool whole = HeapValidate(heap, 0, data) && WholeDrop(data, GlobalSize(drop));
    GlobalUnlock(drop);
    return whole;
}
