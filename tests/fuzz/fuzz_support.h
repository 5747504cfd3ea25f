// A simulated machine for a fuzz target's run, with the code page chosen by
// the input's first byte, so that double-byte rules are fuzzed too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/machine.h"

namespace fuzz {

inline int codePageFor(std::uint8_t selector) { return (selector & 1) ? 932 : 1252; }

inline std::string textOf(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
