#include "tools/sim_runner.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "app/PrinterPortApp.h"

namespace sim {

namespace {

// The line on which the last key of a JSON path ("spooler.printers[0].port") stands.
int lineOfPath(const std::string& text, const std::string& where) {
    std::string key = where;
    auto dot = key.find_last_of('.');
    if (dot != std::string::npos) key = key.substr(dot + 1);
    auto bracket = key.find('[');
    if (bracket != std::string::npos) key = key.substr(0, bracket);
    if (key.empty()) return 0;
    auto at = text.find("\"" + key + "\"");
    if (at == std::string::npos) return 0;
    int line = 1;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

std::string directoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

void loadMachineText(const std::string& text, const std::string& name, const std::string& baseDir,
                     Machine& machine) {
    json file;
    try {
        file = json::parse(text);
    } catch (const json::parse_error& e) {
        int line = 1;
        for (std::size_t i = 0; i < e.byte && i < text.size(); ++i)
            if (text[i] == '\n') ++line;
        std::string what = e.what();
        auto colon = what.find("parse error");
        throw MachineFileError("", name + ":" + std::to_string(line) + ": not valid JSON (" +
                                       (colon == std::string::npos ? what : what.substr(colon)) + ")");
    } catch (const json::exception& e) {
        // A number too large for any field, for instance.
        throw MachineFileError("", name + ": not usable JSON (" + e.what() + ")");
    }
    try {
        machine.load(file, baseDir);
    } catch (const MachineFileError& e) {
        int line = lineOfPath(text, e.where());
        throw MachineFileError(e.where(), name + ":" + (line ? std::to_string(line) + ":" : std::string()) +
                                              " " + e.where() + ": " + e.what());
    }
}

void loadMachineFile(const std::string& path, Machine& machine) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw MachineFileError("", path + ": cannot open the file");
    std::ostringstream text;
    text << file.rdbuf();
    loadMachineText(text.str(), path, directoryOf(path), machine);
}

RunOutcome runProgram(Machine& machine, const std::string& arguments) {
    Session session(machine);
    RunOutcome outcome;
    outcome.before = machine.save();
    machine.commandLine = "PrinterPort.exe" + (arguments.empty() ? std::string() : " " + arguments);
    // The application object lives as long as the process: static construction
    // binds the system entry points, static destruction releases them.
    CPrinterPortApp app;
    outcome.exitCode = app.Run();
    return outcome;
}

json runRecord(const Machine& m, const RunOutcome& outcome) {
    json run;
    run["commandLine"] = m.commandLine;
    run["exitCode"] = outcome.exitCode;
    run["virtualMs"] = m.nowMs;
    json boxes = json::array();
    for (const auto& box : m.records.messageBoxes)
        boxes.push_back({{"text", box.text}, {"caption", box.caption}, {"flags", box.flags}});
    run["messageBoxes"] = boxes;
    json processes = json::array();
    for (const auto& p : m.records.processes)
        processes.push_back({{"commandLine", p.commandLine},
                             {"creationFlags", p.creationFlags},
                             {"inheritHandles", p.inheritHandles}});
    run["processes"] = processes;
    run["trace"] = m.records.trace;
    run["reports"] = m.records.reports;
    json leaks = json::object();
    for (const auto& kind : m.held.all()) leaks[kind.first] = kind.second;
    run["leaks"] = leaks;
    if (m.records.dialogRan)
        run["dialog"] = {{"ran", true}, {"result", m.records.dialogEnded ? json(m.records.dialogResult) : json()}};
    else
        run["dialog"] = {{"ran", false}, {"result", nullptr}};
    if (!m.records.stalled.empty()) run["stalled"] = m.records.stalled;
    return run;
}

namespace {

struct PrinterView {
    std::string driver, port;
    long long attributes = 0;
};

std::map<std::string, PrinterView> printersOf(const json& machineFile) {
    std::map<std::string, PrinterView> out;
    if (!machineFile.contains("spooler") || !machineFile["spooler"].is_object()) return out;
    const json& spooler = machineFile["spooler"];
    if (!spooler.contains("printers") || !spooler["printers"].is_array()) return out;
    for (const json& p : spooler["printers"]) {
        if (!p.is_object() || !p.contains("name")) continue;
        PrinterView v;
        v.driver = p.value("driver", "");
        v.port = p.value("port", "");
        v.attributes = p.value("attributes", 0LL);
        out[p["name"].get<std::string>()] = v;
    }
    return out;
}

std::vector<std::string> namesOf(const json& machineFile, const char* list) {
    std::vector<std::string> out;
    if (!machineFile.contains("spooler") || !machineFile["spooler"].is_object()) return out;
    const json& spooler = machineFile["spooler"];
    if (!spooler.contains(list) || !spooler[list].is_array()) return out;
    for (const json& item : spooler[list]) {
        if (item.is_string()) out.push_back(item.get<std::string>());
        else if (item.is_object() && item.contains("name")) out.push_back(item["name"].get<std::string>());
    }
    return out;
}

std::string defaultOf(const json& machineFile) {
    if (!machineFile.contains("spooler") || !machineFile["spooler"].is_object()) return "";
    return machineFile["spooler"].value("defaultPrinter", "");
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

}  // namespace

std::string describeChanges(const Machine& m, const RunOutcome& outcome) {
    std::ostringstream out;
    json after = m.save();
    auto before = printersOf(outcome.before);
    auto now = printersOf(after);
    int changes = 0;
    for (const auto& [name, old] : before) {
        auto it = now.find(name);
        if (it == now.end()) {
            out << "printer deleted:  \"" << name << "\" (driver \"" << old.driver << "\", port " << old.port << ")\n";
            ++changes;
        } else if (it->second.port != old.port) {
            out << "printer moved:    \"" << name << "\" from " << old.port << " to " << it->second.port << "\n";
            ++changes;
        }
    }
    for (const auto& [name, p] : now)
        if (!before.count(name)) {
            out << "printer added:    \"" << name << "\" (driver \"" << p.driver << "\", port " << p.port << ")\n";
            ++changes;
        }
    auto driversBefore = namesOf(outcome.before, "drivers");
    auto driversAfter = namesOf(after, "drivers");
    for (const auto& d : driversBefore)
        if (std::find(driversAfter.begin(), driversAfter.end(), d) == driversAfter.end()) {
            out << "driver deleted:   \"" << d << "\"\n";
            ++changes;
        }
    auto portsBefore = namesOf(outcome.before, "ports");
    for (const auto& p : namesOf(after, "ports"))
        if (std::find(portsBefore.begin(), portsBefore.end(), p) == portsBefore.end()) {
            out << "port added:       " << p << "\n";
            ++changes;
        }
    std::string oldDefault = defaultOf(outcome.before), newDefault = defaultOf(after);
    if (oldDefault != newDefault) {
        out << "default printer:  \"" << newDefault << "\" (was \"" << oldDefault << "\")\n";
        ++changes;
    }
    for (const auto& p : m.records.processes) {
        out << "process started:  " << p.commandLine << "\n";
        ++changes;
    }
    for (const auto& box : m.records.messageBoxes) {
        out << "message box:      [" << box.caption << "] " << escaped(box.text) << "\n";
        ++changes;
    }
    if (m.records.dialogRan)
        out << "retry dialog:     ran, ended with "
            << (m.records.dialogEnded ? std::to_string(m.records.dialogResult) : std::string("no EndDialog")) << "\n";
    if (!m.records.stalled.empty()) out << "stalled:          " << m.records.stalled << "\n";
    if (changes == 0) out << "no change to the machine\n";
    for (const auto& kind : m.held.all())
        if (kind.second != 0) out << "leaked:           " << kind.second << " " << kind.first << "\n";
    out << "exit code:        " << outcome.exitCode << "\n";
    out << "virtual time:     " << m.nowMs << " ms\n";
    return out.str();
}

}  // namespace sim
