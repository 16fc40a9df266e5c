#include "model/commandtext.h"

#include <string.h>

char* FirstArgument(char* text)
{
    if (!text)
        return nullptr;
    bool quoted = false;
    for (char* p = text; *p; p++) {
        if (*p == '"')
            quoted = !quoted;
        else if (*p == ' ' && !quoted) {
            *p = 0;
            break;
        }
    }
    return text[0] ? text : nullptr;
}

char* StripQuotes(char* text)
{
    if (!text)
        return text;
    char* open = strchr(text, '"');
    if (!open)
        return text;
    char* start = open + 1;
    char* close = strchr(start, '"');
    if (close)
        *close = 0;
    return start;
}

std::string Unquoted(const std::string& text)
{
    std::string copy = text;
    return StripQuotes(&copy[0]);
}

std::string QuotedIfBlank(const std::string& path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}
