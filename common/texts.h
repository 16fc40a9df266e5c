// How long a text may be, in both programs, and its case.
#pragma once

#include <string>

// Every text the programs handle fits in this many bytes, terminator
// included (titles, class names, paths, command lines, registry texts).
const int MaxText = 260;
// The longest text the program keeps: the registry store reads back only
// texts shorter than MaxText bytes with their terminator.
const int MaxTextLength = MaxText - 2;

// A copy of the text in lower case, as the system's code page has it; ""
// for null.
std::string LowerCase(const char* text);
