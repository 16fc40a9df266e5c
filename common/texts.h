// How long a text may be, in both programs.
#pragma once

// Every text the programs handle fits in this many bytes, terminator
// included (titles, class names, paths, command lines, registry texts).
const int MaxText = 260;
// The longest text the program keeps: the registry store reads back only
// texts shorter than MaxText bytes with their terminator.
const int MaxTextLength = MaxText - 2;
