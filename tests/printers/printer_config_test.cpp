// The installed-driver comparison, the port re-assignment and the printer
// update, creation and default, on small spooler configurations.
#include <cstring>

#include "tests/printers/printer_rig.h"

namespace {

using printers_test::Rig;
using sim::json;

const char* const kDriver = "Acme Photo 1";
const char* const kAdded = "Acme Photo 1(USB001)";
const char* const kBystander = "HP LaserJet 4";

json port(const std::string& name, int type = 3) {
    return {{"name", name}, {"type", type}};
}
json printer(const std::string& name, const std::string& driver, const std::string& port, int attributes = 0,
             const std::string& comment = "") {
    return {
        {"name", name}, {"driver", driver}, {"port", port}, {"attributes", attributes}, {"comment", comment}};
}

// A machine with the Acme driver and a bystander printer (the default) on LPT2:.
std::string machineWith(json printers, json ports = json()) {
    if (ports.is_null())
        ports = json::array({port("LPT1:"), port("LPT2:"), port("COM2:"), port("FILE:"), port("USB001")});
    printers.push_back(printer(kBystander, kBystander, "LPT2:", 4));
    json file = {{"spooler", {{"ports", ports}, {"drivers", {kDriver, kBystander}}, {"printers", printers}}}};
    return file.dump();
}

void useRegistryDriver(Rig& rig, const char* name = kDriver, const char* defaultDriver = kDriver) {
    rig.app->m_strDriverNames[0] = name;
    rig.app->m_nDriverCount = 1;
    rig.app->m_strDefaultDriver = defaultDriver;
}

TEST(PortReassignment, LocalPrintersMoveAndOthersGetAPrinterAdded) {
    struct Case {
        std::string port;
        int portType;  // -1: the port is not in the port list
        int attributes;
        bool moved;
    } cases[] = {
        {"LPT1:", 3, 0, true},
        {"FILE:", 3, 0, true},
        {"COM2:", 3, 0, true},
        {"USB002", 3, 0, true},
        {"\\\\SERVER\\LASER", 3, 0, false},   // no local word in the name
        {"\\\\SERVER\\USBPRN", 3, 0, true},   // a local word passes the name test
        {"\\\\SERVER\\USBPRN", 4, 0, false},  // redirected
        {"\\\\SERVER\\USBPRN", 3, 0x10, false},
        {"LPT1:", 3, 0x10, false},   // network attribute
        {"LPT1:", 8 | 3, 0, false},  // network-attached port
        {"LPT3:", -1, 0, false},     // not in the port list: neither moved nor skipped
    };
    for (const Case& c : cases) {
        json ports = json::array({port("LPT2:"), port("USB001")});
        if (c.portType >= 0) ports.push_back(port(c.port, c.portType));
        Rig rig(machineWith(json::array({printer(kDriver, kDriver, c.port, c.attributes)}), ports));
        useRegistryDriver(rig);
        const std::string what =
            c.port + " type " + std::to_string(c.portType) + " attributes " + std::to_string(c.attributes);

        EXPECT_TRUE(rig.app->MyComparePrinterDriverInfo()) << what;
        EXPECT_EQ(rig.app->m_bDriverMissing, 0) << what;
        EXPECT_EQ(rig.portOf(kDriver), c.moved ? "USB001" : c.port) << what;
        EXPECT_EQ(rig.printer(kAdded) != nullptr, !c.moved) << what;
        EXPECT_EQ(rig.defaultPrinter(), c.moved ? kDriver : kAdded) << what;
        EXPECT_EQ(rig.portOf(kBystander), "LPT2:") << what;
        std::string upper = c.port;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(rig.traced("Skip " + c.port + " port is network port"), !c.moved && c.portType >= 0)
            << what;
        EXPECT_EQ(rig.traced(upper + " port is matched"), c.portType >= 0) << what;
        EXPECT_EQ(rig.traced(std::string(kDriver) + " Printer port is changed from " + c.port + " to USB001"),
                  c.moved)
            << what;
        if (!c.moved) {
            const sim::Printer* added = rig.printer(kAdded);
            ASSERT_NE(added, nullptr) << what;
            EXPECT_EQ(added->port, "USB001") << what;
            EXPECT_EQ(added->driver, kDriver) << what;
        }
        EXPECT_EQ(rig.trace().back(), "[MyComparePrinterDriverInfo] End MyComparePrinterDriverInfo\n\n")
            << what;
        EXPECT_EQ(rig.held(), "") << what;
    }
}

TEST(PortReassignment, TracesTheWalkOverPrintersAndPorts) {
    Rig rig(machineWith(json::array({printer(kDriver, kDriver, "lpt1:")})));
    useRegistryDriver(rig);
    rig.app->MyComparePrinterDriverInfo();
    EXPECT_TRUE(rig.inOrder({
        "\n[MyComparePrinterDriverInfo] Start MyComparePrinterDriverInfo",
        "Read driver name from info structure => Acme Photo 1",
        "Read priner driver form registry key => ACME PHOTO 1",
        "Compare ACME PHOTO 1 to ACME PHOTO 1",
        "ACME PHOTO 1 driver(from read registry) compare result is matched",
        "\n[MyComparePrinter] Start MyComparePrinter",
        "Read find printer Acme Photo 1",
        "Acme Photo 1 printer is used Acme Photo 1 pritner dirver",
        "find printer Acme Photo 1 is used Acme Photo 1 printer driver",
        "Acme Photo 1 Printer is Local printer",
        "Acme Photo 1 Printer port is finded LPT,USB,FILE,COM",
        "Acme Photo 1 Printer is used port => LPT1:",
        "Acme Photo 1 Printer is getted attributes => 0",
        "Bit and operation result => 0",
        "Acme Photo 1 Printer is local printer",
        "Acme Photo 1 driver is used printer Acme Photo 1 to find",
        "Search Port Information structure",
        "Compare LPT1: to LPT1: ",
        "LPT1: port is matched",
        "lpt1: port is network port??",
        "lpt1: port type is => 3",
        "Network Port type => C",
        "Change port name form lpt1: to USB001",
        "MySetPrinter function is called",
        "\n[MySetPrinter] Start MySetPrinter",
        "Open Printer to Acme Photo 1",
        "SetPrinter Acme Photo 1 is success",
        "       Set default printer ==> Acme Photo 1",
        "[MySetPrinter] End MySetPrinter\n\n\n",
        "Acme Photo 1 Printer port is changed from LPT1: to USB001",
        "Read find printer HP LaserJet 4",
        "HP LaserJet 4 printer is used HP LaserJet 4 pritner dirver",
        "[MyComparePrinter] End MyComparePrinter\n\n",
        "Read driver name from info structure => HP LaserJet 4",
        "Compare HP LASERJET 4 to ACME PHOTO 1",
        "ACME PHOTO 1 driver(from read registry) compare result is missmatched",
        "All driver information is compared",
        "[MyComparePrinterDriverInfo] End MyComparePrinterDriverInfo\n\n",
    }));
    // The search ends at the first equal port.
    EXPECT_EQ(rig.count("Search Port Information structure"), 1);

    // Ports before the equal one are traced as different.
    Rig later(machineWith(json::array({printer(kDriver, kDriver, "COM2:")})));
    useRegistryDriver(later);
    later.app->MyComparePrinterDriverInfo();
    EXPECT_TRUE(
        later.inOrder({"Compare COM2: to LPT1: ", "LPT1: is missmatch COM2:", "Compare COM2: to LPT2: ",
                       "LPT2: is missmatch COM2:", "Compare COM2: to COM2: ", "COM2: port is matched"}));
    EXPECT_EQ(later.count("Search Port Information structure"), 3);
}

TEST(PortReassignment, TwoPrintersOfTheDriver) {
    // One movable: it moves, and nothing is added.
    Rig one(machineWith(json::array({printer("Remote", kDriver, "\\\\S\\P", 0, "first"),
                                     printer("Local", kDriver, "LPT1:", 0, "second")}),
                        json::array({port("LPT1:"), port("LPT2:"), port("USB001"), port("\\\\S\\P", 4)})));
    useRegistryDriver(one);
    EXPECT_TRUE(one.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(one.portOf("Local"), "USB001");
    EXPECT_EQ(one.portOf("Remote"), "\\\\S\\P");
    EXPECT_EQ(one.printer(kAdded), nullptr);
    EXPECT_EQ(one.count("MyAddPrinter function is called"), 0);

    // Neither movable: one printer is added, with the second one's settings.
    Rig neither(machineWith(json::array({printer("Remote 1", kDriver, "\\\\S\\P", 0, "first"),
                                         printer("Remote 2", kDriver, "LPT1:", 0x10, "second")})));
    useRegistryDriver(neither);
    EXPECT_TRUE(neither.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(neither.count("MyAddPrinter function is called"), 1);
    ASSERT_NE(neither.printer(kAdded), nullptr);
    EXPECT_EQ(neither.printer(kAdded)->comment, "second");
    EXPECT_EQ(neither.portOf("Remote 1"), "\\\\S\\P");
    EXPECT_EQ(neither.portOf("Remote 2"), "LPT1:");
    EXPECT_EQ(neither.held(), "");
}

TEST(PortReassignment, DriverWithoutPrintersOrNotInstalled) {
    // Installed (in another letter case), but no printer uses it: the driver
    // counts as found, nothing changes.
    Rig unused(machineWith(json::array()));
    useRegistryDriver(unused, "ACME PHOTO 1");
    EXPECT_FALSE(unused.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(unused.app->m_bDriverMissing, 0);
    EXPECT_TRUE(unused.traced("ACME PHOTO 1 driver(from read registry) compare result is matched"));
    EXPECT_EQ(unused.machine->spooler.printers.size(), 1u);
    EXPECT_EQ(unused.portOf(kBystander), "LPT2:");
    EXPECT_EQ(unused.defaultPrinter(), kBystander);

    // Not installed: the driver is still missing.
    Rig missing(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
    useRegistryDriver(missing, "Acme Photo 2");
    EXPECT_FALSE(missing.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(missing.app->m_bDriverMissing, 1);
    EXPECT_EQ(missing.count("ACME PHOTO 2 driver(from read registry) compare result is missmatched"), 2);
    EXPECT_EQ(missing.portOf(kDriver), "LPT1:");
    EXPECT_EQ(missing.held(), "");
}

TEST(PortReassignment, DefaultRuleWhenMovingPrinters) {
    struct Case {
        const char* defaultDriver;
        const char* expectedDefault;
    } cases[] = {
        {"", "Second"},                 // every moved printer in turn; the last stays
        {"HP LaserJet 4", kBystander},  // another driver: the default is left alone
        {"acme PHOTO 1", "Second"},     // letter case does not matter
    };
    for (const Case& c : cases) {
        Rig rig(machineWith(
            json::array({printer("First", kDriver, "LPT1:"), printer("Second", kDriver, "COM2:")})));
        useRegistryDriver(rig, kDriver, c.defaultDriver);
        EXPECT_TRUE(rig.app->MyComparePrinterDriverInfo()) << c.defaultDriver;
        EXPECT_EQ(rig.portOf("First"), "USB001");
        EXPECT_EQ(rig.portOf("Second"), "USB001");
        EXPECT_EQ(rig.defaultPrinter(), c.expectedDefault) << c.defaultDriver;
        const bool defaults = std::string(c.expectedDefault) != kBystander;
        EXPECT_EQ(rig.count("       Set default printer ==> First"), defaults ? 1 : 0) << c.defaultDriver;
        EXPECT_EQ(rig.count("       Set default printer ==> Second"), defaults ? 1 : 0) << c.defaultDriver;
        EXPECT_EQ(rig.held(), "") << c.defaultDriver;
    }
}

TEST(PortReassignment, SpoolerRefusalsInTheUpdate) {
    // The printer cannot be opened: no port change reaches the spooler, yet it
    // counts as moved and the default rule still applies.
    Rig closed(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
    useRegistryDriver(closed);
    closed.machine->faults.rules = {{"OpenPrinterA", 1, 1, 5}};
    EXPECT_TRUE(closed.app->MyComparePrinterDriverInfo());
    EXPECT_FALSE(closed.traced("Open Printer to Acme Photo 1"));
    EXPECT_EQ(closed.portOf(kDriver), "LPT1:");
    EXPECT_EQ(closed.printer(kAdded), nullptr);
    EXPECT_EQ(closed.defaultPrinter(), kDriver);
    EXPECT_EQ(closed.held(), "");

    Rig refused(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
    useRegistryDriver(refused);
    refused.machine->faults.rules = {{"SetPrinterA", 1, 1, 5}};
    EXPECT_TRUE(refused.app->MyComparePrinterDriverInfo());
    EXPECT_TRUE(refused.traced("SetPrinter Acme Photo 1 is fail"));
    EXPECT_EQ(refused.portOf(kDriver), "LPT1:");
    EXPECT_EQ(refused.held(), "");

    // No memory for the default printer's record: moved, default unchanged.
    Rig noMemory(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
    useRegistryDriver(noMemory);
    noMemory.machine->faults.rules = {{"GlobalAlloc", 4, 1, 8}};
    EXPECT_TRUE(noMemory.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(noMemory.portOf(kDriver), "USB001");
    EXPECT_EQ(noMemory.defaultPrinter(), kBystander);
    EXPECT_EQ(noMemory.held(), "");
}

TEST(PortReassignment, AddingOverAnExistingNameMakesThatPrinterTheDefault) {
    Rig rig(machineWith(
        json::array({printer(kDriver, kDriver, "\\\\S\\P"), printer(kAdded, kBystander, "LPT1:")}),
        json::array({port("LPT1:"), port("LPT2:"), port("USB001"), port("\\\\S\\P", 4)})));
    useRegistryDriver(rig);
    EXPECT_FALSE(rig.app->MyComparePrinterDriverInfo());
    EXPECT_TRUE(rig.traced("                 AddPrinter Acme Photo 1(USB001) is fail"));
    EXPECT_EQ(rig.count("       Set default printer ==> Acme Photo 1(USB001)"), 1);
    EXPECT_EQ(rig.defaultPrinter(), kAdded);
    EXPECT_EQ(rig.printer(kAdded)->driver, kBystander);
    EXPECT_EQ(rig.portOf(kAdded), "LPT1:");
    EXPECT_EQ(rig.held(), "");
}

TEST(DriverComparison, EnumerationAndAllocationFailuresLeaveTheDriverMissing) {
    struct Case {
        const char* call;
        long nth;
        const char* line;
        bool reported;
    } cases[] = {
        {"EnumPortsA", 1, "Get structure size is failed", false},
        {"EnumPrinterDriversA", 1, "Get structure size is failed", false},
        {"EnumPrintersA", 1, "Get structure size is failed", false},
        {"GlobalAlloc", 1, "Alloc memory is failed", false},
        {"GlobalAlloc", 2, "Alloc memory is failed", false},
        {"GlobalAlloc", 3, "Alloc memory is failed", false},
        {"EnumPortsA", 2, "Fail EnumPrinterDrivers", true},
        {"EnumPrintersA", 2, "Fail EnumPrinterDrivers", true},
        {"EnumPrinterDriversA", 2, "Fail EnumPrinterDrivers", true},
    };
    for (const Case& c : cases) {
        Rig rig(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
        useRegistryDriver(rig);
        rig.machine->faults.rules = {{c.call, c.nth, 1, os::ERROR_NOT_ENOUGH_MEMORY}};
        const std::string what = std::string(c.call) + " #" + std::to_string(c.nth);
        EXPECT_FALSE(rig.app->MyComparePrinterDriverInfo()) << what;
        EXPECT_EQ(rig.app->m_bDriverMissing, 1) << what;
        EXPECT_EQ(rig.count(c.line), 1) << what;
        EXPECT_FALSE(rig.traced("[MyComparePrinterDriverInfo] End MyComparePrinterDriverInfo\n\n")) << what;
        ASSERT_EQ(rig.machine->records.reports.size(), c.reported ? 1u : 0u) << what;
        if (c.reported) {
            EXPECT_EQ(
                rig.machine->records.reports[0],
                "[MyComparePrinterDriverInfo]Not enough storage is available to process this command.\r\n\n");
        }
        EXPECT_EQ(rig.portOf(kDriver), "LPT1:") << what;
        EXPECT_EQ(rig.held(), "") << what;
    }
    // No local printer at all: the printers' size is 0.
    json empty = {{"spooler", {{"drivers", {kDriver}}, {"printers", json::array()}}}};
    Rig none(empty.dump());
    useRegistryDriver(none);
    EXPECT_FALSE(none.app->MyComparePrinterDriverInfo());
    EXPECT_EQ(none.trace().back(), "Get structure size is failed");
    EXPECT_EQ(none.app->m_bDriverMissing, 1);
    EXPECT_EQ(none.machine->faults.count("GlobalAlloc"), 0);
}

// MyComparePrinter on records of its own: the counts it is given rule.
TEST(MyComparePrinter, CountsOfZero) {
    json file = {{"spooler", {{"ports", {port("LPT1:"), port("USB001")}}, {"drivers", {kDriver}}}}};
    Rig rig(file.dump());
    char driver[] = "Acme Photo 1", first[] = "First", second[] = "Second",
         lpt1[] = "LPT1:", firstNote[] = "first", secondNote[] = "second";
    os::DRIVER_INFO_1 driverInfo{driver};
    os::PRINTER_INFO_2 records[2] = {};
    records[0].pPrinterName = first;
    records[0].pComment = firstNote;
    records[1].pPrinterName = second;
    records[1].pComment = secondNote;
    for (auto& r : records) {
        r.pDriverName = driver;
        r.pPortName = lpt1;
    }
    rig.app->m_pDriverInfo = &driverInfo;
    rig.app->m_pPortInfo = nullptr;

    rig.app->m_pPrinterInfo = records;
    EXPECT_FALSE(rig.app->MyComparePrinter(0, 2));
    EXPECT_EQ(rig.trace(), (std::vector<std::string>{"\n[MyComparePrinter] Start MyComparePrinter",
                                                     "[MyComparePrinter] End MyComparePrinter\n\n"}));

    // No port to search: nothing is moved, one printer is added from the last record.
    rig.app->m_pPrinterInfo = records;
    EXPECT_TRUE(rig.app->MyComparePrinter(2, 0));
    EXPECT_EQ(rig.app->m_pPrinterInfo, records + 2);
    EXPECT_EQ(rig.count("Search Port Information structure"), 0);
    ASSERT_NE(rig.printer(kAdded), nullptr);
    EXPECT_EQ(rig.printer(kAdded)->comment, "second");
    EXPECT_STREQ(records[1].pPrinterName, kAdded);
    EXPECT_STREQ(records[1].pPortName, "USB001");
    EXPECT_EQ(rig.held(), "");
}

TEST(MyAddPrinter, NameIsCutOnWindows9xOnly) {
    const std::string d23 = "ABCDEFGHIJKLMNOPQRSTUVW";
    const std::string dbcs =
        std::string("ABCDEFGHIJKLMNOPQRSTUV") + "\x82\xa0";  // 22 + one double-byte character
    struct Case {
        std::string driver;
        int family;
        int codePage;
        std::string name;
    } cases[] = {
        {d23, OS_FAMILY_WIN9X, 1252, d23 + "(USB001)"},
        {d23 + "X", OS_FAMILY_WIN9X, 1252, d23 + "(USB001)"},
        {d23 + "XYZ", OS_FAMILY_WIN9X, 1252, d23 + "(USB001)"},
        {d23 + "XYZ", OS_FAMILY_NT5, 1252, d23 + "XYZ(USB001)"},
        {dbcs, OS_FAMILY_WIN9X, 932, dbcs.substr(0, 22) + "(USB001)"},
        {dbcs.substr(0, 21) + "\x82\xa0", OS_FAMILY_WIN9X, 932, dbcs.substr(0, 21) + "\x82\xa0(USB001)"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.machine->codePage = c.codePage;
        rig.machine->spooler.drivers.push_back(c.driver);
        rig.machine->spooler.ports.push_back(sim::Port{"USB001"});
        rig.app->m_osVersion.nFamily = c.family;
        std::string driver = c.driver;
        char model[] = "Model", lpt1[] = "LPT1:";
        os::PRINTER_INFO_2 record{};
        record.pPrinterName = model;
        record.pDriverName = &driver[0];
        record.pPortName = lpt1;
        EXPECT_TRUE(rig.app->MyAddPrinter(&record)) << c.name;
        EXPECT_EQ(record.pPrinterName, c.name);
        EXPECT_TRUE(rig.inOrder(
            {"\n[MyAddPrinter] Start MyAddPrinter", "Printer Name ==> " + c.name, "Port Name => USB001",
             "                 AddPrinter " + c.name + " is success", "[MyAddPrinter] End MyAddPrinter\n\n"}))
            << c.name;
        ASSERT_EQ(rig.machine->spooler.printers.size(), 1u) << c.name;
        EXPECT_EQ(rig.machine->spooler.printers[0].name, c.name);
        EXPECT_EQ(rig.machine->spooler.printers[0].port, "USB001");
        EXPECT_EQ(rig.defaultPrinter(), c.name);
        if (c.family == OS_FAMILY_WIN9X) {
            EXPECT_LE(c.name.size(), 31u);
        }
        EXPECT_EQ(rig.held(), "") << c.name;
    }
}

TEST(MySetDefaultPrinter, NamesTooLongForTheBufferAreRefused) {
    Rig rig(machineWith(json::array({printer(kDriver, kDriver, "LPT1:")})));
    rig.app->MySetDefaultPrinter(CString(std::string(260, 'A')));
    EXPECT_EQ(rig.machine->faults.count("OpenPrinterA"), 0);
    rig.app->MySetDefaultPrinter(CString(std::string(259, 'A')));
    EXPECT_EQ(rig.machine->faults.count("OpenPrinterA"), 1);
    EXPECT_EQ(rig.defaultPrinter(), kBystander);
    // The default attribute is added to what the printer has; sent again when it is there already.
    rig.app->MySetDefaultPrinter(kDriver);
    rig.app->MySetDefaultPrinter(kDriver);
    EXPECT_EQ(rig.defaultPrinter(), kDriver);
    EXPECT_EQ(rig.machine->faults.count("SetPrinterA"), 2);
    EXPECT_TRUE(rig.trace().empty());
    EXPECT_EQ(rig.held(), "");
}

}  // namespace
