#include "platform/sim/drives.h"

namespace sim {

void readDrives(const json& value, const std::string&, Drives& out) { out.raw = value; }
json writeDrives(const Drives& in) { return in.raw; }

}  // namespace sim
