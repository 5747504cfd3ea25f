// The scan of the USB printer interfaces: which printer's values the fields
// keep, the port names, and every way the scan fails or passes over one.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/usb/usb_fixture.h"

using testing_support::runOn;
using usb_testing::interfacePath;
using usb_testing::machineWith;
using usb_testing::printer;
using usb_testing::scan;

namespace {

const char* const kStart = "\n[CheckMSUsb] Get Device ID from MS USB Port";
const char* const kEnd = "[CheckMSUsb] End Get Device ID from MS USB Port\n\n";
const char* const kPortFail = "[SysUtil] Get Port Name Fail!";
const char* const kScanFailed = "       Error read device id from device";

sim::json faults(std::initializer_list<sim::json> rules) { return sim::json{{"faults", rules}}; }
sim::json fault(const char* call, long nth, long error) { return {{"call", call}, {"nth", nth}, {"error", error}}; }

TEST(CheckMSUsb, NoPrinterEndsNormallyWithNothingSet) {
    auto s = scan(machineWith({}));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.trace(), (std::vector<std::string>{kStart, kEnd}));
    EXPECT_TRUE(s.reports().empty());
    EXPECT_EQ(s.mfg + s.mdl + s.deviceKey + s.portName, "");
    EXPECT_EQ(s.machine->faults.count("SetupDiEnumDeviceInterfaces"), 1);
    EXPECT_TRUE(s.leakFree());
}

TEST(CheckMSUsb, OnePrinterGivesItsDeviceValuesAndPort) {
    auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 3)}));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.mfg, "ACME");
    EXPECT_EQ(s.mdl, "P 1");
    EXPECT_EQ(s.deviceKey, "ACMEP_1");
    EXPECT_EQ(s.portName, "USB003");
    EXPECT_EQ(s.trace(), (std::vector<std::string>{
                             kStart,
                             "\n[GetDeviceID] Start GetDeviceID",
                             "\nGetDeviceID (" + interfacePath(1) + ")\n",
                             "Device ID = (MFG:Acme;MDL:P 1;) [19]\n",
                             "[GetDeviceID] End GetDeviceID\n\n",
                             "\nMFG Value ==> \"ACME\"",
                             "MDL Value  ==> \"P 1\"",
                             "MFGMDL Value ==> \"ACMEP_1\"\n",
                             "[SysUtil] Port Name is USB003",
                             kEnd,
                         }));
    // The sizing call's ERROR_INSUFFICIENT_BUFFER is the normal way on.
    EXPECT_TRUE(s.reports().empty());
    EXPECT_EQ(s.machine->faults.count("SetupDiGetDeviceInterfaceDetailA"), 2);
    EXPECT_TRUE(s.leakFree());
}

TEST(CheckMSUsb, PortNamesHaveAtLeastThreeDigits) {
    struct Case {
        sim::json value;  // the printer's port fields
        const char* port;
    } cases[] = {
        {{{"portNumber", 1}}, "USB001"},
        {{{"portNumber", 12}}, "USB012"},
        {{{"portNumber", 1234}}, "USB1234"},
        {{{"portNumberHex", "0C 00 00 00"}}, "USB012"},
        {{{"portNumberHex", "07"}}, "USB007"},  // a short value fills the low bytes only
    };
    for (const Case& c : cases) {
        sim::json p = printer(1, "MFG:A;MDL:B;");
        p.update(c.value);
        auto s = scan(machineWith({p}));
        EXPECT_EQ(s.portName, c.port) << c.value.dump();
        EXPECT_TRUE(s.leakFree()) << c.value.dump();
    }
}

TEST(CheckMSUsb, AShortPortValueDoesNotKeepBytesOfTheLastOne) {
    sim::json second = printer(2, "MFG:A;MDL:C;");
    second["portNumberHex"] = "07";
    auto s = scan(machineWith({printer(1, "MFG:A;MDL:B;", 0x00010203), second}));
    EXPECT_EQ(s.portName, "USB007");
}

