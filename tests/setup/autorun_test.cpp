// The CD-ROM scan and the setup launch, called directly on an application
// object whose device fields are set as the USB scan would leave them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PrinterPortApp.h"
#include "tests/support/machine_fixture.h"

using testing_support::Run;

namespace {

// One call of MyRunAutoRun, or of MyRunSetupexe for `root`, on a fresh machine.
struct Scan : Run {
    os::BOOL result = 0;
    long profileReads() const { return machine->faults.count("GetPrivateProfileStringA"); }
    const std::vector<sim::ProcessRecord>& processes() const { return machine->records.processes; }
};

Scan scan(const std::string& machineJson, const char* mfg = "Acme", const char* mdl = "Photo 1",
          const char* root = nullptr) {
    Scan s;
    s.machine = testing_support::machineFrom(machineJson);
    sim::Session session(*s.machine);
    CPrinterPortApp app;
    app.m_strMFG = mfg;
    app.m_strMDL = mdl;
    s.result = root ? app.MyRunSetupexe(root) : app.MyRunAutoRun();
    return s;
}

sim::json cdrom(const std::string& autorun, bool withSetup = true) {
    sim::json files = sim::json::object();
    if (!autorun.empty()) files["AutoRun.Inf"] = autorun;
    if (withSetup) files["SETUP.EXE"] = "";
    return {{"type", "cdrom"}, {"files", files}};
}

std::string machineWith(const sim::json& drives) {
    return sim::json{{"drives", drives}}.dump();
}

const char* const kListsAcme =
    "[AUTORUN]\r\nOPEN=SETUP.EXE\r\n[INFOMATION]\r\nMFG_0=Acme\r\nMDL_0=Photo 1\r\n";

// The three lines that every drive letter from A on gets, present or not.
int lettersReached(const Run& run) {
    int n = 0;
    for (const auto& line : run.trace())
        if (line.rfind("GetLogicalDriver is ++> ", 0) == 0) ++n;
    return n;
}

TEST(MyRunAutoRun, WithoutACdromDriveEveryDriveIsNamedAndNothingStarts) {
    auto s = scan(machineWith(
        {{"A", {{"type", "removable"}}}, {"C", {{"type", "fixed"}}}, {"N", {{"type", "remote"}}}}));
    EXPECT_EQ(s.result, 0);
    EXPECT_EQ(s.trace().at(0), "\n[MyRunAutoDlg] Start MyRunAutoRun");
    EXPECT_EQ(s.trace().at(1), "GetLogical drive string");
    // C is the third letter: its mask bit is 4, the mask is 0x2005.
    EXPECT_TRUE(s.inOrder(
        {"GetLogicalDriver is ++> 2005", "Compare DWORD is ++> 1", "Bit and operation result => 1",
         "A:\\ drive is not CD-Rom Drive", "Compare DWORD is ++> 2", "Bit and operation result => 0",
         "Compare DWORD is ++> 4", "Bit and operation result => 4", "C:\\ drive is not CD-Rom Drive",
         "N:\\ drive is not CD-Rom Drive", "Compare DWORD is ++> 2000000", "Bit and operation result => 0",
         "[MyRunAutoRun] End MyRunAutoRun\n\n"}));
    EXPECT_EQ(s.trace().back(), "[MyRunAutoRun] End MyRunAutoRun\n\n");
    EXPECT_EQ(lettersReached(s), 26);
    EXPECT_EQ(s.count("GetLogicalDriver is ++> 2005"), 26);
    EXPECT_EQ(s.machine->faults.count("FindFirstFileA"), 0);
    EXPECT_TRUE(s.processes().empty());
}

TEST(MyRunAutoRun, AnEmptyDriveMaskEndsAtOnceWithoutTheEndLine) {
    for (const char* machine : {R"({"drives": {}})", R"({"faults": [{"call": "GetLogicalDrives"}]})"}) {
        auto s = scan(machine);
        EXPECT_EQ(s.result, 0) << machine;
        EXPECT_EQ(s.trace(), (std::vector<std::string>{"\n[MyRunAutoDlg] Start MyRunAutoRun",
                                                       "GetLogical drive string"}))
            << machine;
        EXPECT_EQ(s.machine->faults.count("GetDriveTypeA"), 0) << machine;
    }
}

TEST(MyRunAutoRun, TheFirstCdromThatListsTheDeviceHasItsSetupStartedAndEndsTheScan) {
    struct Case {
        const char* name;
        sim::json firstCdrom;
        const char* firstDriveLine;
    } cases[] = {
        {"first CD-ROM without AutoRun.Inf", cdrom(""), "File not found => \"D:\\AutoRun.Inf\""},
        {"first CD-ROM lists another printer",
         cdrom("[AUTORUN]\nOPEN=SETUP.EXE\n[INFOMATION]\nMFG_0=Acme\nMDL_0=Photo 2\n"),
         "MFG Value is not found => \"\""},
    };
    for (const Case& c : cases) {
        auto s = scan(machineWith({{"C", {{"type", "fixed"}}},
                                   {"D", c.firstCdrom},
                                   {"E", cdrom(kListsAcme)},
                                   {"F", cdrom(kListsAcme)}}));
        EXPECT_EQ(s.result, 1) << c.name;
        EXPECT_TRUE(s.inOrder(
            {"CD-ROM Dirver letter => \"D:\\\"", "Autorun.inf path => \"D:\\AutoRun.Inf\"", c.firstDriveLine,
             "CD-ROM Dirver letter => \"E:\\\"", "Autorun.inf path => \"E:\\AutoRun.Inf\"",
             "\n\nI find CDSetup file\n\n", "\nRun command line => \"E:\\SETUP.EXE\"\n",
             "[MyRunSetupexe]End MyRunSetupexe\n\n", "[MyRunAutoRun] End MyRunAutoRun\n\n"}))
            << c.name;
        // The scan stops at E: F is never reached.
        EXPECT_EQ(lettersReached(s), 5) << c.name;
        EXPECT_EQ(s.find("CD-ROM Dirver letter => \"F:\\\""), -1) << c.name;
        ASSERT_EQ(s.processes().size(), 1u) << c.name;
        EXPECT_EQ(s.processes()[0].commandLine, "E:\\SETUP.EXE");
        EXPECT_EQ(s.processes()[0].creationFlags, 0x20u);
        EXPECT_TRUE(s.processes()[0].inheritHandles);
        EXPECT_EQ(s.processes()[0].currentDirectory, "");
        EXPECT_TRUE(s.leakFree()) << c.name << ": " << s.leaks();
    }
}

TEST(MyRunAutoRun, AStartThatFailsStillEndsTheScanAtThatDrive) {
    // E lists the device but holds no SETUP.EXE; F would have one.
    auto s = scan(machineWith({{"E", cdrom(kListsAcme, false)}, {"F", cdrom(kListsAcme)}}));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.machine->faults.count("CreateProcessA"), 1);
    EXPECT_TRUE(s.processes().empty());
    EXPECT_EQ(s.find("CD-ROM Dirver letter => \"F:\\\""), -1);
    EXPECT_EQ(s.trace().back(), "[MyRunAutoRun] End MyRunAutoRun\n\n");
    EXPECT_TRUE(s.leakFree()) << s.leaks();
}

