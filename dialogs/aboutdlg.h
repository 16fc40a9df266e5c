// The About box: the program's name and version.
#pragma once
#include <windows.h>

// What the box shows.
struct AboutBoxArgs {
    const char* Version = "";  // the version line's text
};

// Runs the modal box owned by owner; always 1.
INT_PTR RunAboutBox(HWND owner, const AboutBoxArgs& args);