TEST(CheckMSUsb, TheLastPrinterInEnumerationOrderWins) {
    auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1), printer(2, "MFG:Zeta;MDL:Z 9;", 2)}));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.mfg, "ZETA");
    EXPECT_EQ(s.mdl, "Z 9");
    EXPECT_EQ(s.deviceKey, "ZETAZ_9");
    EXPECT_EQ(s.portName, "USB002");
    EXPECT_TRUE(s.inOrder({"[SysUtil] Port Name is USB001", "[SysUtil] Port Name is USB002", kEnd}));
    EXPECT_TRUE(s.leakFree());
}

TEST(CheckMSUsb, ASecondPrinterWithoutPortNumberKeepsTheFirstPort) {
    auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1), printer(2, "MFG:Zeta;MDL:Z 9;")}));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.deviceKey, "ZETAZ_9");
    EXPECT_EQ(s.portName, "USB001");
    // The registry returns its code; that is the one reported.
    EXPECT_EQ(s.reports(), std::vector<std::string>{
                               "[SysUtil-RegQueryValueEx]The system cannot find the file specified.\r\n\n"});
    EXPECT_TRUE(s.inOrder({"MFGMDL Value ==> \"ZETAZ_9\"\n", kPortFail,
                           "[SysUtil-RegQueryValueEx]The system cannot find the file specified.\r\n\n", kEnd}));
    EXPECT_EQ(s.machine->faults.count("RegCloseKey"), 2);
    EXPECT_TRUE(s.leakFree());
}

TEST(CheckMSUsb, PortProblemsLeaveTheDeviceValuesSet) {
    struct Case {
        const char* name;
        sim::json fields;
        const char* report;
    } cases[] = {
        {"key cannot be opened", {{"portNumber", 4}, {"keyError", 5}},
         "[SysUtil-SetupDiOpenDeviceInterfaceRegKey]Access is denied.\r\n\n"},
        {"value longer than 4 bytes", {{"portNumberHex", "01 00 00 00 00"}},
         "[SysUtil-RegQueryValueEx]More data is available.\r\n\n"},
    };
    for (const Case& c : cases) {
        sim::json p = printer(1, "MFG:Acme;MDL:P 1;");
        p.update(c.fields);
        auto s = scan(machineWith({p}));
        EXPECT_EQ(s.result, 1) << c.name;
        EXPECT_EQ(s.deviceKey, "ACMEP_1") << c.name;
        EXPECT_EQ(s.portName, "") << c.name;
        EXPECT_TRUE(s.inOrder({kPortFail, c.report, kEnd})) << c.name;
        EXPECT_EQ(s.reports(), std::vector<std::string>{c.report}) << c.name;
        EXPECT_TRUE(s.leakFree()) << c.name;
    }
}

TEST(CheckMSUsb, APrinterWithoutReadableIdIsPassedOver) {
    struct Case {
        const char* name;
        sim::json fields;
        std::size_t reports;
    } cases[] = {
        {"cannot be opened", {{"openError", 5}}, 1},
        {"request fails", {{"ioctlError", 31}}, 1},
        {"empty ID", {{"replyHex", ""}}, 0},
        {"only the length bytes", {{"replyHex", "00 02"}}, 0},
    };
    for (const Case& c : cases) {
        sim::json second = {{"path", interfacePath(2)}, {"portNumber", 2}};
        second.update(c.fields);
        auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1), second}));
        EXPECT_EQ(s.result, 1) << c.name;
        EXPECT_EQ(s.deviceKey, "ACMEP_1") << c.name;
        EXPECT_EQ(s.portName, "USB001") << c.name;
        // Its port is not read.
        EXPECT_EQ(s.machine->faults.count("SetupDiOpenDeviceInterfaceRegKey"), 1) << c.name;
        EXPECT_EQ(s.reports().size(), c.reports) << c.name;
        EXPECT_EQ(s.trace().back(), kEnd) << c.name;
        EXPECT_TRUE(s.leakFree()) << c.name;
    }
}

