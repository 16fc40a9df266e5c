// Removing: the installed files, the Program Manager group and Startup
// entry, and the registry keys of the main program.
#pragma once

#include <string>

// Deletes the program and help files from SystemDir and the Program
// Manager entries, with a progress window. Returns the full paths of the
// files that exist and could not be deleted, one a line; empty when
// every file is gone.
std::string RemoveFiles();

// Deletes the product key with everything under it, then the maker key
// when nothing else is left in it, with a progress window. Returns the
// full names of the keys that could not be deleted, one a line; empty
// when the product key is gone.
std::string RemoveRegistryEntries();
