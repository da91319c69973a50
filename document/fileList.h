// The files a command works on: each argument as given, and for a folder
// every *.nes file below it.
#pragma once

#include <string>
#include <vector>

struct Target {
    std::string path;  // the bytes the system names it by
    std::string error; // why a folder could not be read; empty for a file
};

// Each argument in order. A folder (or a link to one, when named as an
// argument) is walked recursively for names ending in .nes in any case, each
// folder's entries in byte order; links to folders inside it are not
// followed. Anything else is passed on as it is, missing or not.
std::vector<Target> expandPaths(const std::vector<std::string>& args);
