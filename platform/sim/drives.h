// The simulated machine's drives section (placeholder: kept and written back as read).
#pragma once

#include <string>

#include "platform/sim/json_in.h"

namespace sim {

struct Drives {
    json raw;
};

void readDrives(const json& value, const std::string& path, Drives& out);
json writeDrives(const Drives& in);

}  // namespace sim
