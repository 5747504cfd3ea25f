// Small machines with USB printers, and the scan run on its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/PrinterPortApp.h"
#include "tests/support/machine_fixture.h"

namespace usb_testing {

// The device path of the n-th printer's interface, as SetupAPI gives it.
inline std::string interfacePath(int n) {
    return "\\\\.\\USB#VID_0A0B&PID_" + std::to_string(1000 + n) + "#5&" + std::to_string(n) +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

// One entry of the machine file's "usb" list.
inline sim::json printer(int n, const std::string& deviceId) {
    return sim::json{{"path", interfacePath(n)}, {"deviceId", deviceId}};
}
inline sim::json printer(int n, const std::string& deviceId, long portNumber) {
    sim::json p = printer(n, deviceId);
    p["portNumber"] = portNumber;
    return p;
}

// Machine-file text with these USB printers; `extra` adds other sections.
inline std::string machineWith(const std::vector<sim::json>& printers, sim::json extra = sim::json::object()) {
    sim::json file = std::move(extra);
    file["usb"] = printers;
    return file.dump();
}

// One call of CheckMSUsb on a fresh application object.
struct Scan {
    std::unique_ptr<sim::Machine> machine;
    os::BOOL result = 0;
    std::string mfg, mdl, deviceKey, portName;

    const std::vector<std::string>& trace() const { return machine->records.trace; }
    const std::vector<std::string>& reports() const { return machine->records.reports; }
    bool inOrder(const std::vector<std::string>& lines) const {
        std::size_t at = 0;
        for (const std::string& line : lines) {
            while (at < trace().size() && trace()[at] != line) ++at;
            if (at == trace().size()) return false;
            ++at;
        }
        return true;
    }
    bool leakFree() const {
        for (const auto& kind : machine->held.all())
            if (kind.second != 0) return false;
        return true;
    }
};

// `lastError` is the thread's last error when the scan starts.
inline Scan scan(const std::string& machineJson, os::DWORD lastError = 0) {
    Scan s;
    s.machine = testing_support::machineFrom(machineJson);
    sim::Session session(*s.machine);
    CPrinterPortApp app;
    os::SetLastError(lastError);
    s.result = app.CheckMSUsb();
    s.mfg = app.m_strMFG.str();
    s.mdl = app.m_strMDL.str();
    s.deviceKey = app.m_strDeviceKey.str();
    s.portName = app.m_strPortName.str();
    return s;
}

}  // namespace usb_testing
