// Running the whole program on a simulated machine, and telling what changed.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace sim {

// Reads a machine file. Throws MachineFileError whose what() names the file,
// the line and what is wrong.
void loadMachineFile(const std::string& path, Machine& machine);
// The same for machine-file text; `name` stands for the file in errors.
void loadMachineText(const std::string& text, const std::string& name, const std::string& baseDir,
                     Machine& machine);

struct RunOutcome {
    int exitCode = 0;
    json before;  // the machine file of the machine before the run
};

// Runs the program's run sequence with `arguments` as the command-line text
// after the program's name, on `machine` (made current for the run).
RunOutcome runProgram(Machine& machine, const std::string& arguments);

// The `run` object of a run: command line, exit code, virtual time, message
// boxes, processes, trace, reports, leaks, dialog.
json runRecord(const Machine& machine, const RunOutcome& outcome);

// For a person: what the run changed on the machine.
std::string describeChanges(const Machine& machine, const RunOutcome& outcome);

}  // namespace sim
