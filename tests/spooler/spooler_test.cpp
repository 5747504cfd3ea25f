// The simulated spooler at its call boundary: two-call sizing, last errors,
// strings inside the caller's buffer, printers that appear late, handles.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/support/machine_fixture.h"

namespace {

constexpr os::DWORD kSentinel = 0xDEADBEEF;

const char* const kMachine = R"({"spooler": {
  "ports": [{"name": "LPT1:", "type": 3}, {"name": "FILE:"}, {"name": "USB001", "type": 1}],
  "drivers": ["Acme Photo 1", "Virtual Printer"],
  "printers": [
    {"name": "Acme Photo 1", "driver": "Acme Photo 1", "port": "LPT1:", "attributes": 4,
     "comment": "Front desk", "location": "Room 2", "priority": 5},
    {"name": "Virtual Printer", "driver": "Virtual Printer", "port": "FILE:", "attributes": 0},
    {"name": "Late Printer", "driver": "Acme Photo 1", "port": "USB001", "attributes": 0, "listedAfterMs": 3000}
  ],
  "defaultPrinter": "Acme Photo 1"}})";

class Spooler : public testing::Test {
protected:
    void use(const std::string& json) {
        session.reset();
        machine = testing_support::machineFrom(json);
        session = std::make_unique<sim::Session>(*machine);
    }
    void SetUp() override { use(kMachine); }
    void TearDown() override { session.reset(); }

    long handles() const { return machine->held.count("printerHandles"); }

    std::unique_ptr<sim::Machine> machine;
    std::unique_ptr<sim::Session> session;
};

// One sized call: buffer, size, needed, returned (GetPrinterA has no count).
using SizedCall = std::function<os::BOOL(os::LPBYTE, os::DWORD, os::DWORD*, os::DWORD*)>;

struct Enumeration {
    const char* name;
    SizedCall call;
    os::DWORD records;
};

TEST_F(Spooler, SizedCallsFailBelowTheSizeTheyAskForAndFillTheBufferFromIt) {
    os::HANDLE printer = nullptr;
    ASSERT_TRUE(os::OpenPrinterA(const_cast<char*>("Acme Photo 1"), &printer, nullptr));
    const Enumeration calls[] = {
        {"EnumPrintersA",
         [](os::LPBYTE b, os::DWORD s, os::DWORD* n, os::DWORD* r) {
             return os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, b, s, n, r);
         },
         2},
        {"EnumPortsA",
         [](os::LPBYTE b, os::DWORD s, os::DWORD* n, os::DWORD* r) {
             return os::EnumPortsA(nullptr, 2, b, s, n, r);
         },
         3},
        {"EnumPrinterDriversA",
         [](os::LPBYTE b, os::DWORD s, os::DWORD* n, os::DWORD* r) {
             return os::EnumPrinterDriversA(nullptr, nullptr, 1, b, s, n, r);
         },
         2},
        {"GetPrinterA",
         [printer](os::LPBYTE b, os::DWORD s, os::DWORD* n, os::DWORD* r) {
             *r = 1;
             return os::GetPrinterA(printer, 2, b, s, n);
         },
         1},
    };
    for (const Enumeration& e : calls) {
        SCOPED_TRACE(e.name);
        os::DWORD needed = 0, returned = 77;
        os::SetLastError(kSentinel);
        EXPECT_FALSE(e.call(nullptr, 0, &needed, &returned));
        EXPECT_EQ(os::GetLastError(), os::ERROR_INSUFFICIENT_BUFFER);
        ASSERT_GT(needed, 0u);
        const os::DWORD size = needed;

        std::vector<os::BYTE> buffer(size + 1, 0xCC);
        os::SetLastError(kSentinel);
        EXPECT_FALSE(e.call(buffer.data(), size - 1, &needed, &returned));
        EXPECT_EQ(os::GetLastError(), os::ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(needed, size);
        EXPECT_EQ(buffer[0], 0xCC) << "nothing is written into a buffer that is too small";

        for (os::DWORD offered : {size, size + 1}) {
            os::SetLastError(kSentinel);
            needed = 0;
            returned = 0;
            EXPECT_TRUE(e.call(buffer.data(), offered, &needed, &returned));
            EXPECT_EQ(os::GetLastError(), kSentinel);
            EXPECT_EQ(needed, size);
            EXPECT_EQ(returned, e.records);
            EXPECT_EQ(buffer[size], 0xCC) << "nothing is written past the size asked for";
        }
    }
    EXPECT_TRUE(os::ClosePrinter(printer));
}

