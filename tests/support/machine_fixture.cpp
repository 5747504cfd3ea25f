#include "tests/support/machine_fixture.h"

#include <algorithm>
#include <sstream>

namespace testing_support {

int Run::find(const std::string& line, int from) const {
    const auto& t = trace();
    for (int i = std::max(from, 0); i < static_cast<int>(t.size()); ++i)
        if (t[static_cast<std::size_t>(i)] == line) return i;
    return -1;
}

int Run::count(const std::string& line) const {
    return static_cast<int>(std::count(trace().begin(), trace().end(), line));
}

bool Run::inOrder(const std::vector<std::string>& lines) const {
    int at = 0;
    for (const std::string& line : lines) {
        at = find(line, at);
        if (at < 0) return false;
        ++at;
    }
    return true;
}

bool Run::leakFree() const {
    for (const auto& kind : machine->held.all())
        if (kind.second != 0) return false;
    return true;
}

std::string Run::leaks() const {
    std::ostringstream out;
    for (const auto& kind : machine->held.all())
        if (kind.second != 0) out << kind.first << "=" << kind.second << " ";
    return out.str();
}

std::unique_ptr<sim::Machine> machineFrom(const std::string& json) {
    auto m = std::make_unique<sim::Machine>();
    sim::loadMachineText(json.empty() ? "{}" : json, "test machine", PRINTERPORT_SOURCE_DIR "/tests", *m);
    return m;
}

Run runOn(const std::string& json, const std::string& arguments) {
    Run run;
    run.machine = machineFrom(json);
    run.outcome = sim::runProgram(*run.machine, arguments);
    return run;
}

std::string sourcePath(const std::string& relative) { return std::string(PRINTERPORT_SOURCE_DIR) + "/" + relative; }

}  // namespace testing_support
