// printerport-sim: runs PrinterPort on a simulated Windows 98 machine and
// tells what the run changed.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/sim_runner.h"

extern const char* const kDefaultMachine;

namespace {

int usage() {
    std::fputs("usage: printerport-sim [--machine FILE] [--json OUT|-] [--trace] [--] COMMAND-LINE\n", stderr);
    return 64;
}

std::string shown(const std::string& line) {
    std::string out;
    for (char c : line) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string machineFile, jsonOut, arguments;
    bool trace = false, haveArguments = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!haveArguments && arg == "--machine" && i + 1 < argc) {
            machineFile = argv[++i];
        } else if (!haveArguments && arg == "--json" && i + 1 < argc) {
            jsonOut = argv[++i];
        } else if (!haveArguments && arg == "--trace") {
            trace = true;
        } else if (!haveArguments && arg == "--") {
            if (i + 1 < argc) arguments = argv[++i], haveArguments = true;
            if (i + 1 < argc) return usage();
        } else if (!haveArguments && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            return usage();
        } else if (!haveArguments) {
            arguments = arg;
            haveArguments = true;
        } else {
            return usage();
        }
    }

    sim::Machine machine;
    try {
        if (machineFile.empty())
            sim::loadMachineText(kDefaultMachine, "default machine", ".", machine);
        else
            sim::loadMachineFile(machineFile, machine);
    } catch (const sim::MachineFileError& e) {
        std::fprintf(stderr, "printerport-sim: %s\n", e.what());
        return 64;
    }

    sim::RunOutcome outcome = sim::runProgram(machine, arguments);

    // With the machine going to standard output, the summary goes to standard error.
    FILE* report = jsonOut == "-" ? stderr : stdout;
    std::fprintf(report, "PrinterPort %s\n", arguments.c_str());
    if (trace) {
        std::fputs("--- trace ---\n", report);
        for (const std::string& line : machine.records.trace) std::fprintf(report, "%s\n", shown(line).c_str());
        std::fputs("--- changes ---\n", report);
    }
    std::fputs(sim::describeChanges(machine, outcome).c_str(), report);

    if (!jsonOut.empty()) {
        sim::json out = machine.save();
        out["run"] = sim::runRecord(machine, outcome);
        std::string text = out.dump(2) + "\n";
        if (jsonOut == "-") {
            std::fputs(text.c_str(), stdout);
        } else {
            std::ofstream file(jsonOut, std::ios::binary);
            if (!(file << text)) {
                std::fprintf(stderr, "printerport-sim: cannot write %s\n", jsonOut.c_str());
                return 64;
            }
        }
    }
    return outcome.exitCode;
}