bool inside(const void* text, const std::vector<os::BYTE>& buffer, std::size_t recordsEnd) {
    auto* p = static_cast<const os::BYTE*>(text);
    return p >= buffer.data() + recordsEnd &&
           p + std::strlen(static_cast<const char*>(text)) < buffer.data() + buffer.size();
}

TEST_F(Spooler, RecordsComeFirstAndTheirStringsLieInTheSameBuffer) {
    os::DWORD needed = 0, returned = 0;
    os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<os::BYTE> buffer(needed);
    ASSERT_TRUE(
        os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 2u);  // "Late Printer" is not listed yet
    const std::size_t recordsEnd = returned * sizeof(os::PRINTER_INFO_2);
    auto* printers = reinterpret_cast<os::PRINTER_INFO_2*>(buffer.data());
    EXPECT_STREQ(printers[0].pPrinterName, "Acme Photo 1");
    EXPECT_STREQ(printers[0].pDriverName, "Acme Photo 1");
    EXPECT_STREQ(printers[0].pPortName, "LPT1:");
    EXPECT_STREQ(printers[0].pComment, "Front desk");
    EXPECT_STREQ(printers[0].pLocation, "Room 2");
    EXPECT_EQ(printers[0].Priority, 5u);
    EXPECT_EQ(printers[0].Attributes, os::PRINTER_ATTRIBUTE_DEFAULT);
    EXPECT_EQ(printers[0].pServerName, nullptr);  // a local printer
    EXPECT_STREQ(printers[1].pPrinterName, "Virtual Printer");
    EXPECT_STREQ(printers[1].pShareName, "");
    for (os::DWORD i = 0; i < returned; ++i)
        for (const char* text : {printers[i].pPrinterName, printers[i].pPortName, printers[i].pDriverName,
                                 printers[i].pComment, printers[i].pDatatype})
            EXPECT_TRUE(inside(text, buffer, recordsEnd)) << i;

    os::EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned);
    buffer.assign(needed, 0);
    ASSERT_TRUE(os::EnumPortsA(nullptr, 2, buffer.data(), needed, &needed, &returned));
    auto* ports = reinterpret_cast<os::PORT_INFO_2*>(buffer.data());
    ASSERT_EQ(returned, 3u);
    EXPECT_STREQ(ports[1].pPortName, "FILE:");
    EXPECT_EQ(ports[1].fPortType, os::PORT_TYPE_WRITE | os::PORT_TYPE_READ);  // the type left out
    EXPECT_STREQ(ports[2].pPortName, "USB001");
    EXPECT_EQ(ports[2].fPortType, os::PORT_TYPE_WRITE);
    EXPECT_TRUE(inside(ports[2].pPortName, buffer, returned * sizeof(os::PORT_INFO_2)));

    os::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
    buffer.assign(needed, 0);
    ASSERT_TRUE(os::EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned));
    auto* drivers = reinterpret_cast<os::DRIVER_INFO_1*>(buffer.data());
    ASSERT_EQ(returned, 2u);
    EXPECT_STREQ(drivers[1].pName, "Virtual Printer");
    EXPECT_EQ(needed, 2 * sizeof(os::DRIVER_INFO_1) + sizeof "Acme Photo 1" + sizeof "Virtual Printer");
}