TEST(CheckMSUsb, OnlyTheFirst256InterfacesAreLookedAt) {
    std::vector<sim::json> printers;
    for (int i = 0; i < 300; ++i) printers.push_back(printer(i, "MFG:M;MDL:N" + std::to_string(i) + ";", i + 1));
    auto s = scan(machineWith(printers));
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.machine->faults.count("SetupDiEnumDeviceInterfaces"), 256);
    EXPECT_EQ(s.mdl, "N255");
    EXPECT_EQ(s.portName, "USB256");
    EXPECT_EQ(s.trace().back(), kEnd);
    EXPECT_TRUE(s.leakFree());
}

TEST(CheckMSUsb, AFailedSetupApiCallEndsTheScanAndReleasesEverything) {
    const auto two = std::vector<sim::json>{printer(1, "MFG:Acme;MDL:P 1;", 1), printer(2, "MFG:Zeta;MDL:Z;", 2)};
    struct Case {
        const char* name;
        sim::json rule;
        const char* report;
        const char* deviceKey;  // what the fields keep
    } cases[] = {
        {"class devices", fault("SetupDiGetClassDevsA", 1, 8),
         "[SysUtil-SetupDiGetClassDevs]Not enough storage is available to process this command.\r\n\n", ""},
        {"enumeration at index 1", fault("SetupDiEnumDeviceInterfaces", 2, 31),
         "[SysUtil-SetupDiEnumDeviceInterfaces]A device attached to the system is not functioning.\r\n\n", "ACMEP_1"},
        {"sizing call, other code than 122", fault("SetupDiGetDeviceInterfaceDetailA", 1, 5),
         "[SysUtil-SetupDiGetDeviceInterfaceDetail]Access is denied.\r\n\n", ""},
        // 122 but no size given: the record of the fixed part alone is too small.
        {"sizing call, 122 without a size", fault("SetupDiGetDeviceInterfaceDetailA", 1, 122),
         "[SysUtil-SetupDiGetDeviceInterfaceDetail]The data area passed to a system call is too small.\r\n\n", ""},
        {"detail call", fault("SetupDiGetDeviceInterfaceDetailA", 2, 8),
         "[SysUtil-SetupDiGetDeviceInterfaceDetail]Not enough storage is available to process this command.\r\n\n", ""},
        {"detail record allocation", fault("GlobalAlloc", 1, 8),
         "[SysUtil-SetupDiGetDeviceInterfaceDetail]Not enough storage is available to process this command.\r\n\n", ""},
    };
    for (const Case& c : cases) {
        auto s = scan(machineWith(two, faults({c.rule})));
        EXPECT_EQ(s.result, 0) << c.name;
        EXPECT_EQ(s.reports(), std::vector<std::string>{c.report}) << c.name;
        EXPECT_EQ(s.trace().back(), c.report) << c.name;  // no closing line
        EXPECT_EQ(s.deviceKey, c.deviceKey) << c.name;
        EXPECT_EQ(s.portName, *c.deviceKey ? "USB001" : "") << c.name;
        EXPECT_TRUE(s.leakFree()) << c.name;
    }
}

TEST(CheckMSUsb, AnEnumerationFailureEndsTheRunAfterTheFirstRemoval) {
    // "Missing" is no printer of the machine, so the first removal fails.
    auto run = runOn(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1), printer(2, "MFG:Zeta;MDL:Z;", 2)},
                                 faults({fault("SetupDiEnumDeviceInterfaces", 2, 31)})),
                     "Missing");
    EXPECT_EQ(run.trace().back(), kScanFailed);
    EXPECT_EQ(run.count("\n[MyDeleteVirtualPrinter] Start MyDeleteVirtualPritner"), 1);
    EXPECT_EQ(run.count("\t\t\tNo device id from registry value"), 0);
    EXPECT_EQ(run.count("\n[MyRunAutoDlg] Start MyRunAutoRun"), 0);
    EXPECT_FALSE(run.machine->records.dialogRan);
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

