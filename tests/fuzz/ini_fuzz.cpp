// Any text as an initialisation file, read with buffers of every small size:
// the reader never writes past the buffer and always terminates the text.
#include <cstring>

#include "platform/sim/ini.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    sim::Machine machine;
    machine.codePage = fuzz::codePageFor(data[0]);
    sim::Session session(machine);
    std::string text = fuzz::textOf(data + 1, size - 1);
    const char* keys[] = {"MFG_0", "MDL_0", "OPEN", "", " mfg_0 "};
    const char* sections[] = {"INFOMATION", "AUTORUN", "", "[x]"};
    for (const char* section : sections) {
        for (const char* key : keys) {
            for (os::DWORD bufferSize : {1u, 2u, 8u, 260u}) {
                char buffer[261];
                std::memset(buffer, '*', sizeof buffer);
                os::DWORD n = sim::ini::profileString(&text, section, key, "dflt", buffer, bufferSize);
                if (n >= bufferSize || buffer[n] != '\0' || buffer[bufferSize] != '*') __builtin_trap();
            }
        }
    }
    return 0;
}