TEST_F(Spooler, NothingToListSucceedsWithSizeZero) {
    use(R"({"spooler": {"ports": []}})");
    os::DWORD needed = 99, returned = 99;
    os::SetLastError(kSentinel);
    EXPECT_TRUE(os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
    EXPECT_TRUE(os::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_TRUE(os::EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(os::GetLastError(), kSentinel);
}

TEST_F(Spooler, AMachineWithoutPortsHasThoseOfAFreshWindows98) {
    use("{}");
    std::vector<std::string> names;
    for (const sim::Port& p : machine->spooler.ports) {
        names.push_back(p.name);
        EXPECT_EQ(p.type, 3u);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"}));
    EXPECT_FALSE(machine->spooler.portsGiven);
    use(kMachine);
    EXPECT_TRUE(machine->spooler.portsGiven);
    EXPECT_EQ(machine->spooler.ports.size(), 3u);
}

TEST_F(Spooler, APrinterIsListedAndOpenedOnlyFromItsListedTimeOn) {
    auto listed = [] {
        os::DWORD needed = 0, returned = 0;
        os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
        std::vector<os::BYTE> buffer(needed);
        os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned);
        return returned;
    };
    os::HANDLE printer = reinterpret_cast<os::HANDLE>(1);
    machine->nowMs = 2999;
    EXPECT_EQ(listed(), 2u);
    os::SetLastError(kSentinel);
    EXPECT_FALSE(os::OpenPrinterA(const_cast<char*>("Late Printer"), &printer, nullptr));
    EXPECT_EQ(os::GetLastError(), os::ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(printer, nullptr);
    machine->nowMs = 3000;
    EXPECT_EQ(listed(), 3u);
    EXPECT_TRUE(os::OpenPrinterA(const_cast<char*>("late printer"), &printer, nullptr));
    EXPECT_EQ(handles(), 1);
    EXPECT_TRUE(os::ClosePrinter(printer));
    EXPECT_EQ(handles(), 0);
}

TEST_F(Spooler, OpenPrinterIgnoresCaseAndRefusesUnknownNames) {
    struct Case {
        const char* name;
        bool opens;
    } cases[] = {{"Virtual Printer", true},
                 {"VIRTUAL printer", true},
                 {"Virtual", false},
                 {"Virtual Printer ", false},
                 {"", false},
                 {"No Such Printer", false}};
    for (const Case& c : cases) {
        os::HANDLE printer = nullptr;
        os::SetLastError(kSentinel);
        EXPECT_EQ(os::OpenPrinterA(const_cast<char*>(c.name), &printer, nullptr), c.opens ? 1 : 0) << c.name;
        EXPECT_EQ(os::GetLastError(), c.opens ? kSentinel : os::ERROR_INVALID_PRINTER_NAME) << c.name;
        if (printer) {
            EXPECT_TRUE(os::ClosePrinter(printer));
        }
    }
    EXPECT_EQ(handles(), 0);
    os::SetLastError(kSentinel);
    EXPECT_FALSE(os::ClosePrinter(reinterpret_cast<os::HANDLE>(0x1234)));
    EXPECT_EQ(os::GetLastError(), os::ERROR_INVALID_HANDLE);
}

TEST_F(Spooler, ADeletedPrinterGoesAtOnceWhileItsHandleStaysOpenUntilClosed) {
    os::HANDLE printer = nullptr;
    ASSERT_TRUE(os::OpenPrinterA(const_cast<char*>("Virtual Printer"), &printer, nullptr));
    EXPECT_TRUE(os::DeletePrinter(printer));
    EXPECT_EQ(machine->spooler.findPrinter("Virtual Printer"), nullptr);
    EXPECT_EQ(handles(), 1);
    os::DWORD needed = 0;
    os::SetLastError(kSentinel);
    EXPECT_FALSE(os::GetPrinterA(printer, 2, nullptr, 0, &needed));
    EXPECT_NE(os::GetLastError(), kSentinel);
    EXPECT_FALSE(os::DeletePrinter(printer));
    os::HANDLE again = nullptr;
    EXPECT_FALSE(os::OpenPrinterA(const_cast<char*>("Virtual Printer"), &again, nullptr));
    EXPECT_TRUE(os::ClosePrinter(printer));
    EXPECT_EQ(handles(), 0);
}

TEST_F(Spooler, ADriverIsDeletedOnlyWhenInstalledAndNoPrinterUsesIt) {
    struct Step {
        const char* driver;
        os::DWORD error;  // 0: deleted
    } steps[] = {
        {"No Such Driver", os::ERROR_UNKNOWN_PRINTER_DRIVER},
        {"Virtual Printer", os::ERROR_PRINTER_DRIVER_IN_USE},
        {"Acme Photo 1", os::ERROR_PRINTER_DRIVER_IN_USE},  // also used by a printer not listed yet
    };
    for (const Step& s : steps) {
        os::SetLastError(kSentinel);
        EXPECT_FALSE(os::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(s.driver))) << s.driver;
        EXPECT_EQ(os::GetLastError(), s.error) << s.driver;
    }
    os::HANDLE printer = nullptr;
    ASSERT_TRUE(os::OpenPrinterA(const_cast<char*>("Virtual Printer"), &printer, nullptr));
    ASSERT_TRUE(os::DeletePrinter(printer));
    ASSERT_TRUE(os::ClosePrinter(printer));
    EXPECT_TRUE(os::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>("VIRTUAL PRINTER")));
    EXPECT_EQ(machine->spooler.drivers, std::vector<std::string>{"Acme Photo 1"});
    os::SetLastError(kSentinel);
    EXPECT_FALSE(os::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>("Virtual Printer")));
    EXPECT_EQ(os::GetLastError(), os::ERROR_UNKNOWN_PRINTER_DRIVER);
}

// Reads a printer's record through GetPrinterA into `buffer`.
os::PRINTER_INFO_2* readPrinter(os::HANDLE printer, std::vector<os::BYTE>& buffer) {
    os::DWORD needed = 0;
    os::GetPrinterA(printer, 2, nullptr, 0, &needed);
    buffer.assign(needed, 0);
    if (!os::GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return nullptr;
    return reinterpret_cast<os::PRINTER_INFO_2*>(buffer.data());
}

TEST_F(Spooler, SetPrinterChangesPortAndAttributesAndKeepsOneDefaultPrinter) {
    os::HANDLE printer = nullptr;
    ASSERT_TRUE(os::OpenPrinterA(const_cast<char*>("Virtual Printer"), &printer, nullptr));
    std::vector<os::BYTE> buffer;
    os::PRINTER_INFO_2* record = readPrinter(printer, buffer);
    ASSERT_NE(record, nullptr);

    struct Case {
        const char* port;
        const char* driver;
        os::DWORD error;
    } refused[] = {{"USB002", "Virtual Printer", os::ERROR_UNKNOWN_PORT},
                   {"USB001", "No Such Driver", os::ERROR_UNKNOWN_PRINTER_DRIVER}};
    for (const Case& c : refused) {
        os::PRINTER_INFO_2 changed = *record;
        changed.pPortName = const_cast<char*>(c.port);
        changed.pDriverName = const_cast<char*>(c.driver);
        os::SetLastError(kSentinel);
        EXPECT_FALSE(os::SetPrinterA(printer, 2, reinterpret_cast<os::LPBYTE>(&changed), 0)) << c.port;
        EXPECT_EQ(os::GetLastError(), c.error) << c.port;
    }
    EXPECT_EQ(machine->spooler.findPrinter("Virtual Printer")->port, "FILE:");

    char usb[] = "usb001";
    record->pPortName = usb;
    record->Attributes |= os::PRINTER_ATTRIBUTE_DEFAULT;
    EXPECT_TRUE(os::SetPrinterA(printer, 2, reinterpret_cast<os::LPBYTE>(record), 0));
    EXPECT_EQ(machine->spooler.findPrinter("Virtual Printer")->port, "usb001");
    EXPECT_EQ(machine->spooler.defaultPrinter()->name, "Virtual Printer");
    EXPECT_EQ(machine->spooler.findPrinter("Acme Photo 1")->attributes, 0u);
    EXPECT_EQ(machine->save()["spooler"]["defaultPrinter"], "Virtual Printer");
    EXPECT_TRUE(os::ClosePrinter(printer));
}

TEST_F(Spooler, AddPrinterRefusesTakenNamesUnknownDriversAndPortsAndReturnsAHandle) {
    os::HANDLE printer = nullptr;
    ASSERT_TRUE(os::OpenPrinterA(const_cast<char*>("Acme Photo 1"), &printer, nullptr));
    std::vector<os::BYTE> buffer;
    os::PRINTER_INFO_2 model = *readPrinter(printer, buffer);
    ASSERT_TRUE(os::ClosePrinter(printer));

    struct Case {
        const char* name;
        const char* driver;
        const char* port;
        os::DWORD error;
    } refused[] = {
        {"ACME PHOTO 1", "Acme Photo 1", "USB001", os::ERROR_PRINTER_ALREADY_EXISTS},
        {"Late Printer", "Acme Photo 1", "USB001", os::ERROR_PRINTER_ALREADY_EXISTS},  // not listed yet
        {"Acme Photo 1(USB001)", "Acme Photo 2", "USB001", os::ERROR_UNKNOWN_PRINTER_DRIVER},
        {"Acme Photo 1(USB002)", "Acme Photo 1", "USB002", os::ERROR_UNKNOWN_PORT},
    };
    for (const Case& c : refused) {
        os::PRINTER_INFO_2 record = model;
        record.pPrinterName = const_cast<char*>(c.name);
        record.pDriverName = const_cast<char*>(c.driver);
        record.pPortName = const_cast<char*>(c.port);
        os::SetLastError(kSentinel);
        EXPECT_EQ(os::AddPrinterA(nullptr, 2, reinterpret_cast<os::LPBYTE>(&record)), nullptr) << c.name;
        EXPECT_EQ(os::GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(machine->spooler.printers.size(), 3u);

    os::PRINTER_INFO_2 record = model;
    record.pPrinterName = const_cast<char*>("Acme Photo 1(USB001)");
    record.pPortName = const_cast<char*>("USB001");
    os::HANDLE added = os::AddPrinterA(nullptr, 2, reinterpret_cast<os::LPBYTE>(&record));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(handles(), 1);
    os::PRINTER_INFO_2* read = readPrinter(added, buffer);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->pPrinterName, "Acme Photo 1(USB001)");
    EXPECT_STREQ(read->pPortName, "USB001");
    EXPECT_STREQ(read->pComment, "Front desk");  // the model's other settings come along
    // The model was the default printer; the copy took the attribute over.
    EXPECT_EQ(machine->spooler.defaultPrinter()->name, "Acme Photo 1(USB001)");
    EXPECT_TRUE(os::ClosePrinter(added));
    EXPECT_EQ(handles(), 0);
}

TEST_F(Spooler, EveryCallPassesTheFaultGate) {
    const char* names[] = {"EnumPrintersA", "EnumPortsA",          "EnumPrinterDriversA", "OpenPrinterA",
                           "GetPrinterA",   "SetPrinterA",         "AddPrinterA",         "DeletePrinter",
                           "ClosePrinter",  "DeletePrinterDriverA"};
    for (const char* name : names) machine->faults.rules.push_back({name, 1, -1, 1234});
    os::DWORD needed = 0, returned = 0;
    os::HANDLE printer = nullptr;
    os::PRINTER_INFO_2 record{};
    const std::vector<std::function<os::BOOL()>> calls = {
        [&] { return os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned); },
        [&] { return os::EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned); },
        [&] { return os::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned); },
        [&] { return os::OpenPrinterA(const_cast<char*>("Acme Photo 1"), &printer, nullptr); },
        [&] { return os::GetPrinterA(printer, 2, nullptr, 0, &needed); },
        [&] { return os::SetPrinterA(printer, 2, reinterpret_cast<os::LPBYTE>(&record), 0); },
        [&] { return os::AddPrinterA(nullptr, 2, reinterpret_cast<os::LPBYTE>(&record)) ? 1 : 0; },
        [&] { return os::DeletePrinter(printer); },
        [&] { return os::ClosePrinter(printer); },
        [&] { return os::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>("Virtual Printer")); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        os::SetLastError(kSentinel);
        EXPECT_FALSE(calls[i]()) << names[i];
        EXPECT_EQ(os::GetLastError(), 1234u) << names[i];
        EXPECT_EQ(machine->faults.count(names[i]), 1) << names[i];
    }
    EXPECT_EQ(machine->spooler.printers.size(), 3u);
    EXPECT_EQ(machine->spooler.drivers.size(), 2u);
}

