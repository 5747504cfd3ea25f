// The simulated machine's drives: which letters exist, what kind of drive
// each is, and the files on it.
//
// Machine file:
//   "drives": {"C": {"type": "fixed"},
//              "D": {"type": "cdrom", "files": {"AutoRun.Inf": "...", "SETUP.EXE": ""}}}
// A letter is one of A to Z; a type one of removable, fixed, remote, cdrom,
// ramdisk; `files` maps a path below the root ("SETUP.EXE", "DISK1\\SETUP.EXE")
// to the file's content. Folders exist by holding files. Left out, the
// machine has one fixed disk, C:, and nothing else: a floppy drive would only
// add a "not CD-Rom" line to every scan.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/os.h"
#include "platform/sim/json_in.h"

namespace sim {

struct Drive {
    char letter = 'C';
    os::UINT type = os::DRIVE_FIXED;
    // Path below the root, as written in the machine file, and content.
    std::vector<std::pair<std::string, std::string>> files;
};

// A path on a drive, split: "D:\\Disk1\\Setup.exe" -> 'D', {"Disk1", "Setup.exe"}.
struct DrivePath {
    char letter = 0;
    std::vector<std::string> parts;
};

struct Drives {
    std::vector<Drive> list{Drive{}};  // in letter order

    // The drive of a letter (either case); null when there is none.
    const Drive* find(char letter) const;
    // The content of a file; null when the path names no file. Names are
    // compared without regard to case, "\\" and "/" both separate folders.
    const std::string* file(const DrivePath& path) const;
    // The file's name as stored, or the folder's, for a path that exists.
    std::string storedName(const DrivePath& path) const;
    bool isFolder(const DrivePath& path) const;
    bool folderExists(const DrivePath& path) const { return path.parts.empty() || isFolder(path); }
};

// Splits an absolute path "X:\\a\\b" (or "X:/a/b"); false when it has no drive
// letter and root. Empty parts ("X:\\a\\\\b") are dropped; "." and ".." resolved.
bool splitDrivePath(const std::string& path, DrivePath& out);

os::UINT driveTypeOf(const std::string& name);  // DRIVE_UNKNOWN when no such type
const char* driveTypeName(os::UINT type);

void readDrives(const json& value, const std::string& path, Drives& out);
json writeDrives(const Drives& in);

}  // namespace sim
