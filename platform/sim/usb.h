// The simulated machine's usb section (placeholder: kept and written back as read).
#pragma once

#include <string>

#include "platform/sim/json_in.h"

namespace sim {

struct Usb {
    json raw;
};

void readUsb(const json& value, const std::string& path, Usb& out);
json writeUsb(const Usb& in);

}  // namespace sim
