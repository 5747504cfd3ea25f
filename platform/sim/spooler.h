// The simulated machine's print spooler: ports, installed printer drivers,
// printers and the open printer handles.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/sim/json_in.h"

namespace sim {

struct Port {
    std::string name;
    os::DWORD type = os::PORT_TYPE_WRITE | os::PORT_TYPE_READ;
};

// One printer with the PRINTER_INFO_2 fields the machine keeps. Empty strings
// and zero numbers are the defaults that the machine file leaves out.
struct Printer {
    std::string name;
    std::string driver;
    std::string port;
    os::DWORD attributes = 0;
    // Not listed (EnumPrintersA, OpenPrinterA) before this virtual time: a
    // printer that an installation is still creating.
    std::uint64_t listedAfterMs = 0;
    std::string serverName;
    std::string shareName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor;
    std::string datatype;
    std::string parameters;
    os::DWORD priority = 0;
    os::DWORD defaultPriority = 0;
    os::DWORD startTime = 0;
    os::DWORD untilTime = 0;
    os::DWORD status = 0;
    // Identity for open handles, stable across renames and deletions of others.
    std::uint64_t id = 0;
};

struct Spooler {
    // Every port, in enumeration order. Left out of the machine file, the
    // ports of a fresh Windows 98; USB ports are appended by the machine.
    std::vector<Port> ports;
    bool portsGiven = false;
    std::vector<std::string> drivers;
    std::vector<Printer> printers;

    // Open printer handles and the printer each one names; a handle outlives
    // the deletion of its printer until ClosePrinter.
    struct OpenHandle {
        std::uint64_t printerId = 0;
    };
    std::map<os::HANDLE, OpenHandle> handles;
    std::uintptr_t nextHandle = 0x5000;
    std::uint64_t nextPrinterId = 1;

    Spooler();

    // Look-ups ignore letter case (in the machine's code page). Null when absent.
    Printer* findPrinter(const std::string& name);
    Printer* printerById(std::uint64_t id);
    const Port* findPort(const std::string& name) const;
    bool hasDriver(const std::string& name) const;
    bool isListed(const Printer& printer, std::uint64_t nowMs) const {
        return nowMs >= printer.listedAfterMs;
    }
    // The printer with PRINTER_ATTRIBUTE_DEFAULT, or null.
    const Printer* defaultPrinter() const;
    // Makes `printer` the one default printer (null: no default printer).
    void makeDefault(const Printer* printer);
    Printer& addPrinter(Printer printer);
};

// Two names are the same printer, port or driver name when they are equal
// after upper-casing both in the current machine's code page. While a machine
// file is read there is no current machine yet: then only ASCII letters that
// cannot be the second byte of a double-byte character are folded.
bool sameSpoolerName(const std::string& a, const std::string& b);

void readSpooler(const json& value, const std::string& path, Spooler& out);
json writeSpooler(const Spooler& in);

}  // namespace sim