TEST(SpoolerMachineFile, IsReadStrictly) {
    struct Case {
        const char* spooler;
        const char* where;
    } cases[] = {
        {R"({"printer": []})", "spooler.printer"},
        {R"({"ports": [{"name": "LPT1:", "kind": 3}]})", "spooler.ports[0].kind"},
        {R"({"ports": [{"name": 3}]})", "spooler.ports[0].name"},
        {R"({"drivers": "Acme"})", "spooler.drivers"},
        {R"({"printers": [{"name": "A", "attributes": "4"}]})", "spooler.printers[0].attributes"},
        {R"({"printers": [{"name": "A", "listedAfterMs": -1}]})", "spooler.printers[0].listedAfterMs"},
        {R"({"printers": [{"name": "A", "colour": true}]})", "spooler.printers[0].colour"},
        {R"({"printers": [{"name": "A"}, {"name": "a"}]})", "spooler.printers[1].name"},
        {R"({"printers": [{"name": "A"}], "defaultPrinter": "B"})", "spooler.defaultPrinter"},
        {R"({"printers": [{"name": "A", "attributes": 4}, {"name": "B"}], "defaultPrinter": "B"})",
         "spooler.defaultPrinter"},
        {R"({"printers": [{"name": "A", "attributes": 4}, {"name": "B", "attributes": 4}]})",
         "spooler.printers"},
    };
    for (const Case& c : cases) {
        sim::Machine m;
        try {
            m.load(sim::json::parse(std::string(R"({"spooler": )") + c.spooler + "}"), ".");
            ADD_FAILURE() << "accepted: " << c.spooler;
        } catch (const sim::MachineFileError& e) {
            EXPECT_EQ(e.where(), c.where) << c.spooler << ": " << e.what();
        }
    }
}

