// Simulated print spooler calls.
//
// Enumerations and GetPrinterA use the spooler's two-call sizing: a buffer
// that is too small fails with ERROR_INSUFFICIENT_BUFFER and the size needed;
// the buffer receives the records first and then their strings, which the
// records point to.
#include <cstring>

#include "platform/sim/machine.h"

namespace {

// Codes of the real spooler that the seam has no name for.
constexpr os::DWORD kErrorInvalidName = 123;
constexpr os::DWORD kErrorInvalidLevel = 124;
constexpr os::DWORD kErrorInvalidEnvironment = 1805;
constexpr os::DWORD kErrorPrinterDeleted = 1905;
const char* const kMonitorName = "Local Port";
const char* const kEnvironment = "Windows 4.0";

sim::Spooler& spooler() {
    return sim::machine().spooler;
}

os::BOOL failWith(os::DWORD code) {
    sim::machine().lastError = code;
    return os::FALSE;
}

bool isEmpty(os::LPCSTR text) {
    return !text || !*text;
}
std::string textOf(os::LPCSTR text) {
    return text ? text : "";
}

// Lays out records and their strings in a caller's buffer.
class Layout {
public:
    Layout(std::size_t recordSize, std::size_t count) : m_records(recordSize * count) {}
    // Counts a string that will be placed (null: not placed).
    void count(const char* text) {
        if (text) m_strings += std::strlen(text) + 1;
    }
    std::size_t needed() const { return m_records + m_strings; }
    void start(os::LPBYTE buffer) {
        m_buffer = buffer;
        m_next = m_records;
    }
    os::LPBYTE record(std::size_t recordSize, std::size_t index) { return m_buffer + recordSize * index; }
    char* put(const char* text) {
        if (!text) return nullptr;
        char* at = reinterpret_cast<char*>(m_buffer + m_next);
        std::size_t n = std::strlen(text) + 1;
        std::memcpy(at, text, n);
        m_next += n;
        return at;
    }

private:
    std::size_t m_records;
    std::size_t m_strings = 0;
    os::LPBYTE m_buffer = nullptr;
    std::size_t m_next = 0;
};

// The strings of a PRINTER_INFO_2 in field order; a local printer has no server name.
struct PrinterStrings {
    const char* server;
    const char* name;
    const char* share;
    const char* port;
    const char* driver;
    const char* comment;
    const char* location;
    const char* sepFile;
    const char* printProcessor;
    const char* datatype;
    const char* parameters;
};
PrinterStrings stringsOf(const sim::Printer& p) {
    return {p.serverName.empty() ? nullptr : p.serverName.c_str(),
            p.name.c_str(),
            p.shareName.c_str(),
            p.port.c_str(),
            p.driver.c_str(),
            p.comment.c_str(),
            p.location.c_str(),
            p.sepFile.c_str(),
            p.printProcessor.c_str(),
            p.datatype.c_str(),
            p.parameters.c_str()};
}
void countPrinter(Layout& layout, const sim::Printer& p) {
    PrinterStrings s = stringsOf(p);
    for (const char* text : {s.server, s.name, s.share, s.port, s.driver, s.comment, s.location, s.sepFile,
                             s.printProcessor, s.datatype, s.parameters})
        layout.count(text);
}
void putPrinter(Layout& layout, os::PRINTER_INFO_2& r, const sim::Printer& p) {
    PrinterStrings s = stringsOf(p);
    r = os::PRINTER_INFO_2{};
    r.pServerName = layout.put(s.server);
    r.pPrinterName = layout.put(s.name);
    r.pShareName = layout.put(s.share);
    r.pPortName = layout.put(s.port);
    r.pDriverName = layout.put(s.driver);
    r.pComment = layout.put(s.comment);
    r.pLocation = layout.put(s.location);
    r.pSepFile = layout.put(s.sepFile);
    r.pPrintProcessor = layout.put(s.printProcessor);
    r.pDatatype = layout.put(s.datatype);
    r.pParameters = layout.put(s.parameters);
    r.Attributes = p.attributes;
    r.Priority = p.priority;
    r.DefaultPriority = p.defaultPriority;
    r.StartTime = p.startTime;
    r.UntilTime = p.untilTime;
    r.Status = p.status;
}

// The sizing rule shared by every call that fills a buffer: true when the
// records fit; otherwise the call fails with the size needed.
bool fits(const Layout& layout, os::LPBYTE buffer, os::DWORD size, os::LPDWORD needed) {
    *needed = static_cast<os::DWORD>(layout.needed());
    if (layout.needed() == 0) return true;
    if (!buffer || size < layout.needed()) {
        sim::machine().lastError = os::ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    return true;
}

// The printer behind an open handle; null (with the last error) when the
// handle is not open or its printer was deleted.
sim::Printer* printerOf(os::HANDLE handle) {
    auto it = spooler().handles.find(handle);
    if (it == spooler().handles.end()) {
        sim::machine().lastError = os::ERROR_INVALID_HANDLE;
        return nullptr;
    }
    sim::Printer* p = spooler().printerById(it->second.printerId);
    if (!p) sim::machine().lastError = kErrorPrinterDeleted;
    return p;
}

os::HANDLE openHandle(const sim::Printer& p) {
    auto handle = reinterpret_cast<os::HANDLE>(spooler().nextHandle);
    spooler().nextHandle += 4;
    spooler().handles[handle] = sim::Spooler::OpenHandle{p.id};
    sim::machine().held.acquire("printerHandles");
    return handle;
}

// The settings of a PRINTER_INFO_2 that SetPrinterA and AddPrinterA take:
// port and driver must exist; a null string is an empty one.
os::DWORD checkRecord(const os::PRINTER_INFO_2& r) {
    if (isEmpty(r.pPrinterName)) return os::ERROR_INVALID_PRINTER_NAME;
    if (isEmpty(r.pDriverName) || !spooler().hasDriver(r.pDriverName))
        return os::ERROR_UNKNOWN_PRINTER_DRIVER;
    if (isEmpty(r.pPortName) || !spooler().findPort(r.pPortName)) return os::ERROR_UNKNOWN_PORT;
    return os::ERROR_SUCCESS;
}
void applyRecord(sim::Printer& p, const os::PRINTER_INFO_2& r) {
    p.name = textOf(r.pPrinterName);
    p.port = textOf(r.pPortName);
    p.driver = textOf(r.pDriverName);
    p.shareName = textOf(r.pShareName);
    p.comment = textOf(r.pComment);
    p.location = textOf(r.pLocation);
    p.sepFile = textOf(r.pSepFile);
    p.printProcessor = textOf(r.pPrintProcessor);
    p.datatype = textOf(r.pDatatype);
    p.parameters = textOf(r.pParameters);
    p.priority = r.Priority;
    p.defaultPriority = r.DefaultPriority;
    p.startTime = r.StartTime;
    p.untilTime = r.UntilTime;
    p.attributes = r.Attributes;
}
// After a record took effect: the default attribute stays on one printer at most.
void settleDefault(sim::Printer& p) {
    if (p.attributes & os::PRINTER_ATTRIBUTE_DEFAULT) spooler().makeDefault(&p);
}

}  // namespace

namespace os {

BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned) {
    if (sim::failCall("EnumPrintersA")) return FALSE;
    if (!needed || !returned) return failWith(ERROR_INVALID_PARAMETER);
    *returned = 0;
    if (!isEmpty(name)) return failWith(kErrorInvalidName);
    if (level != 2) return failWith(kErrorInvalidLevel);
    std::vector<const sim::Printer*> listed;
    if (flags & PRINTER_ENUM_LOCAL)
        for (const sim::Printer& p : spooler().printers)
            if (spooler().isListed(p, sim::machine().nowMs)) listed.push_back(&p);
    Layout layout(sizeof(PRINTER_INFO_2), listed.size());
    for (const sim::Printer* p : listed) countPrinter(layout, *p);
    if (!fits(layout, buffer, size, needed)) return FALSE;
    layout.start(buffer);
    for (std::size_t i = 0; i < listed.size(); ++i)
        putPrinter(layout, *reinterpret_cast<PRINTER_INFO_2*>(layout.record(sizeof(PRINTER_INFO_2), i)),
                   *listed[i]);
    *returned = static_cast<DWORD>(listed.size());
    return TRUE;
}

BOOL EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    if (sim::failCall("EnumPortsA")) return FALSE;
    if (!needed || !returned) return failWith(ERROR_INVALID_PARAMETER);
    *returned = 0;
    if (!isEmpty(server)) return failWith(kErrorInvalidName);
    if (level != 2) return failWith(kErrorInvalidLevel);
    const auto& ports = spooler().ports;
    Layout layout(sizeof(PORT_INFO_2), ports.size());
    for (const sim::Port& p : ports) {
        layout.count(p.name.c_str());
        layout.count(kMonitorName);
        layout.count(kMonitorName);
    }
    if (!fits(layout, buffer, size, needed)) return FALSE;
    layout.start(buffer);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto& r = *reinterpret_cast<PORT_INFO_2*>(layout.record(sizeof(PORT_INFO_2), i));
        r = PORT_INFO_2{};
        r.pPortName = layout.put(ports[i].name.c_str());
        r.pMonitorName = layout.put(kMonitorName);
        r.pDescription = layout.put(kMonitorName);
        r.fPortType = ports[i].type;
    }
    *returned = static_cast<DWORD>(ports.size());
    return TRUE;
}

