// The simulated drives: the machine file's "drives" section, the drive list
// and types, the search for one file, and starting a program.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/os.h"
#include "tests/support/machine_fixture.h"

using testing_support::machineFrom;

namespace {

std::string refusal(const std::string& text) {
    try {
        machineFrom(text);
    } catch (const sim::MachineFileError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(DrivesSection, UnusableEntriesAreRefusedWithThePlace) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {R"({"drives": []})", "drives: must be an object"},
        {R"({"drives": {"c": {"type": "fixed"}}})", "drives.c: \"c\" is not a drive letter A to Z"},
        {R"({"drives": {"CD": {"type": "fixed"}}})", "drives.CD: \"CD\" is not a drive letter A to Z"},
        {R"({"drives": {"1": {"type": "fixed"}}})", "not a drive letter A to Z"},
        {R"({"drives": {"C": "fixed"}})", "drives.C: must be an object"},
        {R"({"drives": {"C": {}}})", "drives.C.type: must be given"},
        {R"({"drives": {"A": {"type": "floppy"}}})",
         "drives.A.type: must be one of removable, fixed, remote, cdrom, ramdisk"},
        {R"({"drives": {"C": {"type": "fixed", "label": "DISK"}}})", "drives.C.label: unknown key \"label\""},
        {R"({"drives": {"D": {"type": "cdrom", "files": ["SETUP.EXE"]}}})",
         "drives.D.files: must be an object"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"SETUP.EXE": 1}}}})",
         "drives.D.files.SETUP.EXE: must be a string (the content)"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"\\SETUP.EXE": ""}}}})",
         "must be a path below the drive's root"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"D:\\SETUP.EXE": ""}}}})",
         "must be a path below the drive's root"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"A\\..\\B": ""}}}})",
         "\"..\" is not a file or folder name"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"SET*.EXE": ""}}}})",
         "is not a file or folder name"},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"setup.exe": "", "SETUP.EXE": ""}}}})",
         "clashes with \"setup.exe\""},
        {R"({"drives": {"D": {"type": "cdrom", "files": {"DISK1": "", "DISK1\\SETUP.EXE": ""}}}})",
         "clashes with \"DISK1\""},
    };
    for (const auto& c : cases) {
        std::string message = refusal(c.text);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.text << "\n  gave: " << message;
    }
}

TEST(DrivesSection, AMachineWithoutTheSectionHasOneFixedDiskC) {
    auto machine = machineFrom("{}");
    sim::Session session(*machine);
    EXPECT_EQ(os::GetLogicalDrives(), 0x4u);
    EXPECT_EQ(os::GetDriveTypeA("C:\\"), os::DRIVE_FIXED);
    EXPECT_EQ(os::GetDriveTypeA("A:\\"), os::DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(machine->save()["drives"], sim::json::parse(R"({"C": {"type": "fixed"}})"));
}

TEST(DrivesSection, IsWrittenBackInTheSameSchema) {
    const char* text = R"({"drives": {
        "D": {"type": "cdrom", "files": {"AutoRun.Inf": "[AUTORUN]\nOPEN=SETUP.EXE\n", "Disk1\\Setup.exe": ""}},
        "A": {"type": "removable"}, "C": {"type": "fixed"}}})";
    auto first = machineFrom(text);
    sim::json saved = first->save();
    EXPECT_EQ(saved["drives"], sim::json::parse(R"({
        "A": {"type": "removable"}, "C": {"type": "fixed"},
        "D": {"type": "cdrom", "files": {"AutoRun.Inf": "[AUTORUN]\nOPEN=SETUP.EXE\n", "Disk1\\Setup.exe": ""}}})"));
    auto second = machineFrom(saved.dump());
    EXPECT_EQ(second->save(), saved);
}

TEST(DriveList, LettersAndTypes) {
    auto machine = machineFrom(R"({"drives": {"A": {"type": "removable"}, "C": {"type": "fixed"},
        "F": {"type": "remote"}, "D": {"type": "cdrom"}, "R": {"type": "ramdisk"}, "Z": {"type": "cdrom"}}})");
    sim::Session session(*machine);
    EXPECT_EQ(os::GetLogicalDrives(),
              (1u << 0) | (1u << 2) | (1u << 3) | (1u << 5) | (1u << 17) | (1u << 25));
    struct Case {
        const char* root;
        os::UINT type;
    } cases[] = {
        {"A:\\", os::DRIVE_REMOVABLE},
        {"C:\\", os::DRIVE_FIXED},
        {"F:\\", os::DRIVE_REMOTE},
        {"D:\\", os::DRIVE_CDROM},
        {"R:\\", os::DRIVE_RAMDISK},
        {"Z:\\", os::DRIVE_CDROM},
        {"d:\\", os::DRIVE_CDROM},
        {"D:", os::DRIVE_CDROM},
        {"B:\\", os::DRIVE_NO_ROOT_DIR},
        {"E:\\", os::DRIVE_NO_ROOT_DIR},
        {"D:\\SETUP", os::DRIVE_NO_ROOT_DIR},
        {"D", os::DRIVE_NO_ROOT_DIR},
        {"", os::DRIVE_NO_ROOT_DIR},
    };
    for (const auto& c : cases) EXPECT_EQ(os::GetDriveTypeA(c.root), c.type) << c.root;
    // No root: the drive of the current folder.
    EXPECT_EQ(os::GetDriveTypeA(nullptr), os::DRIVE_FIXED);
}

