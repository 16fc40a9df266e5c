// Turning files dropped from the shell into shortcuts, and reading the
// shell's shortcut files.
#pragma once
#include <windows.h>

#include "common/texts.h"

// What a new shortcut made from a file gets.
struct ShortcutFields {
    char Title[MaxText];
    char CommandLine[MaxText];
    char WorkingDirectory[MaxText];
    char IconFile[MaxText];
    int IconIndex;
    // Set with a false result: the file was refused because a path or
    // command made from it would not fit whole (MaxTextLength); the caller
    // goes on with the next file.
    bool TooLong;
};

// Fills the fields for a dropped file. False when no shortcut is to be
// made of it: with TooLong set the file is refused, otherwise the caller
// stops handling the drop (a shortcut file whose target cannot be read).
// A name with "." or ".." in it stands for the folder it names, and a
// file always gets a title that is not empty.
bool ShortcutFromFile(const char* name, ShortcutFields* fields);

// A display title for a command: the file name after the last backslash
// (of the first quoted run, when there is one) with a capital first letter.
// Converts the command to lower case in place.
void TitleFromPath(char* command, char* title, int size);

// A title for a command whose title came out empty (a name like
// ".profile", or a folder named by dots): the whole file name, and failing
// that the command. Both are MaxText buffers.
void UsableTitle(const char* command, char* title);

// Reads a shell shortcut file. Each output is a MaxText buffer or null (the
// icon path is read only when the icon index is wanted too). All outputs
// are empty when the file cannot be loaded or its target resolved, and
// when it fails the check of launch/linkcheck.h.
void ReadShellLink(HWND owner, const char* path, char* target, char* workingDirectory,
                   char* description, char* iconPath, int* iconIndex);