BOOL EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed, LPDWORD returned) {
    if (sim::failCall("EnumPrinterDriversA")) return FALSE;
    if (!needed || !returned) return failWith(ERROR_INVALID_PARAMETER);
    *returned = 0;
    if (!isEmpty(server)) return failWith(kErrorInvalidName);
    if (!isEmpty(environment) && !sim::sameSpoolerName(environment, kEnvironment))
        return failWith(kErrorInvalidEnvironment);
    if (level != 1) return failWith(kErrorInvalidLevel);
    const auto& drivers = spooler().drivers;
    Layout layout(sizeof(DRIVER_INFO_1), drivers.size());
    for (const std::string& d : drivers) layout.count(d.c_str());
    if (!fits(layout, buffer, size, needed)) return FALSE;
    layout.start(buffer);
    for (std::size_t i = 0; i < drivers.size(); ++i)
        reinterpret_cast<DRIVER_INFO_1*>(layout.record(sizeof(DRIVER_INFO_1), i))->pName =
            layout.put(drivers[i].c_str());
    *returned = static_cast<DWORD>(drivers.size());
    return TRUE;
}

BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA*) {
    if (sim::failCall("OpenPrinterA")) return FALSE;
    if (!printer) return failWith(ERROR_INVALID_PARAMETER);
    *printer = nullptr;
    if (isEmpty(name)) return failWith(ERROR_INVALID_PRINTER_NAME);
    sim::Printer* p = spooler().findPrinter(name);
    if (!p || !spooler().isListed(*p, sim::machine().nowMs)) return failWith(ERROR_INVALID_PRINTER_NAME);
    *printer = openHandle(*p);
    return TRUE;
}

BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (sim::failCall("GetPrinterA")) return FALSE;
    if (!needed) return failWith(ERROR_INVALID_PARAMETER);
    const sim::Printer* p = printerOf(printer);
    if (!p) return FALSE;
    if (level != 2) return failWith(kErrorInvalidLevel);
    Layout layout(sizeof(PRINTER_INFO_2), 1);
    countPrinter(layout, *p);
    if (!fits(layout, buffer, size, needed)) return FALSE;
    layout.start(buffer);
    putPrinter(layout, *reinterpret_cast<PRINTER_INFO_2*>(buffer), *p);
    return TRUE;
}

BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) {
    if (sim::failCall("SetPrinterA")) return FALSE;
    sim::Printer* p = printerOf(printer);
    if (!p) return FALSE;
    if (command != 0) return failWith(ERROR_INVALID_PRINTER_COMMAND);
    if (level != 2) return failWith(kErrorInvalidLevel);
    if (!info) return failWith(ERROR_INVALID_PARAMETER);
    const auto& record = *reinterpret_cast<const PRINTER_INFO_2*>(info);
    if (DWORD error = checkRecord(record)) return failWith(error);
    const sim::Printer* sameNamed = spooler().findPrinter(record.pPrinterName);
    if (sameNamed && sameNamed != p) return failWith(ERROR_PRINTER_ALREADY_EXISTS);
    applyRecord(*p, record);
    settleDefault(*p);
    return TRUE;
}

HANDLE AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
    if (sim::failCall("AddPrinterA")) return nullptr;
    if (!isEmpty(server)) return failWith(kErrorInvalidName), nullptr;
    if (level != 2) return failWith(kErrorInvalidLevel), nullptr;
    if (!info) return failWith(ERROR_INVALID_PARAMETER), nullptr;
    const auto& record = *reinterpret_cast<const PRINTER_INFO_2*>(info);
    if (!isEmpty(record.pPrinterName) && spooler().findPrinter(record.pPrinterName))
        return failWith(ERROR_PRINTER_ALREADY_EXISTS), nullptr;
    if (DWORD error = checkRecord(record)) return failWith(error), nullptr;
    sim::Printer fresh;
    applyRecord(fresh, record);
    fresh.status = 0;
    sim::Printer& added = spooler().addPrinter(fresh);
    settleDefault(added);
    return openHandle(added);
}

BOOL DeletePrinter(HANDLE printer) {
    if (sim::failCall("DeletePrinter")) return FALSE;
    sim::Printer* p = printerOf(printer);
    if (!p) return FALSE;
    auto& printers = spooler().printers;
    printers.erase(printers.begin() + (p - printers.data()));
    return TRUE;
}

BOOL DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) {
    if (sim::failCall("DeletePrinterDriverA")) return FALSE;
    if (!isEmpty(server)) return failWith(kErrorInvalidName);
    if (!isEmpty(environment) && !sim::sameSpoolerName(environment, kEnvironment))
        return failWith(kErrorInvalidEnvironment);
    auto& drivers = spooler().drivers;
    for (auto it = drivers.begin(); it != drivers.end(); ++it) {
        if (isEmpty(driverName) || !sim::sameSpoolerName(*it, driverName)) continue;
        for (const sim::Printer& p : spooler().printers)
            if (sim::sameSpoolerName(p.driver, *it)) return failWith(ERROR_PRINTER_DRIVER_IN_USE);
        drivers.erase(it);
        return TRUE;
    }
    return failWith(ERROR_UNKNOWN_PRINTER_DRIVER);
}

BOOL ClosePrinter(HANDLE printer) {
    if (sim::failCall("ClosePrinter")) return FALSE;
    if (spooler().handles.erase(printer) == 0) return failWith(ERROR_INVALID_HANDLE);
    sim::machine().held.release("printerHandles");
    return TRUE;
}

}  // namespace os
