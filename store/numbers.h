// Numbers packed into the registry's binary values, little-endian, as the
// journal's parts and the put-away record's entries hold them.
#pragma once
#include <windows.h>

#include <stdint.h>

#include <string>

// Appends the low `bytes` bytes of the value.
void PutNumber(std::string& out, uint64_t value, int bytes);
// Reads `bytes` bytes; the caller has checked that they are there.
uint64_t GetNumber(const BYTE* at, int bytes);
