// Installing: the program and its help file copied into the system
// directory with version checking, and the Program Manager group.
#pragma once
#include <windows.h>

#include "common/hotkeycode.h"

// Stores the global hot key where the main program reads it.
void StoreGlobalHotKey(HotKeyCode code);

// Ends a running Corvanix, installs the files from SourceDir into
// SystemDir with a progress window, and makes the group "Corvanix" (and the
// Startup entry when StartAtLogon is set). False when a file could not be
// installed; the user has been told why.
bool InstallProgram();

// Installs one file through the version library, asking the user what to
// do about conflicts and reporting every problem in its own box. True when
// the file was installed (or the user was only told about a problem),
// false on failure. Leaves no temporary file behind.
bool InstallFile(const char* sourceDir, const char* sourceName, const char* destDir, const char* destName);
