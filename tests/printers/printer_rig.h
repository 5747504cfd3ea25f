// The application object on a small simulated machine, for calling one
// worker operation at a time with the device fields set by hand.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/PrinterPortApp.h"
#include "tests/support/machine_fixture.h"

namespace printers_test {

struct Rig {
    explicit Rig(const std::string& machineJson = "")
        : machine(testing_support::machineFrom(machineJson)),
          session(std::make_unique<sim::Session>(*machine)),
          app(std::make_unique<CPrinterPortApp>()) {
        // What the run sequence has done before the printer work begins.
        app->m_osVersion.nVersion = 7;
        app->m_osVersion.nFamily = OS_FAMILY_WIN9X;
        app->m_bDriverMissing = 1;
        app->m_strMFG = "ACME";
        app->m_strMDL = "PHOTO 1";
        app->m_strDeviceKey = "ACMEPHOTO_1";
        app->m_strPortName = "USB001";
        machine->records.trace.clear();
    }
    ~Rig() {
        app.reset();
        session.reset();
    }

    const std::vector<std::string>& trace() const { return machine->records.trace; }
    bool traced(const std::string& line) const {
        return std::find(trace().begin(), trace().end(), line) != trace().end();
    }
    int count(const std::string& line) const {
        return static_cast<int>(std::count(trace().begin(), trace().end(), line));
    }
    bool inOrder(const std::vector<std::string>& lines) const {
        auto at = trace().begin();
        for (const std::string& line : lines) {
            at = std::find(at, trace().end(), line);
            if (at == trace().end()) return false;
            ++at;
        }
        return true;
    }
    // Nothing that the printer work opens or allocates is still held.
    std::string held() const {
        std::string out;
        for (const char* kind : {"heap", "printerHandles", "registryKeys"})
            if (machine->held.count(kind) != 0)
                out += std::string(kind) + "=" + std::to_string(machine->held.count(kind)) + " ";
        return out;
    }
    // Only after the operation: look-ups compare names in the machine's code page.
    const sim::Printer* printer(const std::string& name) { return machine->spooler.findPrinter(name); }
    std::string portOf(const std::string& name) {
        const sim::Printer* p = printer(name);
        return p ? p->port : "<no printer>";
    }
    std::string defaultPrinter() const {
        const sim::Printer* p = machine->spooler.defaultPrinter();
        return p ? p->name : "";
    }

    std::unique_ptr<sim::Machine> machine;
    std::unique_ptr<sim::Session> session;
    std::unique_ptr<CPrinterPortApp> app;
};

}  // namespace printers_test
