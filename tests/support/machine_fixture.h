// Helpers for tests that run the program on a small simulated machine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/sim_runner.h"

namespace testing_support {

// One finished run: the machine afterwards and what the program did.
struct Run {
    std::unique_ptr<sim::Machine> machine = std::make_unique<sim::Machine>();
    sim::RunOutcome outcome;

    int exitCode() const { return outcome.exitCode; }
    const std::vector<std::string>& trace() const { return machine->records.trace; }
    const std::vector<std::string>& reports() const { return machine->records.reports; }
    // Index of the first trace line equal to `line` at or after `from`; -1 when absent.
    int find(const std::string& line, int from = 0) const;
    // How many trace lines equal `line`.
    int count(const std::string& line) const;
    // True when the lines appear in this order (others may come between).
    bool inOrder(const std::vector<std::string>& lines) const;
    // Every resource kind the machine counts is back at 0.
    bool leakFree() const;
    std::string leaks() const;
};

// Builds a machine from machine-file JSON text (the empty text: the defaults).
std::unique_ptr<sim::Machine> machineFrom(const std::string& json);

// Runs the program on a machine made from `json` with `arguments` as its command line.
Run runOn(const std::string& json, const std::string& arguments);

// The absolute path of a file in the source tree.
std::string sourcePath(const std::string& relative);

}  // namespace testing_support
