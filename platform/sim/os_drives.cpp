// Simulated drives, files and processes: the drive list and types, the search
// for one file, initialisation files, and starting a program.
#include <cstring>

#include "platform/sim/drives.h"
#include "platform/sim/ini.h"
#include "platform/sim/machine.h"

namespace {

constexpr os::DWORD kAttributeReadOnly = 0x01;
constexpr os::DWORD kAttributeDirectory = 0x10;
constexpr os::DWORD kAttributeArchive = 0x20;
constexpr os::DWORD kErrorDirectory = 267;  // ERROR_DIRECTORY: not a valid folder name

const sim::Drives& drives() {
    return sim::machine().drives;
}

// The process's current folder: where the installation started the program.
std::string currentFolder() {
    const std::string& module = sim::machine().modulePath;
    auto slash = module.find_last_of('\\');
    return slash == std::string::npos ? std::string("C:\\") : module.substr(0, slash + 1);
}

// Resolves a path the way Windows does for a program with no per-drive
// folders: "X:\\a" as it is, "X:a" from X's root, "\\a" from the current
// drive's root, anything else from `folder`.
bool resolve(const std::string& path, const std::string& folder, sim::DrivePath& out) {
    if (path.size() >= 2 && path[1] == ':') {
        if (path.size() >= 3 && (path[2] == '\\' || path[2] == '/')) return sim::splitDrivePath(path, out);
        return sim::splitDrivePath(path.substr(0, 2) + "\\" + path.substr(2), out);
    }
    if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
        return sim::splitDrivePath(folder.substr(0, 2) + path, out);
    return sim::splitDrivePath(folder + "\\" + path, out);
}

// The folder that holds `path` exists (the drive and every folder on the way).
bool parentExists(const sim::DrivePath& path) {
    if (!drives().find(path.letter)) return false;
    sim::DrivePath parent = path;
    if (!parent.parts.empty()) parent.parts.pop_back();
    return drives().folderExists(parent);
}

// The program file of a command line: the quoted first token, or else the
// shortest run of blank-separated words that names an existing file, tried
// with ".exe" added when the name has no extension, as CreateProcess does.
bool programFile(const std::string& commandLine, const std::string& folder, sim::DrivePath& out,
                 os::DWORD* error) {
    auto exists = [&](const std::string& candidate, sim::DrivePath& path) {
        if (!resolve(candidate, folder, path)) return false;
        if (drives().file(path)) return true;
        std::string last = path.parts.empty() ? "" : path.parts.back();
        if (last.empty() || last.find('.') != std::string::npos) return false;
        path.parts.back() += ".exe";
        return drives().file(path) != nullptr;
    };
    std::string text = commandLine;
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) {
        *error = os::ERROR_FILE_NOT_FOUND;
        return false;
    }
    text = text.substr(start);
    std::vector<std::string> candidates;
    if (text[0] == '"') {
        auto close = text.find('"', 1);
        candidates.push_back(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else {
        for (std::size_t blank = text.find_first_of(" \t");; blank = text.find_first_of(" \t", blank + 1)) {
            candidates.push_back(text.substr(0, blank));
            if (blank == std::string::npos) break;
        }
    }
    for (const std::string& candidate : candidates)
        if (exists(candidate, out)) return true;
    // Several names may have been tried: the error says only that none was found.
    *error = os::ERROR_FILE_NOT_FOUND;
    return false;
}

}  // namespace

namespace os {

DWORD GetLogicalDrives() {
    if (sim::failCall("GetLogicalDrives")) return 0;
    DWORD mask = 0;
    for (const sim::Drive& d : drives().list) mask |= DWORD(1) << (d.letter - 'A');
    return mask;
}

UINT GetDriveTypeA(LPCSTR root) {
    if (sim::failCall("GetDriveTypeA")) return DRIVE_UNKNOWN;
    // No root: the current folder's drive. Otherwise "X:\\" or "X:".
    std::string text = root ? root : currentFolder().substr(0, 3);
    bool rootForm =
        (text.size() == 2 || (text.size() == 3 && (text[2] == '\\' || text[2] == '/'))) && text[1] == ':';
    const sim::Drive* drive = rootForm ? drives().find(text[0]) : nullptr;
    return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

HANDLE FindFirstFileA(LPCSTR path, WIN32_FIND_DATAA* data) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("FindFirstFileA")) return INVALID_HANDLE_VALUE;
    if (!path || !data) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    sim::DrivePath where;
    // Wildcards are not simulated: the program searches for one exact name,
    // and no stored name can hold "*" or "?".
    if (!resolve(path, currentFolder(), where) || !parentExists(where)) {
        m.lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    const std::string* content = m.drives.file(where);
    if (!content && !m.drives.isFolder(where)) {
        m.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    std::memset(data, 0, sizeof *data);
    const sim::Drive* drive = m.drives.find(where.letter);
    if (!content)
        data->dwFileAttributes = kAttributeDirectory;
    else
        data->dwFileAttributes = drive->type == DRIVE_CDROM ? kAttributeReadOnly : kAttributeArchive;
    // A folder of ours holds no data; a stored file is its content's length.
    data->nFileSizeLow = content ? static_cast<DWORD>(content->size()) : 0;
    std::string name = m.drives.storedName(where);
    std::strncpy(data->cFileName, name.c_str(), sizeof data->cFileName - 1);
    return m.openKernelHandle("findHandles");
}

BOOL FindClose(HANDLE find) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("FindClose")) return FALSE;
    const auto* object = m.kernelObject(find);
    if (!object || object->kind != "findHandles") {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    m.closeKernelHandle(find);
    return TRUE;
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR path) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("GetPrivateProfileStringA")) {
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
    // A bare file name is looked for in the Windows folder.
    const std::string* text = nullptr;
    sim::DrivePath where;
    std::string name = path ? path : "win.ini";
    if (!name.empty() && resolve(name, "C:\\WINDOWS", where)) text = m.drives.file(where);
    if (!text) m.lastError = ERROR_FILE_NOT_FOUND;
    return sim::ini::profileString(text, section, key, defaultValue, buffer, size);
}

BOOL CreateProcessA(LPCSTR application, LPSTR commandLine, void*, void*, BOOL inheritHandles,
                    DWORD creationFlags, LPVOID, LPCSTR currentDirectory, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* info) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("CreateProcessA")) return FALSE;
    if ((!application && !commandLine) || !startup || !info) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    std::string folder = currentFolder();
    if (currentDirectory) {
        sim::DrivePath dir;
        if (!resolve(currentDirectory, folder, dir) || !m.drives.find(dir.letter) ||
            !m.drives.folderExists(dir)) {
            m.lastError = kErrorDirectory;
            return FALSE;
        }
        folder = currentDirectory;
    }
    sim::DrivePath program;
    DWORD error = 0;
    if (application) {
        // The application name is taken as it is: no search, no ".exe" added.
        bool named = resolve(application, folder, program);
        if (!named || !m.drives.file(program)) {
            m.lastError = named && parentExists(program) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
            return FALSE;
        }
    } else if (!programFile(commandLine, folder, program, &error)) {
        m.lastError = error;
        return FALSE;
    }
    sim::ProcessRecord record;
    record.commandLine = commandLine ? commandLine : application;
    record.creationFlags = creationFlags;
    record.inheritHandles = inheritHandles != FALSE;
    record.currentDirectory = currentDirectory ? currentDirectory : "";
    m.records.processes.push_back(record);
    std::size_t index = m.records.processes.size() - 1;
    info->hProcess = m.openKernelHandle("processHandles", index);
    info->hThread = m.openKernelHandle("threadHandles", index);
    // Windows 9x identifiers are large obfuscated numbers; these only need to differ.
    info->dwProcessId = 0xFFF00000u + static_cast<DWORD>(index) * 0x100;
    info->dwThreadId = info->dwProcessId + 0x10;
    return TRUE;
}

}  // namespace os
