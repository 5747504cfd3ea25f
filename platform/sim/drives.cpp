#include "platform/sim/drives.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/machine.h"

namespace sim {

namespace {

struct TypeName {
    os::UINT type;
    const char* name;
};
const TypeName kTypeNames[] = {
    {os::DRIVE_REMOVABLE, "removable"}, {os::DRIVE_FIXED, "fixed"},     {os::DRIVE_REMOTE, "remote"},
    {os::DRIVE_CDROM, "cdrom"},         {os::DRIVE_RAMDISK, "ramdisk"},
};

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Folder and file names, split at either separator, empty parts dropped.
std::vector<std::string> splitParts(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (isSeparator(c)) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// Names compare in the machine's code page when one is current; the machine
// file is read before any is, and there plain ASCII folding has to do.
std::string folded(std::string name) {
    if (hasMachine()) {
        if (!name.empty()) os::CharUpperBuffA(&name[0], static_cast<os::DWORD>(name.size()));
    } else {
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && folded(a) == folded(b);
}

// True when `file` (the parts of a stored path) begins with `prefix`, name by name.
bool startsWith(const std::vector<std::string>& file, const std::vector<std::string>& prefix) {
    if (prefix.size() > file.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!sameName(file[i], prefix[i])) return false;
    return true;
}

}  // namespace

const Drive* Drives::find(char letter) const {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const Drive& d : list)
        if (d.letter == upper) return &d;
    return nullptr;
}

const std::string* Drives::file(const DrivePath& path) const {
    const Drive* drive = find(path.letter);
    if (!drive || path.parts.empty()) return nullptr;
    for (const auto& entry : drive->files) {
        std::vector<std::string> parts = splitParts(entry.first);
        if (parts.size() == path.parts.size() && startsWith(parts, path.parts)) return &entry.second;
    }
    return nullptr;
}

bool Drives::isFolder(const DrivePath& path) const {
    const Drive* drive = find(path.letter);
    if (!drive || path.parts.empty()) return false;
    for (const auto& entry : drive->files) {
        std::vector<std::string> parts = splitParts(entry.first);
        if (parts.size() > path.parts.size() && startsWith(parts, path.parts)) return true;
    }
    return false;
}

std::string Drives::storedName(const DrivePath& path) const {
    const Drive* drive = find(path.letter);
    if (!drive || path.parts.empty()) return "";
    for (const auto& entry : drive->files) {
        std::vector<std::string> parts = splitParts(entry.first);
        if (parts.size() >= path.parts.size() && startsWith(parts, path.parts))
            return parts[path.parts.size() - 1];
    }
    return "";
}

bool splitDrivePath(const std::string& path, DrivePath& out) {
    if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
        !isSeparator(path[2]))
        return false;
    out.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    out.parts.clear();
    for (const std::string& part : splitParts(path.substr(3))) {
        if (part == ".") continue;
        if (part == "..") {
            if (!out.parts.empty()) out.parts.pop_back();
            continue;
        }
        out.parts.push_back(part);
    }
    return true;
}

os::UINT driveTypeOf(const std::string& name) {
    for (const TypeName& t : kTypeNames)
        if (name == t.name) return t.type;
    return os::DRIVE_UNKNOWN;
}

const char* driveTypeName(os::UINT type) {
    for (const TypeName& t : kTypeNames)
        if (type == t.type) return t.name;
    return "unknown";
}

void readDrives(const json& value, const std::string& path, Drives& out) {
    JsonIn in(value, path);  // refuses anything but an object
    out.list.clear();
    for (auto it = value.begin(); it != value.end(); ++it) {
        const std::string& letter = it.key();
        std::string where = in.childPath(letter.c_str());
        if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z')
            throw MachineFileError(where, "\"" + letter + "\" is not a drive letter A to Z");
        in.raw(letter.c_str());  // known key
        JsonIn drive(it.value(), where);
        Drive d;
        d.letter = letter[0];
        if (!drive.has("type")) drive.failAt("type", "must be given");
        std::string type = drive.str("type");
        d.type = driveTypeOf(type);
        if (d.type == os::DRIVE_UNKNOWN)
            drive.failAt("type", "must be one of removable, fixed, remote, cdrom, ramdisk");
        if (const json* files = drive.object("files")) {
            for (auto f = files->begin(); f != files->end(); ++f) {
                std::string filePath = drive.childPath("files") + "." + f.key();
                std::vector<std::string> parts = splitParts(f.key());
                if (parts.empty() || isSeparator(f.key()[0]) || f.key().find(':') != std::string::npos)
                    throw MachineFileError(filePath, "must be a path below the drive's root");
                for (const std::string& part : parts)
                    if (part == "." || part == ".." || part.find_first_of("*?\"<>|") != std::string::npos)
                        throw MachineFileError(filePath, "\"" + part + "\" is not a file or folder name");
                if (!f.value().is_string())
                    throw MachineFileError(filePath, "must be a string (the content)");
                for (const auto& other : d.files) {
                    std::vector<std::string> otherParts = splitParts(other.first);
                    if (startsWith(parts, otherParts) || startsWith(otherParts, parts))
                        throw MachineFileError(filePath, "clashes with \"" + other.first + "\"");
                }
                d.files.emplace_back(f.key(), f.value().get<std::string>());
            }
        }
        drive.done();
        out.list.push_back(std::move(d));
    }
    std::sort(out.list.begin(), out.list.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
}

json writeDrives(const Drives& in) {
    json out = json::object();
    for (const Drive& d : in.list) {
        json drive{{"type", driveTypeName(d.type)}};
        if (!d.files.empty()) {
            json files = json::object();
            for (const auto& f : d.files) files[f.first] = f.second;
            drive["files"] = files;
        }
        out[std::string(1, d.letter)] = drive;
    }
    return out;
}

}  // namespace sim
