// Fails every platform call a run makes, at every invocation, once (transient)
// and from then on (persistent), and checks after each run that nothing broke,
// leaked or was harmed.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "tests/support/machine_fixture.h"

namespace {

struct SweepMachine {
    const char* file;       // below the source tree
    const char* arguments;  // the command line
    const char* virtualPrinter;
};

// Machines that, together, reach every part of the program.
const SweepMachine kMachines[] = {
    // Removal, USB scan, maker's registry, a printer moved and made the default.
    {"examples/default.json", "\"Acme Virtual Printer\"", "Acme Virtual Printer"},
    // A printer added on the USB port.
    {"examples/add-printer.json", "\"Acme Virtual Printer\"", "Acme Virtual Printer"},
    // Network printers left alone beside one that moves.
    {"examples/network-printer.json", "Acme Virtual Printer", "Acme Virtual Printer"},
    // No fitting driver installed: the CD-ROM setup is started.
    {"examples/cdrom-setup.json", "\"Acme Setup\"", "Acme Setup"},
    // Two USB printers; the virtual printer is listed only after 70 s, so
    // both removals fail and the retry dialog deletes it at its first tick.
    {"tests/sweep/machines/retry-dialog.json", "\"Acme Virtual Printer\"", "Acme Virtual Printer"},
};

// What a release call gives back. When the machine makes such a call fail,
// the resource stays with the machine whatever the program does; the sweep
// then does not count it as leaked.
const std::map<std::string, std::string> kReleasedBy = {
    {"GlobalFree", "heap"},          {"LocalFree", "localHeap"},
    {"ClosePrinter", "printerHandles"}, {"RegCloseKey", "registryKeys"},
    {"FreeLibrary", "libraries"},    {"CloseHandle", "files processHandles threadHandles"},
    {"FindClose", "findHandles"},    {"SetupDiDestroyDeviceInfoList", "deviceInfoSets"},
    {"DestroyWindow", "windows"},    {"KillTimer", "timers"},
};

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A representative last-error code for a failed call of that name.
os::DWORD errorFor(const std::string& call) {
    if (call == "GlobalAlloc" || call == "LocalAlloc") return os::ERROR_NOT_ENOUGH_MEMORY;
    if (call.rfind("Reg", 0) == 0) return os::ERROR_ACCESS_DENIED;
    if (call == "OpenPrinterA") return os::ERROR_INVALID_PRINTER_NAME;
    return os::ERROR_GEN_FAILURE;
}

std::map<std::string, sim::json> printersOf(const sim::json& machineFile) {
    std::map<std::string, sim::json> out;
    if (!machineFile.contains("spooler")) return out;
    const sim::json& spooler = machineFile["spooler"];
    if (!spooler.contains("printers")) return out;
    for (const sim::json& p : spooler["printers"]) out[p["name"].get<std::string>()] = p;
    return out;
}

std::set<std::string> driversOf(const sim::json& machineFile) {
    std::set<std::string> out;
    if (machineFile.contains("spooler") && machineFile["spooler"].contains("drivers"))
        for (const sim::json& d : machineFile["spooler"]["drivers"]) out.insert(d.get<std::string>());
    return out;
}

bool isUsbPort(const std::string& port) { return port.size() >= 6 && port.compare(0, 3, "USB") == 0; }

// What may differ between a printer before and after a run: the port (to a
// USB port) and the default attribute.
std::string harmTo(const std::string& name, const sim::json& before, const sim::json& after) {
    sim::json a = before, b = after;
    if (a.value("port", "") != b.value("port", "") && !isUsbPort(b.value("port", "")))
        return name + " moved to a port that is no USB port: " + b.value("port", "");
    for (sim::json* p : {&a, &b}) {
        p->erase("port");
        (*p)["attributes"] = p->value("attributes", 0LL) & ~0x4LL;
    }
    return a == b ? "" : name + " changed: " + before.dump() + " -> " + after.dump();
}

// Everything that must hold after any run; empty when it does.
std::string check(const SweepMachine& sm, const std::string& failedCall, const testing_support::Run& run) {
    std::ostringstream problems;
    const sim::Machine& m = *run.machine;
    auto released = kReleasedBy.find(failedCall);
    for (const auto& [kind, count] : m.held.all()) {
        bool excused = released != kReleasedBy.end() && (" " + released->second + " ").find(" " + kind + " ") !=
                                                            std::string::npos;
        if (count != 0 && !excused) problems << "leaked: " << count << " " << kind << "\n";
    }
    if (!m.records.stalled.empty()) problems << "stalled: " << m.records.stalled << "\n";
    int code = run.exitCode();
    if (code != 0 && code != 1 && code != 2) problems << "exit code " << code << "\n";
    if (m.nowMs > 3600 * 1000) problems << "ran " << m.nowMs << " ms of virtual time\n";

    sim::json after = m.save();
    auto before = printersOf(run.outcome.before);
    auto now = printersOf(after);
    for (const auto& [name, record] : before) {
        auto it = now.find(name);
        if (it == now.end()) {
            if (name != sm.virtualPrinter) problems << "printer deleted: " << name << "\n";
            continue;
        }
        std::string harm = harmTo(name, record, it->second);
        if (!harm.empty()) problems << harm << "\n";
    }
    for (const auto& [name, record] : now) {
        if (before.count(name)) continue;
        std::string port = record.value("port", "");
        std::string suffix = "(" + port + ")";
        if (!isUsbPort(port) || name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            problems << "unexpected printer added: " << record.dump() << "\n";
    }
    auto driversBefore = driversOf(run.outcome.before), driversAfter = driversOf(after);
    for (const std::string& d : driversBefore)
        if (!driversAfter.count(d) && d != sm.virtualPrinter) problems << "driver deleted: " << d << "\n";
    for (const std::string& d : driversAfter)
        if (!driversBefore.count(d)) problems << "driver added: " << d << "\n";
    return problems.str();
}

TEST(FaultSweep, EveryCallFailingAtEveryInvocationHarmsNothing) {
    long runs = 0, points = 0;
    for (const SweepMachine& sm : kMachines) {
        const std::string text = readFile(testing_support::sourcePath(sm.file));
        // First the undisturbed run, recording every call it makes.
        auto baseline = testing_support::machineFrom(text);
        baseline->faults.recording = true;
        sim::runProgram(*baseline, sm.arguments);
        std::map<std::string, long> calls;
        for (const std::string& call : baseline->faults.log) ++calls[call];
        ASSERT_FALSE(calls.empty()) << sm.file;

        for (const auto& [call, count] : calls) {
            for (long k = 1; k <= count; ++k) {
                ++points;
                for (long times : {1L, -1L}) {
                    testing_support::Run run;
                    run.machine = testing_support::machineFrom(text);
                    run.machine->faults.rules.push_back({call, k, times, errorFor(call)});
                    run.outcome = sim::runProgram(*run.machine, sm.arguments);
                    ++runs;
                    std::string problems = check(sm, call, run);
                    EXPECT_TRUE(problems.empty()) << sm.file << ": " << call << " failing at call " << k
                                                  << (times < 0 ? " and after" : " once") << ":\n"
                                                  << problems;
                }
            }
        }
    }
    std::cout << "fault sweep: " << runs << " runs, " << points << " failure points\n";
}

}  // namespace
