#include "model/contained.h"

#include <new>

ContainedEntry* ContainedList::Append(HWND window)
{
    ContainedEntry* entry = new (std::nothrow) ContainedEntry{window, 0, nullptr, Tail};
    if (!entry)
        return nullptr;
    if (Tail)
        Tail->Next = entry;
    else
        Head = entry;
    Tail = entry;
    return entry;
}

bool ContainedList::Remove(HWND window)
{
    for (ContainedEntry* entry = Head; entry; entry = entry->Next) {
        if (entry->Window != window)
            continue;
        if (entry->Prev)
            entry->Prev->Next = entry->Next;
        else
            Head = entry->Next;
        if (entry->Next)
            entry->Next->Prev = entry->Prev;
        else
            Tail = entry->Prev;
        delete entry;
        return true;
    }
    return false;
}

void ContainedList::Clear()
{
    ContainedEntry* entry = Head;
    while (entry) {
        ContainedEntry* next = entry->Next;
        delete entry;
        entry = next;
    }
    Head = Tail = nullptr;
}

bool ContainedList::Contains(HWND window) const
{
    for (ContainedEntry* entry = Head; entry; entry = entry->Next)
        if (entry->Window == window)
            return true;
    return false;
}

int ContainedList::Count() const
{
    int n = 0;
    for (ContainedEntry* entry = Head; entry; entry = entry->Next)
        n++;
    return n;
}