// The pairs of AutoRun.Inf: MFG_i=<mfg> and MDL_i=<mdl> for each given pair.
std::string pairs(const std::vector<std::pair<std::string, std::string>>& list,
                  const std::string& open = "SETUP.EXE", int firstIndex = 0) {
    std::string text = "[AUTORUN]\nOPEN=" + open + "\n[INFOMATION]\n";
    int i = firstIndex;
    for (const auto& p : list) {
        if (!p.first.empty()) text += "MFG_" + std::to_string(i) + "=" + p.first + "\n";
        if (!p.second.empty()) text += "MDL_" + std::to_string(i) + "=" + p.second + "\n";
        ++i;
    }
    return text;
}

std::vector<std::pair<std::string, std::string>> others(int n) {
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < n; ++i) list.emplace_back("Acme", "Model " + std::to_string(i));
    return list;
}

TEST(MyRunSetupexe, ReadsThePairsUntilTheFirstEmptyValueOrAMatch) {
    auto withTail = [](std::vector<std::pair<std::string, std::string>> list,
                       std::vector<std::pair<std::string, std::string>> tail) {
        list.insert(list.end(), tail.begin(), tail.end());
        return list;
    };
    struct Case {
        const char* name;
        std::string autorun;
        const char* mfg;
        const char* mdl;
        os::BOOL result;
        long profileReads;  // two per pair read, one more for OPEN
        std::vector<std::string> lines;
    } cases[] = {
        {"MFG_0 missing",
         "[INFOMATION]\nMDL_0=Photo 1\n",
         "Acme",
         "Photo 1",
         0,
         2,
         {"MFG Value is not found => \"\""}},
        {"INFOMATION section missing",
         "[AUTORUN]\nOPEN=SETUP.EXE\n",
         "Acme",
         "Photo 1",
         0,
         2,
         {"MFG Value is not found => \"\""}},
        {"pairs 0 to 2, 3 missing, 4 would match",
         pairs(others(3)) + "MFG_4=Acme\nMDL_4=Photo 1\n",
         "Acme",
         "Photo 1",
         0,
         8,
         {"Data file read MDL => \"Model 2\"", "Compare MODEL 2 to Photo 1",
          "MFG Value is not found => \"\""}},
        {"MFG_1 present, MDL_1 missing",
         pairs(withTail(others(1), {{"Acme", ""}})),
         "Acme",
         "Photo 1",
         0,
         4,
         {"Data file read MFG => \"Acme\"", "MDL Value is not found => \"\""}},
        {"20 pairs without a match, index 20 would match",
         pairs(others(20)) + "MFG_20=Acme\nMDL_20=Photo 1\n",
         "Acme",
         "Photo 1",
         0,
         40,
         {"Data file read MDL => \"Model 19\"", "[MyRunSetupexe]End MyRunSetupexe\n\n"}},
        {"the last of 20 pairs matches",
         pairs(withTail(others(19), {{"Acme", "Photo 1"}})),
         "Acme",
         "Photo 1",
         1,
         41,
         {"\n\nI find CDSetup file\n\n", "\nRun command line => \"D:\\SETUP.EXE\"\n"}},
        {"values differing only in case match",
         pairs({{"aCmE", "PHOTO 1"}}),
         "Acme",
         "photo 1",
         1,
         3,
         {"Data file read MFG => \"aCmE\"", "Data file read MDL => \"PHOTO 1\"", "Compare ACME to Acme",
          "Compare PHOTO 1 to photo 1", "\n\nI find CDSetup file\n\n"}},
        {"a value that only begins with the device field",
         pairs({{"Acme", "Photo 1 Plus"}}),
         "Acme",
         "Photo 1",
         0,
         4,
         {"Compare PHOTO 1 PLUS to Photo 1", "MFG Value is not found => \"\""}},
        {"a device field that only begins with the value",
         pairs({{"Acme", "Photo"}}),
         "Acme",
         "Photo 1",
         0,
         4,
         {"Compare PHOTO to Photo 1", "MFG Value is not found => \"\""}},
        {"the MFG must match too",
         pairs({{"Acne", "Photo 1"}}),
         "Acme",
         "Photo 1",
         0,
         4,
         {"Compare ACNE to Acme", "MFG Value is not found => \"\""}},
        {"empty device fields match no pair",
         pairs({{"Acme", "Photo 1"}}),
         "",
         "",
         0,
         4,
         {"Compare ACME to ", "Compare PHOTO 1 to ", "MFG Value is not found => \"\""}},
        {"blanks and quotes around values are not part of them",
         "[autorun]\nopen=setup.exe\n[infomation]\nmfg_0 = \"Acme\" \nMDL_0='Photo 1'\n",
         "Acme",
         "Photo 1",
         1,
         3,
         {"Data file read MFG => \"Acme\"", "Data file read MDL => \"Photo 1\""}},
    };
    for (const Case& c : cases) {
        auto s = scan(machineWith({{"D", cdrom(c.autorun)}}), c.mfg, c.mdl, "D:\\");
        EXPECT_EQ(s.result, c.result) << c.name;
        EXPECT_EQ(s.profileReads(), c.profileReads) << c.name;
        EXPECT_EQ(s.trace().at(0), "\n[MyRunSetupexe] Start MyRunSetupexe") << c.name;
        EXPECT_TRUE(s.inOrder(c.lines)) << c.name;
        EXPECT_EQ(s.processes().size(), c.result ? 1u : 0u) << c.name;
        // An early end of the list has no end line; 20 pairs without a match do.
        bool listEnded =
            s.find("MFG Value is not found => \"\"") >= 0 || s.find("MDL Value is not found => \"\"") >= 0;
        EXPECT_EQ(s.find("[MyRunSetupexe]End MyRunSetupexe\n\n") >= 0, !listEnded) << c.name;
        EXPECT_TRUE(s.leakFree()) << c.name << ": " << s.leaks();
    }
}

