#include "platform/sim/machine.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace sim {

namespace {
Machine* g_current = nullptr;
}

bool Faults::fail(const char* call, os::DWORD* error) {
    long n = ++m_counts[call];
    if (recording) log.emplace_back(call);
    for (const FaultRule& rule : rules) {
        if (rule.call != call || n < rule.nth) continue;
        if (rule.times >= 0 && n >= rule.nth + rule.times) continue;
        *error = rule.error;
        return true;
    }
    return false;
}

long Faults::count(const std::string& call) const {
    auto it = m_counts.find(call);
    return it == m_counts.end() ? 0 : it->second;
}

long Held::count(const char* kind) const {
    auto it = m_counts.find(kind);
    return it == m_counts.end() ? 0 : it->second;
}

long Held::total() const {
    long sum = 0;
    for (const auto& entry : m_counts) sum += entry.second;
    return sum;
}

Machine::Machine() = default;

Machine::~Machine() {
    // Blocks a program left behind are reclaimed with the machine.
    for (const auto& block : heapBlocks) std::free(const_cast<void*>(block.first));
}

char* Machine::allocText(const std::string& text) {
    auto* block = static_cast<char*>(std::calloc(text.size() + 1, 1));
    std::memcpy(block, text.data(), text.size());
    heapBlocks[block] = text.size() + 1;
    held.acquire("localHeap");
    return block;
}

os::HANDLE Machine::openKernelHandle(const std::string& kind, std::size_t index) {
    auto handle = reinterpret_cast<os::HANDLE>(m_nextKernelHandle);
    m_nextKernelHandle += 4;
    m_kernelObjects[handle] = KernelObject{kind, index};
    held.acquire(kind.c_str());
    return handle;
}

const Machine::KernelObject* Machine::kernelObject(os::HANDLE handle) const {
    auto it = m_kernelObjects.find(handle);
    return it == m_kernelObjects.end() ? nullptr : &it->second;
}

bool Machine::closeKernelHandle(os::HANDLE handle) {
    auto it = m_kernelObjects.find(handle);
    if (it == m_kernelObjects.end()) return false;
    held.release(it->second.kind.c_str());
    m_kernelObjects.erase(it);
    return true;
}

Machine& machine() {
    if (!g_current) {
        // A simulated call with no machine is a fault of the harness, not of the program.
        std::fputs("simulated system call made with no current machine\n", stderr);
        std::abort();
    }
    return *g_current;
}

bool hasMachine() { return g_current != nullptr; }

Session::Session(Machine& m) : m_previous(g_current) { g_current = &m; }
Session::~Session() { g_current = m_previous; }

bool failCall(const char* call, os::DWORD* error) { return machine().faults.fail(call, error); }

bool failCall(const char* call) {
    os::DWORD error = 0;
    if (!failCall(call, &error)) return false;
    machine().lastError = error;
    return true;
}

// ---- Machine file ------------------------------------------------------------------

