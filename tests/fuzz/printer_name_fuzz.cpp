// Any command-line text, in a single- or double-byte code page: the printer
// name taken from it is a part of it, and the whole text when it holds no quote.
#include "platform/os.h"
#include "removal/PrinterName.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    sim::Machine machine;
    machine.codePage = fuzz::codePageFor(data[0]);
    sim::Session session(machine);
    std::string text = fuzz::textOf(data + 1, size - 1);
    CString name = PrinterNameFromCommandLine(text.c_str());
    const std::string& n = name.str();
    if (n.size() > text.size() || text.find(n) == std::string::npos) __builtin_trap();
    if (text.find('"') == std::string::npos && n != CString(text.c_str()).str()) __builtin_trap();
    return 0;
}
