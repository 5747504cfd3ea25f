// Any text as a machine file: it is read or refused with a MachineFileError,
// and a machine that was read saves and reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/sim_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    sim::Machine machine;
    try {
        sim::loadMachineText(text, "fuzz.json", "/nonexistent", machine);
    } catch (const sim::MachineFileError&) {
        return 0;
    }
    sim::json saved = machine.save();
    sim::Machine again;
    sim::loadMachineText(saved.dump(), "saved.json", "/nonexistent", again);
    if (again.save() != saved) __builtin_trap();
    return 0;
}