TEST(SpoolerMachineFile, IsWrittenBackInTheSameSchemaWithOnlyTheFieldsThatDifferFromTheDefaults) {
    auto m = testing_support::machineFrom(
        R"({"spooler": {"drivers": ["D"], "printers": [{"name": "P", "driver": "D", "port": "LPT1:",
            "attributes": 4, "location": "Hall", "listedAfterMs": 500, "untilTime": 60}]}})");
    sim::json written = m->save()["spooler"];
    EXPECT_EQ(written["defaultPrinter"], "P");
    EXPECT_EQ(written["ports"].size(), 7u);
    EXPECT_EQ(written["ports"][6], (sim::json{{"name", "FILE:"}, {"type", 3}}));
    EXPECT_EQ(written["printers"][0], (sim::json{{"name", "P"},
                                                 {"driver", "D"},
                                                 {"port", "LPT1:"},
                                                 {"attributes", 4},
                                                 {"listedAfterMs", 500},
                                                 {"location", "Hall"},
                                                 {"untilTime", 60}}));
    auto again = testing_support::machineFrom(sim::json{{"spooler", written}}.dump());
    EXPECT_EQ(again->save()["spooler"], written);
    EXPECT_EQ(testing_support::machineFrom("{}")->save()["spooler"]["defaultPrinter"], "");
}

}  // namespace
