// Any text as a REGEDIT4 file: read or refused with a MachineFileError; what
// was read writes out as text that reads back to the same registry.
#include "platform/sim/json_in.h"
#include "platform/sim/registry.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::Registry registry;
    try {
        sim::readRegistry(fuzz::textOf(data, size), "fuzz.reg", registry);
    } catch (const sim::MachineFileError&) {
        return 0;
    }
    std::string written = sim::writeRegistry(registry);
    if (written.empty()) return 0;  // nothing below the roots: nothing to write
    sim::Registry again;
    sim::readRegistry(written, "written.reg", again);
    if (sim::writeRegistry(again) != written) __builtin_trap();
    return 0;
}