TEST(CheckMSUsb, WithoutSetupApiTheScanFindsNoPrinterWhateverTheLastError) {
    for (os::DWORD lastError : {0u, 31u, 259u}) {
        auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1)}, {{"missingLibraries", {"SetupAPI.dll"}}}),
                      lastError);
        EXPECT_EQ(s.result, 1) << lastError;
        EXPECT_EQ(s.trace(), (std::vector<std::string>{
                                 "[SysUti-LoadLibrary(SetupApi)]The specified module could not be found.\r\n\n",
                                 kStart, kEnd}))
            << lastError;
        EXPECT_EQ(s.deviceKey, "") << lastError;
        EXPECT_TRUE(s.leakFree()) << lastError;
    }
    // So the run goes on to the registry look-up.
    auto run = runOn(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1)}, {{"missingLibraries", {"SetupAPI.dll"}}}),
                     "Missing");
    EXPECT_TRUE(run.inOrder({kStart, kEnd, "\t\t\tNo device id from registry value"}));
    EXPECT_EQ(run.count(kScanFailed), 0);
}

TEST(CheckMSUsb, SingleMissingEntryPoints) {
    struct Case {
        const char* missing;
        os::BOOL result;
        std::vector<std::string> reports;
        const char* port;
    } cases[] = {
        // No set: the enumeration is handed a null one.
        {"SetupDiGetClassDevsA", 0,
         {"[SysUtil-GetProcAddress-SetupDiGetClassDevsA]The specified procedure could not be found.\r\n\n",
          "[SysUtil-SetupDiEnumDeviceInterfaces]The handle is invalid.\r\n\n"},
         ""},
        // No key: the read is handed a null one.
        {"SetupDiOpenDeviceInterfaceRegKey", 1,
         {"[SysUtil-GetProcAddress-SetupDiOpenDeviceInterfaceRegKey]The specified procedure could not be found.\r\n\n",
          "[SysUtil-RegQueryValueEx]The handle is invalid.\r\n\n"},
         ""},
        // The sizing call answers 0 and the last error is the one left before it.
        {"SetupDiGetDeviceInterfaceDetailA", 0,
         {"[SysUtil-GetProcAddress-SetupDiGetDeviceInterfaceDetail]The specified procedure could not be found.\r\n\n",
          "[SysUtil-SetupDiGetDeviceInterfaceDetail]The operation completed successfully.\r\n\n"},
         ""},
        // A set that could not be released is never asked for: no printer, and nothing held.
        {"SetupDiDestroyDeviceInfoList", 1,
         {"[SysUtil-GetProcAddress-SetupDiDestroyDeviceInfoList]The specified procedure could not be found.\r\n\n"},
         ""},
    };
    for (const Case& c : cases) {
        auto s = scan(machineWith({printer(1, "MFG:Acme;MDL:P 1;", 1)}, {{"missingEntryPoints", {c.missing}}}));
        EXPECT_EQ(s.result, c.result) << c.missing;
        EXPECT_EQ(s.reports(), c.reports) << c.missing;
        EXPECT_EQ(s.portName, c.port) << c.missing;
        EXPECT_TRUE(s.leakFree()) << c.missing;
    }
}

TEST(CheckMSUsb, TheDefaultMachineHasOneUsbPrinterOnUsb001) {
    std::ifstream file(testing_support::sourcePath("examples/default.json"));
    std::stringstream text;
    text << file.rdbuf();
    auto run = runOn(text.str(), "\"Acme Virtual Printer\"");
    EXPECT_TRUE(run.inOrder({kStart, "\nMFG Value ==> \"ACME\"", "MDL Value  ==> \"PHOTO 1\"",
                             "MFGMDL Value ==> \"ACMEPHOTO_1\"\n", "[SysUtil] Port Name is USB001", kEnd}));
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

}  // namespace