TEST(MyRunSetupexe, AMatchingPairWithoutACommandStartsNothingButCounts) {
    struct Case {
        const char* name;
        std::string autorun;
    } cases[] = {
        {"OPEN empty", pairs({{"Acme", "Photo 1"}}, "")},
        {"OPEN blank", pairs({{"Acme", "Photo 1"}}, "   ")},
        {"OPEN absent", "[INFOMATION]\nMFG_0=Acme\nMDL_0=Photo 1\n"},
        {"AUTORUN section absent", "[INFOMATION]\nMFG_0=Acme\nMDL_0=Photo 1\n[OTHER]\nOPEN=SETUP.EXE\n"},
    };
    for (const Case& c : cases) {
        auto s = scan(machineWith({{"D", cdrom(c.autorun)}, {"E", cdrom(kListsAcme)}}));
        EXPECT_EQ(s.result, 1) << c.name;
        EXPECT_TRUE(
            s.inOrder({"\n\nI find CDSetup file\n\n", "\nRun command line => \"D:\\\"\n",
                       "[MyRunSetupexe]End MyRunSetupexe\n\n", "[MyRunAutoRun] End MyRunAutoRun\n\n"}))
            << c.name;
        EXPECT_EQ(s.machine->faults.count("CreateProcessA"), 0) << c.name;
        EXPECT_EQ(s.find("CD-ROM Dirver letter => \"E:\\\""), -1) << c.name;
        EXPECT_TRUE(s.leakFree()) << c.name << ": " << s.leaks();
    }
}

