// Files the tests make in the temporary directory.
#pragma once

#include <string>

// The temporary directory, without a trailing backslash.
std::string TempDirectory();
// A name in the temporary directory.
std::string TempPath(const std::string& name);
// Writes the file whole; returns its path.
std::string WriteFile(const std::string& path, const std::string& content = "x");
