// The simulated machine's spooler section (placeholder: kept and written back as read).
#pragma once

#include <string>

#include "platform/sim/json_in.h"

namespace sim {

struct Spooler {
    json raw;
};

void readSpooler(const json& value, const std::string& path, Spooler& out);
json writeSpooler(const Spooler& in);

}  // namespace sim