TEST(MyRunSetupexe, TheCommandLineIsTheRootAndTheOpenValueJoined) {
    struct Case {
        std::string open;
        std::string commandLine;
        bool started;
    } cases[] = {
        {"SETUP.EXE", "E:\\SETUP.EXE", true},
        {"Disk1\\Setup.exe /s", "E:\\Disk1\\Setup.exe /s", true},
        // Joined as they are, the root ahead of the quote spoils the program's name.
        {"\"Disk 1\\Setup.exe\" /s", "E:\\\"Disk 1\\Setup.exe\" /s", false},
    };
    for (const Case& c : cases) {
        sim::json files = {{"AutoRun.Inf", pairs({{"Acme", "Photo 1"}}, c.open)},
                           {"SETUP.EXE", ""},
                           {"Disk1\\Setup.exe", ""},
                           {"Disk 1\\Setup.exe", ""}};
        auto s = scan(machineWith({{"E", {{"type", "cdrom"}, {"files", files}}}}), "Acme", "Photo 1", "E:\\");
        EXPECT_EQ(s.result, 1) << c.open;
        EXPECT_NE(s.find("\nRun command line => \"" + c.commandLine + "\"\n"), -1) << c.open;
        ASSERT_EQ(s.processes().size(), c.started ? 1u : 0u) << c.open;
        if (c.started) {
            EXPECT_EQ(s.processes()[0].commandLine, c.commandLine);
        }
        EXPECT_TRUE(s.leakFree()) << c.open << ": " << s.leaks();
    }
}

