#include "store/numbers.h"

void PutNumber(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back((char)((value >> (8 * i)) & 0xFF));
}

uint64_t GetNumber(const BYTE* at, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; i++)
        value |= (uint64_t)at[i] << (8 * i);
    return value;
}