namespace {

void readOs(const json& value, OsInfo& out) {
    JsonIn in(value, "os");
    out.platformId = static_cast<os::DWORD>(in.integer("platformId", out.platformId));
    out.major = static_cast<os::DWORD>(in.integer("major", out.major));
    out.minor = static_cast<os::DWORD>(in.integer("minor", out.minor));
    out.build = static_cast<os::DWORD>(in.integer("build", out.build));
    out.csd = in.str("csd", out.csd);
    if (out.csd.size() > 127) in.failAt("csd", "must have at most 127 characters");
    out.acceptsVersionInfoEx = in.boolean("acceptsVersionInfoEx", out.acceptsVersionInfoEx);
    out.refusesVersionQuery = in.boolean("refusesVersionQuery", out.refusesVersionQuery);
    in.done();
}

json writeOs(const OsInfo& o) {
    return json{{"platformId", o.platformId},
                {"major", o.major},
                {"minor", o.minor},
                {"build", o.build},
                {"csd", o.csd},
                {"acceptsVersionInfoEx", o.acceptsVersionInfoEx},
                {"refusesVersionQuery", o.refusesVersionQuery}};
}

std::string readTextFile(const std::string& path, const std::string& where) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw MachineFileError(where, "cannot read file \"" + path + "\"");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

void Machine::load(const json& file, const std::string& baseDir) {
    JsonIn in(file, "");
    if (const json* v = in.object("os")) readOs(*v, os);
    codePage = static_cast<int>(in.integer("codePage", codePage));
    if (codePage != 1252 && codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950)
        in.failAt("codePage", "must be one of 1252, 932, 936, 949, 950");
    libraries.missingLibraries = in.strings("missingLibraries");
    libraries.missingEntryPoints = in.strings("missingEntryPoints");
    if (const json* v = in.array("usb")) readUsb(*v, "usb", usb);
    std::string inlineRegistry = in.str("registry");
    if (!inlineRegistry.empty()) readRegistry(inlineRegistry, "registry", registry);
    for (const std::string& name : in.strings("registryFiles")) {
        std::string path = (name.empty() || name[0] == '/' || baseDir.empty()) ? name : baseDir + "/" + name;
        readRegistry(readTextFile(path, "registryFiles"), name, registry);
    }
    // Each USB printer interface has its key in the registry (with its "Port
    // Number"), and, unless the file lists the ports itself, its port.
    addUsbInterfaceKeys(usb, registry);
    if (const json* v = in.object("spooler")) readSpooler(*v, "spooler", spooler);
    if (!spooler.portsGiven)
        for (const std::string& name : usbPortNames(usb)) spooler.ports.push_back(Port{name});
    if (const json* v = in.object("drives")) readDrives(*v, "drives", drives);
    if (const json* list = in.array("faults")) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            JsonIn rule((*list)[i], in.itemPath("faults", i));
            FaultRule r;
            r.call = rule.str("call");
            if (r.call.empty()) rule.failAt("call", "must name a system call");
            r.nth = static_cast<long>(rule.integer("nth", 1));
            if (r.nth < 1) rule.failAt("nth", "must be 1 or more");
            r.times = static_cast<long>(rule.integer("times", 1));
            if (r.times < -1) rule.failAt("times", "must be -1 (every later call) or 0 or more");
            r.error = static_cast<os::DWORD>(rule.integer("error", os::ERROR_GEN_FAILURE));
            rule.done();
            faults.rules.push_back(r);
        }
    }
    if (const json* list = in.array("events")) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            JsonIn event((*list)[i], in.itemPath("events", i));
            InputEvent e;
            long long at = event.integer("atMs", 0);
            if (at < 0) event.failAt("atMs", "must be 0 or more");
            e.atMs = static_cast<std::uint64_t>(at);
            e.key = event.str("key");
            if (e.key != "Enter" && e.key != "Escape") event.failAt("key", "must be \"Enter\" or \"Escape\"");
            event.done();
            events.push_back(e);
        }
    }
    in.done();
}

json Machine::save() const {
    json out;
    out["os"] = writeOs(os);
    out["codePage"] = codePage;
    if (!libraries.missingLibraries.empty()) out["missingLibraries"] = libraries.missingLibraries;
    if (!libraries.missingEntryPoints.empty()) out["missingEntryPoints"] = libraries.missingEntryPoints;
    json usbJson = writeUsb(usb);
    if (!usbJson.is_null()) out["usb"] = usbJson;
    std::string reg = writeRegistry(registry);
    if (!reg.empty()) out["registry"] = reg;
    json spoolerJson = writeSpooler(spooler);
    if (!spoolerJson.is_null()) out["spooler"] = spoolerJson;
    json drivesJson = writeDrives(drives);
    if (!drivesJson.is_null()) out["drives"] = drivesJson;
    if (!faults.rules.empty()) {
        json list = json::array();
        for (const FaultRule& r : faults.rules)
            list.push_back({{"call", r.call}, {"nth", r.nth}, {"times", r.times}, {"error", r.error}});
        out["faults"] = list;
    }
    if (!events.empty()) {
        json list = json::array();
        for (const InputEvent& e : events) list.push_back({{"atMs", e.atMs}, {"key", e.key}});
        out["events"] = list;
    }
    return out;
}

}  // namespace sim
