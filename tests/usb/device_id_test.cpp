// Reading the device ID from a printer's interface, and taking it apart.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/usb/usb_fixture.h"
#include "usb/DeviceId.h"

using testing_support::machineFrom;
using usb_testing::interfacePath;
using usb_testing::machineWith;
using usb_testing::printer;

namespace {

struct IdRead {
    std::unique_ptr<sim::Machine> machine;
    int result = -1;
    char buffer[260];

    const std::vector<std::string>& trace() const { return machine->records.trace; }
    const std::vector<std::string>& reports() const { return machine->records.reports; }
};

// GetDeviceID on `path`, into a buffer first filled with "untouched".
IdRead readId(const std::string& machineJson, const std::string& path) {
    IdRead r;
    std::memset(r.buffer, 0, sizeof r.buffer);
    std::strcpy(r.buffer, "untouched");
    r.machine = machineFrom(machineJson);
    sim::Session session(*r.machine);
    CPrinterPortApp app;
    r.result = app.GetDeviceID(path.c_str(), os::IOCTL_PAR_QUERY_DEVICE_ID, r.buffer);
    return r;
}

bool leakFree(const sim::Machine& m) {
    for (const auto& kind : m.held.all())
        if (kind.second != 0) return false;
    return true;
}

TEST(ParseDeviceID, TakesTheFirstMfgAndMdlFieldsAndFormsTheDeviceKey) {
    struct Case {
        const char* id;
        const char* mfg;
        const char* mdl;
        const char* key;
    } cases[] = {
        {"MFG:Acme Corp;CMD:RASTER;MDL:Photo Jet 100;CLS:PRINTER;", "ACME CORP", "PHOTO JET 100", "ACME_CORPPHOTO_JET_1"},
        {"mfg:Acme;mdl:P 1;", "ACME", "P 1", "ACMEP_1"},
        {"MFG:ACME;MDL:P1", "ACME", "", "ACME"},  // no ';' closes MDL
        {"MFG:;MDL:X;", "", "X", "X"},
        {"MDL:X;MFG:Y;", "Y", "X", "YX"},
        {"MFG:ABCDEFGHIJ;MDL:KLMNOPQRST;", "ABCDEFGHIJ", "KLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},   // 20: whole
        {"MFG:ABCDEFGHIJ;MDL:KLMNOPQRSTU;", "ABCDEFGHIJ", "KLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRST"}, // 21: cut
        {"CMD:MFG:Z;MFG:Acme;MDL:P;", "Z", "P", "ZP"},  // the first occurrence wins, even inside a value
        {"MFG:Acme;MDL:P;MFG:Other;MDL:Q;", "ACME", "P", "ACMEP"},
        {"CLS:PRINTER;", "", "", ""},  // neither key: empty values
    };
    auto machine = machineFrom("");
    sim::Session session(*machine);
    for (const Case& c : cases) {
        CString mfg("unset"), mdl("unset"), key("unset");
        ASSERT_TRUE(ParseDeviceID(c.id, &mfg, &mdl, &key)) << c.id;
        EXPECT_EQ(mfg.str(), c.mfg) << c.id;
        EXPECT_EQ(mdl.str(), c.mdl) << c.id;
        EXPECT_EQ(key.str(), c.key) << c.id;
    }
}

TEST(ParseDeviceID, TracesTheThreeValues) {
    auto machine = machineFrom("");
    sim::Session session(*machine);
    CString mfg, mdl, key;
    ParseDeviceID("MFG:Acme Corp;MDL:Photo Jet 100;", &mfg, &mdl, &key);
    EXPECT_EQ(machine->records.trace,
              (std::vector<std::string>{"\nMFG Value ==> \"ACME CORP\"", "MDL Value  ==> \"PHOTO JET 100\"",
                                        "MFGMDL Value ==> \"ACME_CORPPHOTO_JET_1\"\n"}));
}

TEST(ParseDeviceID, AnEmptyTextYieldsNothing) {
    auto machine = machineFrom("");
    sim::Session session(*machine);
    CString mfg("unset"), mdl("unset"), key("unset");
    EXPECT_FALSE(ParseDeviceID("", &mfg, &mdl, &key));
    EXPECT_EQ(mfg.str(), "unset");
    EXPECT_EQ(key.str(), "unset");
    EXPECT_TRUE(machine->records.trace.empty());
}

TEST(GetDeviceID, CopiesTheTextWithOrWithoutItsLengthBytes) {
    const std::string longText(260, 'A');
    std::string longHex;
    for (int i = 0; i < 260; ++i) longHex += "41";
    struct Case {
        const char* name;
        sim::json fields;  // added to the printer's entry
        std::string text;
        int returned;
    } cases[] = {
        {"length bytes sent", {{"deviceId", "MFG:Acme;MDL:P 1;"}}, "MFG:Acme;MDL:P 1;", 19},
        {"no length bytes", {{"deviceId", "MFG:Acme;MDL:P 1;"}, {"lengthPrefix", false}}, "MFG:Acme;MDL:P 1;", 17},
        {"0x00 0x2C and the text", {{"replyHex", "00 2C 4D 46 47 3A 41 3B"}}, "MFG:A;", 8},
        {"text up to its zero byte", {{"replyHex", "41 42 00 43"}}, "AB", 4},
        {"only the length bytes", {{"replyHex", "00 02"}}, "", 2},
        {"all zero", {{"replyHex", "00 00 00 00"}}, "", 4},
        {"empty", {{"replyHex", ""}}, "", 0},
        {"260 bytes, no zero byte", {{"replyHex", longHex}}, longText.substr(0, 259), 260},
    };
    for (const Case& c : cases) {
        sim::json entry = {{"path", interfacePath(1)}};
        entry.update(c.fields);
        IdRead r = readId(machineWith({entry}), interfacePath(1));
        EXPECT_EQ(r.result, 0) << c.name;
        EXPECT_EQ(std::string(r.buffer), c.text) << c.name;
        EXPECT_EQ(r.trace(), (std::vector<std::string>{
                                 "\n[GetDeviceID] Start GetDeviceID",
                                 "\nGetDeviceID (" + interfacePath(1) + ")\n",
                                 "Device ID = (" + c.text + ") [" + std::to_string(c.returned) + "]\n",
                                 "[GetDeviceID] End GetDeviceID\n\n",
                             }))
            << c.name;
        EXPECT_TRUE(r.reports().empty()) << c.name;
        EXPECT_TRUE(leakFree(*r.machine)) << c.name;
    }
}

TEST(GetDeviceID, AFailedStepGivesItsCodeAndLeavesTheBuffer) {
    const std::string tooLong = "MFG:Acme;MDL:" + std::string(300, 'P') + ";";
    struct Case {
        const char* name;
        std::string machine;
        std::string path;
        int result;
        const char* report;
    } cases[] = {
        {"cannot be opened", machineWith({{{"path", interfacePath(1)}, {"openError", 5}}}), interfacePath(1), 5,
         "[SysUtil-CreateFile]Access is denied.\r\n\n"},
        {"no such interface", machineWith({printer(1, "MFG:A;")}), interfacePath(2), 2,
         "[SysUtil-CreateFile]The system cannot find the file specified.\r\n\n"},
        {"request fails", machineWith({{{"path", interfacePath(1)}, {"ioctlError", 31}}}), interfacePath(1), 31,
         "[SysUtil-DeviceIoControl]A device attached to the system is not functioning.\r\n\n"},
        {"ID longer than the reply buffer", machineWith({printer(1, tooLong)}), interfacePath(1), 122,
         "[SysUtil-DeviceIoControl]The data area passed to a system call is too small.\r\n\n"},
        // A failure that leaves no code still is no success.
        {"open fails without a code",
         machineWith({printer(1, "MFG:A;")}, {{"faults", {{{"call", "CreateFileA"}, {"error", 0}}}}}),
         interfacePath(1), 31, "[SysUtil-CreateFile]The operation completed successfully.\r\n\n"},
    };
    for (const Case& c : cases) {
        IdRead r = readId(c.machine, c.path);
        EXPECT_EQ(r.result, c.result) << c.name;
        EXPECT_STREQ(r.buffer, "untouched") << c.name;
        EXPECT_EQ(r.reports(), std::vector<std::string>{c.report}) << c.name;
        EXPECT_EQ(r.trace().back(), c.report) << c.name;  // no closing line
        EXPECT_TRUE(leakFree(*r.machine)) << c.name;
    }
}

}  // namespace
