// The system libraries of the simulated machine that a program can load by name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/os.h"

namespace sim {

struct Libraries {
    // All libraries and entry points are present unless named here.
    std::vector<std::string> missingLibraries;
    std::vector<std::string> missingEntryPoints;
    // Loaded modules: handle -> library name and load count.
    std::map<os::HMODULE, std::pair<std::string, int>> loaded;
};

}  // namespace sim