TEST(MyRunSetupexe, ACommandLineTooLongForItsBufferIsNotStarted) {
    // The root takes 3 of the 259 characters: 256 are left for OPEN.
    std::string fits = std::string(252, 'A') + ".EXE";
    std::string tooLong = std::string(253, 'A') + ".EXE";
    std::string cutByTheReader = std::string(300, 'A') + ".EXE";
    struct Case {
        std::string open;
        bool started;
    } cases[] = {{fits, true}, {tooLong, false}, {cutByTheReader, false}};
    for (const Case& c : cases) {
        sim::json files = {{"AutoRun.Inf", pairs({{"Acme", "Photo 1"}}, c.open)}, {c.open, ""}};
        auto s = scan(machineWith({{"D", {{"type", "cdrom"}, {"files", files}}}}), "Acme", "Photo 1", "D:\\");
        EXPECT_EQ(s.result, 1) << c.open.size();
        EXPECT_EQ(s.processes().size(), c.started ? 1u : 0u) << c.open.size();
        bool refused = false;
        for (const auto& line : s.trace())
            if (line.rfind("Command line is too long, not started (", 0) == 0) refused = true;
        EXPECT_EQ(refused, !c.started) << c.open.size();
        EXPECT_EQ(s.trace().back(), "[MyRunSetupexe]End MyRunSetupexe\n\n");
        EXPECT_TRUE(s.leakFree()) << s.leaks();
    }
    auto s =
        scan(machineWith({{"D", cdrom(pairs({{"Acme", "Photo 1"}}, tooLong))}}), "Acme", "Photo 1", "D:\\");
    EXPECT_NE(s.find("Command line is too long, not started (260 characters, at most 259)"), -1);
}

TEST(MyRunSetupexe, TheWholeTraceOfAMatch) {
    auto s = scan(machineWith({{"D", cdrom(pairs({{"Acme", "Photo 9"}, {"ACME", "photo 1"}}))}}), "Acme",
                  "Photo 1", "D:\\");
    EXPECT_EQ(s.trace(), (std::vector<std::string>{
                             "\n[MyRunSetupexe] Start MyRunSetupexe",
                             "Autorun.inf path => \"D:\\AutoRun.Inf\"",
                             "Data file read MFG => \"Acme\"",
                             "Data file read MDL => \"Photo 9\"",
                             "Compare ACME to Acme",
                             "Compare PHOTO 9 to Photo 1",
                             "Data file read MFG => \"ACME\"",
                             "Data file read MDL => \"photo 1\"",
                             "Compare ACME to Acme",
                             "Compare PHOTO 1 to Photo 1",
                             "\n\nI find CDSetup file\n\n",
                             "\nRun command line => \"D:\\SETUP.EXE\"\n",
                             "[MyRunSetupexe]End MyRunSetupexe\n\n",
                         }));
    EXPECT_EQ(s.machine->faults.count("CompareStringA"), 4);
    EXPECT_EQ(s.machine->faults.count("FindClose"), 1);
    EXPECT_EQ(s.machine->faults.count("CloseHandle"), 2);
    EXPECT_TRUE(s.leakFree()) << s.leaks();
}

}  // namespace
