#include "platform/sim/spooler.h"

namespace sim {

void readSpooler(const json& value, const std::string&, Spooler& out) { out.raw = value; }
json writeSpooler(const Spooler& in) { return in.raw; }

}  // namespace sim
