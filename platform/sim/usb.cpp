#include "platform/sim/usb.h"

namespace sim {

void readUsb(const json& value, const std::string&, Usb& out) { out.raw = value; }
json writeUsb(const Usb& in) { return in.raw; }

}  // namespace sim