TEST(DriveList, AnEmptySectionMeansNoDriveAtAll) {
    auto machine = machineFrom(R"({"drives": {}})");
    sim::Session session(*machine);
    EXPECT_EQ(os::GetLogicalDrives(), 0u);
}

TEST(DriveList, CallsPassTheFaultGate) {
    auto machine = machineFrom(R"({"faults": [{"call": "GetLogicalDrives", "error": 21},
                                             {"call": "GetDriveTypeA", "error": 21}]})");
    sim::Session session(*machine);
    EXPECT_EQ(os::GetLogicalDrives(), 0u);
    EXPECT_EQ(machine->lastError, 21u);
    EXPECT_EQ(os::GetDriveTypeA("C:\\"), os::DRIVE_UNKNOWN);
    EXPECT_EQ(os::GetLogicalDrives(), 0x4u);
}

const char* const kCdrom = R"({"drives": {"C": {"type": "fixed", "files": {"WINDOWS\\WIN.INI": ""}},
    "D": {"type": "cdrom", "files": {"AutoRun.Inf": "[AUTORUN]\n", "Disk 1\\Setup.exe": "MZ",
                                     "SETUP.EXE": "MZ..", "Tools\\Setup": ""}}}})";

TEST(FindFirstFile, FindsOneExactPathIgnoringCase) {
    auto machine = machineFrom(kCdrom);
    sim::Session session(*machine);
    struct Case {
        const char* path;
        const char* name;
        os::DWORD attributes;
        os::DWORD size;
    } cases[] = {
        {"D:\\AutoRun.Inf", "AutoRun.Inf", 0x01, 10},
        {"d:\\AUTORUN.INF", "AutoRun.Inf", 0x01, 10},
        {"D:\\disk 1\\setup.EXE", "Setup.exe", 0x01, 2},
        {"D:/Disk 1/Setup.exe", "Setup.exe", 0x01, 2},
        {"D:\\Disk 1", "Disk 1", 0x10, 0},
        {"C:\\WINDOWS\\win.ini", "WIN.INI", 0x20, 0},
    };
    for (const auto& c : cases) {
        os::WIN32_FIND_DATAA data;
        std::memset(&data, 0x5A, sizeof data);
        os::HANDLE find = os::FindFirstFileA(c.path, &data);
        ASSERT_NE(find, os::INVALID_HANDLE_VALUE) << c.path;
        EXPECT_STREQ(data.cFileName, c.name) << c.path;
        EXPECT_EQ(data.dwFileAttributes, c.attributes) << c.path;
        EXPECT_EQ(data.nFileSizeLow, c.size) << c.path;
        EXPECT_EQ(machine->held.count("findHandles"), 1) << c.path;
        EXPECT_TRUE(os::FindClose(find)) << c.path;
        EXPECT_EQ(machine->held.count("findHandles"), 0) << c.path;
    }
}

