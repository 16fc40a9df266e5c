// Taking command lines apart.
#pragma once

#include <string>

// Cuts the text in place after its first argument (a quoted run counts as
// one); returns the text, or null when it is empty.
char* FirstArgument(char* text);
// In place: the text between the first double quote and the next one; a
// text without quotes is returned whole.
char* StripQuotes(char* text);
// StripQuotes of a copy.
std::string Unquoted(const std::string& text);
// The text in double quotes when it holds a blank, else as it is.
std::string QuotedIfBlank(const std::string& path);
