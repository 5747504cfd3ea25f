#include "platform/sim/spooler.h"

#include "platform/sim/machine.h"

namespace sim {

namespace {

// Folds a name one byte at a time, as a whole-name upper-casing in the
// machine's code page would: the spooler compares every name it holds on
// each look-up, so the comparison makes no copies.
class FoldedBytes {
public:
    explicit FoldedBytes(const std::string& name) : m_name(name), m_codePageKnown(hasMachine()) {}

    char next() {
        char c = m_name[m_at++];
        const auto byte = static_cast<unsigned char>(c);
        if (m_secondByte) {  // the second byte of a double-byte character stays as it is
            m_secondByte = false;
            return c;
        }
        if (!m_codePageKnown) {
            if (!m_afterHighByte && c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
            m_afterHighByte = byte >= 0x80;
            return c;
        }
        // Below 0x80 no code page has a lead byte or folds anything but a to z.
        if (byte < 0x80) return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
        if (os::IsDBCSLeadByte(byte) && m_at < m_name.size()) {
            m_secondByte = true;
            return c;
        }
        os::CharUpperBuffA(&c, 1);
        return c;
    }

private:
    const std::string& m_name;
    const bool m_codePageKnown;
    std::size_t m_at = 0;
    bool m_secondByte = false;
    bool m_afterHighByte = false;
};

// The ports of a fresh Windows 98 installation.
std::vector<Port> freshPorts() {
    std::vector<Port> ports;
    for (const char* name : {"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"})
        ports.push_back(Port{name});
    return ports;
}

os::DWORD readDword(JsonIn& in, const char* key) {
    long long v = in.integer(key, 0);
    if (v < 0 || v > 0xFFFFFFFFLL) in.failAt(key, "must be a 32-bit unsigned number");
    return static_cast<os::DWORD>(v);
}

// The optional text fields of a printer record, by their machine-file key.
struct TextField {
    const char* key;
    std::string Printer::*field;
};
const TextField kTextFields[] = {
    {"serverName", &Printer::serverName}, {"shareName", &Printer::shareName},
    {"comment", &Printer::comment},       {"location", &Printer::location},
    {"sepFile", &Printer::sepFile},       {"printProcessor", &Printer::printProcessor},
    {"datatype", &Printer::datatype},     {"parameters", &Printer::parameters},
};
struct NumberField {
    const char* key;
    os::DWORD Printer::*field;
};
const NumberField kNumberFields[] = {
    {"priority", &Printer::priority},   {"defaultPriority", &Printer::defaultPriority},
    {"startTime", &Printer::startTime}, {"untilTime", &Printer::untilTime},
    {"status", &Printer::status},
};

Printer readPrinter(const json& value, const std::string& path) {
    JsonIn in(value, path);
    Printer p;
    p.name = in.str("name");
    if (p.name.empty()) in.failAt("name", "must name the printer");
    p.driver = in.str("driver");
    p.port = in.str("port");
    p.attributes = readDword(in, "attributes");
    long long listed = in.integer("listedAfterMs", 0);
    if (listed < 0) in.failAt("listedAfterMs", "must be 0 or more");
    p.listedAfterMs = static_cast<std::uint64_t>(listed);
    for (const TextField& f : kTextFields) p.*f.field = in.str(f.key);
    for (const NumberField& f : kNumberFields) p.*f.field = readDword(in, f.key);
    in.done();
    return p;
}

json writePrinter(const Printer& p) {
    json out{{"name", p.name}, {"driver", p.driver}, {"port", p.port}, {"attributes", p.attributes}};
    if (p.listedAfterMs) out["listedAfterMs"] = p.listedAfterMs;
    for (const TextField& f : kTextFields)
        if (!(p.*f.field).empty()) out[f.key] = p.*f.field;
    for (const NumberField& f : kNumberFields)
        if (p.*f.field) out[f.key] = p.*f.field;
    return out;
}

}  // namespace

bool sameSpoolerName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    FoldedBytes x(a), y(b);
    for (std::size_t i = 0; i < a.size(); ++i)
        if (x.next() != y.next()) return false;
    return true;
}

Spooler::Spooler() : ports(freshPorts()) {}

Printer* Spooler::findPrinter(const std::string& name) {
    for (Printer& p : printers)
        if (sameSpoolerName(p.name, name)) return &p;
    return nullptr;
}

Printer* Spooler::printerById(std::uint64_t id) {
    for (Printer& p : printers)
        if (p.id == id) return &p;
    return nullptr;
}

const Port* Spooler::findPort(const std::string& name) const {
    for (const Port& p : ports)
        if (sameSpoolerName(p.name, name)) return &p;
    return nullptr;
}

bool Spooler::hasDriver(const std::string& name) const {
    for (const std::string& d : drivers)
        if (sameSpoolerName(d, name)) return true;
    return false;
}

const Printer* Spooler::defaultPrinter() const {
    for (const Printer& p : printers)
        if (p.attributes & os::PRINTER_ATTRIBUTE_DEFAULT) return &p;
    return nullptr;
}

void Spooler::makeDefault(const Printer* printer) {
    for (Printer& p : printers) {
        if (&p == printer)
            p.attributes |= os::PRINTER_ATTRIBUTE_DEFAULT;
        else
            p.attributes &= ~os::PRINTER_ATTRIBUTE_DEFAULT;
    }
}

Printer& Spooler::addPrinter(Printer printer) {
    printer.id = nextPrinterId++;
    printers.push_back(std::move(printer));
    return printers.back();
}

void readSpooler(const json& value, const std::string& path, Spooler& out) {
    JsonIn in(value, path);
    if (const json* list = in.array("ports")) {
        out.ports.clear();
        out.portsGiven = true;
        for (std::size_t i = 0; i < list->size(); ++i) {
            JsonIn port((*list)[i], in.itemPath("ports", i));
            Port p;
            p.name = port.str("name");
            if (p.name.empty()) port.failAt("name", "must name the port");
            p.type = readDword(port, "type");
            if (!port.has("type")) p.type = Port{}.type;
            port.done();
            for (const Port& earlier : out.ports)
                if (sameSpoolerName(earlier.name, p.name)) port.failAt("name", "names a port listed before");
            out.ports.push_back(p);
        }
    }
    out.drivers = in.strings("drivers");
    for (std::size_t i = 0; i < out.drivers.size(); ++i) {
        if (out.drivers[i].empty()) throw MachineFileError(in.itemPath("drivers", i), "must name the driver");
        for (std::size_t j = 0; j < i; ++j)
            if (sameSpoolerName(out.drivers[j], out.drivers[i]))
                throw MachineFileError(in.itemPath("drivers", i), "names a driver listed before");
    }
    if (const json* list = in.array("printers")) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            Printer p = readPrinter((*list)[i], in.itemPath("printers", i));
            if (out.findPrinter(p.name))
                throw MachineFileError(in.itemPath("printers", i) + ".name", "names a printer listed before");
            out.addPrinter(p);
        }
    }
    // "defaultPrinter" and the printers' default attribute say the same thing;
    // a file may give either, but not two different answers.
    std::string defaultName = in.str("defaultPrinter");
    int flagged = 0;
    for (const Printer& p : out.printers)
        if (p.attributes & os::PRINTER_ATTRIBUTE_DEFAULT) ++flagged;
    if (flagged > 1) in.failAt("printers", "more than one printer has the default attribute (4)");
    if (!defaultName.empty()) {
        const Printer* named = out.findPrinter(defaultName);
        if (!named) in.failAt("defaultPrinter", "names no printer of the list");
        const Printer* current = out.defaultPrinter();
        if (current && current != named)
            in.failAt("defaultPrinter", "differs from the printer with the default attribute (4)");
        out.makeDefault(named);
    }
    in.done();
}

json writeSpooler(const Spooler& in) {
    json ports = json::array();
    for (const Port& p : in.ports) ports.push_back({{"name", p.name}, {"type", p.type}});
    json printers = json::array();
    for (const Printer& p : in.printers) printers.push_back(writePrinter(p));
    const Printer* def = in.defaultPrinter();
    return json{{"ports", ports},
                {"drivers", in.drivers},
                {"printers", printers},
                {"defaultPrinter", def ? def->name : std::string()}};
}

}  // namespace sim