TEST(FindFirstFile, NothingThereGivesInvalidHandleAndTheReason) {
    auto machine = machineFrom(kCdrom);
    sim::Session session(*machine);
    struct Case {
        const char* path;
        os::DWORD error;
    } cases[] = {
        {"D:\\README.TXT", os::ERROR_FILE_NOT_FOUND},
        {"D:\\AutoRun.Inf2", os::ERROR_FILE_NOT_FOUND},
        {"D:\\", os::ERROR_FILE_NOT_FOUND},
        {"D:\\Disk 2\\Setup.exe", os::ERROR_PATH_NOT_FOUND},
        {"E:\\AutoRun.Inf", os::ERROR_PATH_NOT_FOUND},
        {"D:\\AutoRun.Inf\\x", os::ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        os::WIN32_FIND_DATAA data;
        machine->lastError = 0;
        EXPECT_EQ(os::FindFirstFileA(c.path, &data), os::INVALID_HANDLE_VALUE) << c.path;
        EXPECT_EQ(machine->lastError, c.error) << c.path;
    }
    EXPECT_EQ(machine->held.count("findHandles"), 0);
}

TEST(FindFirstFile, AFindHandleIsClosedByFindCloseOnlyAndOnlyOnce) {
    auto machine = machineFrom(kCdrom);
    sim::Session session(*machine);
    os::WIN32_FIND_DATAA data;
    os::HANDLE find = os::FindFirstFileA("D:\\SETUP.EXE", &data);
    ASSERT_NE(find, os::INVALID_HANDLE_VALUE);
    EXPECT_FALSE(os::CloseHandle(find));
    EXPECT_EQ(machine->lastError, os::ERROR_INVALID_HANDLE);
    EXPECT_TRUE(os::FindClose(find));
    EXPECT_FALSE(os::FindClose(find));
    EXPECT_EQ(machine->lastError, os::ERROR_INVALID_HANDLE);
    EXPECT_EQ(machine->held.total(), 0);
}

struct Started {
    bool ok = false;
    os::DWORD error = 0;
    os::PROCESS_INFORMATION info{};
};

Started start(sim::Machine& machine, const char* application, const char* commandLine,
              const char* currentDirectory = nullptr) {
    Started s;
    char buffer[300] = {};
    if (commandLine) std::strcpy(buffer, commandLine);
    os::STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    machine.lastError = 0;
    s.ok = os::CreateProcessA(application, commandLine ? buffer : nullptr, nullptr, nullptr, os::TRUE,
                              os::NORMAL_PRIORITY_CLASS, nullptr, currentDirectory, &startup, &s.info) != 0;
    s.error = machine.lastError;
    return s;
}

TEST(CreateProcess, StartsWhenTheProgramFileExists) {
    const char* commandLines[] = {
        "D:\\SETUP.EXE",
        "d:\\setup.exe /s",
        "D:\\SETUP",  // ".exe" is added to a name without extension
        "\"D:\\Disk 1\\Setup.exe\" /lang 9",
        "D:\\Disk 1\\Setup.exe /lang 9",  // unquoted: the words are tried one by one
        "  D:\\SETUP.EXE",
    };
    for (const char* commandLine : commandLines) {
        auto machine = machineFrom(kCdrom);
        sim::Session session(*machine);
        Started s = start(*machine, nullptr, commandLine);
        ASSERT_TRUE(s.ok) << commandLine << " error " << s.error;
        ASSERT_EQ(machine->records.processes.size(), 1u) << commandLine;
        const auto& record = machine->records.processes[0];
        EXPECT_EQ(record.commandLine, commandLine);
        EXPECT_EQ(record.creationFlags, os::NORMAL_PRIORITY_CLASS);
        EXPECT_TRUE(record.inheritHandles);
        EXPECT_EQ(record.currentDirectory, "");
        EXPECT_EQ(machine->held.count("processHandles"), 1) << commandLine;
        EXPECT_EQ(machine->held.count("threadHandles"), 1) << commandLine;
        EXPECT_NE(s.info.dwProcessId, 0u);
        EXPECT_TRUE(os::CloseHandle(s.info.hThread));
        EXPECT_TRUE(os::CloseHandle(s.info.hProcess));
        EXPECT_EQ(machine->held.total(), 0) << commandLine;
    }
}

TEST(CreateProcess, FailsWhenTheProgramFileDoesNotExist) {
    struct Case {
        const char* application;
        const char* commandLine;
        const char* currentDirectory;
        os::DWORD error;
    } cases[] = {
        {nullptr, "D:\\INSTALL.EXE", nullptr, os::ERROR_FILE_NOT_FOUND},
        {nullptr, "D:\\", nullptr, os::ERROR_FILE_NOT_FOUND},
        {nullptr, "D:\\Tools", nullptr, os::ERROR_FILE_NOT_FOUND},  // a folder is no program
        {nullptr, "\"D:\\Disk 1\\Setup.exe -lang\" 9", nullptr, os::ERROR_FILE_NOT_FOUND},
        {nullptr, "E:\\SETUP.EXE", nullptr, os::ERROR_FILE_NOT_FOUND},
        {nullptr, "D:\\Disk 2\\Setup.exe", nullptr, os::ERROR_FILE_NOT_FOUND},
        {"D:\\Disk 2\\Setup.exe", nullptr, nullptr, os::ERROR_PATH_NOT_FOUND},
        {"D:\\SETUP", "D:\\SETUP", nullptr,
         os::ERROR_FILE_NOT_FOUND},  // no ".exe" added to an application name
        {nullptr, "D:\\SETUP.EXE", "D:\\Nowhere", 267},
        {nullptr, "   ", nullptr, os::ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        auto machine = machineFrom(kCdrom);
        sim::Session session(*machine);
        Started s = start(*machine, c.application, c.commandLine, c.currentDirectory);
        std::string name = c.commandLine ? c.commandLine : c.application;
        EXPECT_FALSE(s.ok) << name;
        EXPECT_EQ(s.error, c.error) << name;
        EXPECT_TRUE(machine->records.processes.empty()) << name;
        EXPECT_EQ(machine->held.total(), 0) << name;
    }
}

TEST(CreateProcess, ARelativeProgramIsFoundFromTheCurrentFolder) {
    auto machine = machineFrom(kCdrom);
    sim::Session session(*machine);
    Started s = start(*machine, nullptr, "Setup.exe", "D:\\Disk 1");
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(machine->records.processes.at(0).currentDirectory, "D:\\Disk 1");
    os::CloseHandle(s.info.hThread);
    os::CloseHandle(s.info.hProcess);
}

}  // namespace
