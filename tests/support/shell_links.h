// Real shell links, written with the shell's own link object (COM must be
// initialised on the calling thread).
#pragma once
#include <string>

bool MakeLink(const std::string& linkPath, const std::string& target, const std::string& description,
              const std::string& workingDirectory = "", const std::string& icon = "", int iconIndex = 0);
