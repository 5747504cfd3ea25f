// Bad input at the edges of the whole program: an enormous command line,
// printer names with every byte value, registry values of every type and
// size, a huge AutoRun.Inf, device ID replies of junk, and a crowded spooler.
// Each one gives its documented result or a clear refusal, and the run ends
// with nothing held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PrinterPortApp.h"
#include "tests/support/machine_fixture.h"

namespace {

using testing_support::machineFrom;
using testing_support::Run;
using testing_support::runOn;

const char* const kUsbPath = "\\\\.\\USB#VID_0A0B&PID_0001#5&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
// The registry key of that interface, as the USB printing support keeps it.
const char* const kUsbKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\DeviceClasses\\"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##.#USB#VID_0A0B&PID_0001#5&1#"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";
const char* const kMakerKey = "HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter";
const char* const kTooLongName = "Virtual printer name is too long (%d bytes, at most 259)";

// The program's whole run on a machine built beforehand.
Run runOnMachine(std::unique_ptr<sim::Machine> machine, const std::string& arguments) {
    Run run;
    run.machine = std::move(machine);
    run.outcome = sim::runProgram(*run.machine, arguments);
    return run;
}

std::string format(const char* pattern, int number) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, number);
    return text;
}

// `bytes` as the comma-separated pairs of a REGEDIT4 hex value.
std::string hexList(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ',';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// A hex list broken after every 25th byte with a trailing backslash, as the
// registry editor exports long values.
std::string wrapped(const std::string& list) {
    std::string out;
    int commas = 0;
    for (char c : list) {
        out += c;
        if (c == ',' && ++commas % 25 == 0) out += "\\\r\n  ";
    }
    return out;
}

// `length` bytes: `head` followed by `fill` repeated.
std::string padded(const std::string& head, std::size_t length, char fill = 'X') {
    std::string out = head.substr(0, length);
    out.resize(length, fill);
    return out;
}

// ---------------------------------------------------------------------------
// The command line

// A name far beyond the 259-byte name buffer is refused by every removal
// (the run's two and the retry dialog's), with nothing deleted and nothing held.
TEST(CommandLineEdges, A100000CharacterCommandLineIsRefusedAsAName) {
    const std::string name(100000, 'P');
    const std::string machine = R"({"spooler": {"drivers": ["Office Laser"], "printers": [
        {"name": "Office Laser", "driver": "Office Laser", "port": "LPT1:"}]}})";
    struct Case {
        const char* form;
        std::string arguments;
    } cases[] = {
        {"bare", name},
        {"in quotes", "\"" + name + "\""},
        {"in quotes, then more text", "\"" + name + "\" /s " + name},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        auto run = runOn(machine, c.arguments);
        EXPECT_EQ(run.trace().front(), "Command line =>> " + c.arguments);
        EXPECT_EQ(run.count(format(kTooLongName, 100000)), 3);
        EXPECT_EQ(run.count("Command line => " + c.arguments), 3);
        // No look-up, so no pause: the dialog ends at its first retry.
        EXPECT_EQ(run.find("\nMyFindAndWaitPritner is Started "), -1);
        EXPECT_EQ(run.machine->faults.count("OpenPrinterA"), 0);
        EXPECT_TRUE(run.machine->records.dialogRan);
        EXPECT_EQ(run.machine->nowMs, 60000u);
        EXPECT_EQ(run.machine->save()["spooler"], run.outcome.before["spooler"]);
        EXPECT_TRUE(run.machine->records.stalled.empty());
        EXPECT_TRUE(run.leakFree()) << run.leaks();
    }
}

// ---------------------------------------------------------------------------
// Printer names with every byte value

struct NameRun {
    std::string name;       // the virtual printer's name in the spooler
    std::string arguments;  // the command line after the program's name
    bool deleted;           // whether that printer and its driver go
};

// A machine of the code page with the virtual printer `name` and two more
// printers whose names differ from it by one byte; the ordinary printer
// uses the other driver.
std::unique_ptr<sim::Machine> machineWithNames(int codePage, const std::vector<std::string>& names) {
    auto m = machineFrom(R"({"codePage": )" + std::to_string(codePage) + R"(, "usb": []})");
    m->spooler.drivers.push_back("Office Laser");
    for (const std::string& name : names) {
        if (m->spooler.findPrinter(name)) continue;
        if (!m->spooler.hasDriver(name)) m->spooler.drivers.push_back(name);
        sim::Printer p;
        p.name = name;
        p.driver = name;
        p.port = "FILE:";
        m->spooler.addPrinter(p);
    }
    sim::Printer office;
    office.name = "Office Laser";
    office.driver = "Office Laser";
    office.port = "LPT1:";
    m->spooler.addPrinter(office);
    return m;
}

void expectNameRun(int codePage, const NameRun& c) {
    // Printers whose names differ by a byte: never touched.
    const std::string nearBy[] = {c.name + "x", "x" + c.name};
    auto run = runOnMachine(machineWithNames(codePage, {c.name, nearBy[0], nearBy[1]}), c.arguments);
    sim::Spooler& after = run.machine->spooler;
    ASSERT_EQ(after.findPrinter(c.name) == nullptr, c.deleted);
    EXPECT_EQ(!after.hasDriver(c.name), c.deleted);
    for (const std::string& other : nearBy) {
        EXPECT_NE(after.findPrinter(other), nullptr);
        EXPECT_TRUE(after.hasDriver(other));
    }
    EXPECT_NE(after.findPrinter("Office Laser"), nullptr);
    EXPECT_EQ(after.printers.size(), c.deleted ? 3u : 4u);
    EXPECT_EQ(run.machine->records.dialogRan, !c.deleted);
    EXPECT_TRUE(run.machine->records.stalled.empty());
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

// One run per byte value, bare and in quotes, in a single-byte and a
// double-byte code page: the byte sits inside the name, so that the
// framework's skipping of leading blanks does not apply. In code page 932
// a lead byte takes the next character with it, which changes nothing here.
TEST(PrinterNameEdges, EveryByteValueInsideANameOnTheCommandLine) {
    for (int codePage : {1252, 932}) {
        for (int value = 1; value <= 255; ++value) {
            const std::string name = std::string("Virt") + static_cast<char>(value) + "ual";
            SCOPED_TRACE("code page " + std::to_string(codePage) + ", byte " + std::to_string(value));
            // A quote in the name ends it early: the name left is "Virt" (in
            // quotes) or none at all (bare, one quote has no partner), and
            // neither is the printer's.
            const bool quote = value == '"';
            expectNameRun(codePage, {name, name, !quote});
            expectNameRun(codePage, {name, "\"" + name + "\"", !quote});
        }
    }
}

// Names that hold every byte value but the quote at once, 254 bytes.
TEST(PrinterNameEdges, NamesHoldingEveryByteValueAtOnce) {
    std::string ascending;  // 0x21, 0x23 ... 0xFF, then 0x01 ... 0x20
    for (int value = 0x21; value <= 0xFF; ++value)
        if (value != '"') ascending += static_cast<char>(value);
    for (int value = 0x01; value <= 0x20; ++value) ascending += static_cast<char>(value);
    const std::string descending(ascending.rbegin(), ascending.rend());
    ASSERT_EQ(ascending.size(), 254u);
    for (int codePage : {1252, 932}) {
        SCOPED_TRACE(codePage);
        expectNameRun(codePage, {ascending, ascending, true});
        expectNameRun(codePage, {ascending, "\"" + ascending + "\"", true});
        // Bare, its leading bytes up to 0x20 are taken for the blanks after
        // the program's name and skipped: the rest names no printer.
        expectNameRun(codePage, {descending, descending, false});
        expectNameRun(codePage, {descending, "\"" + descending + "\"", true});
    }
}

// ---------------------------------------------------------------------------
// Registry values of every type and size

// The USB scan and the maker's registry lookup, as the run sequence makes them.
struct Lookup : Run {
    os::BOOL found = 0;
    std::string portName, defaultDriver;
    int driverCount = 0;
    long calls(const char* name) const { return machine->faults.count(name); }
};

Lookup lookUp(const std::string& machineJson) {
    Lookup l;
    l.machine = machineFrom(machineJson);
    sim::Session session(*l.machine);
    CPrinterPortApp app;
    EXPECT_TRUE(app.CheckMSUsb());
    l.found = app.MyReadDeviceID();
    l.portName = app.m_strPortName.str();
    l.defaultDriver = app.m_strDefaultDriver.str();
    l.driverCount = app.m_nDriverCount;
    return l;
}

// A machine with the Acme Photo 1 on USB001 and the maker's key for it with
// these value lines.
std::string makerMachine(const std::string& valueLines) {
    sim::json file = {
        {"usb", {{{"path", kUsbPath}, {"deviceId", "MFG:ACME;MDL:Photo 1;"}, {"portNumber", 1}}}},
        {"registry", "REGEDIT4\n\n[" + std::string(kMakerKey) + "\\Acme Photo 1]\n" + valueLines},
    };
    return file.dump();
}

struct ValueCase {
    const char* what;
    std::string regedit;  // the data after "name"=
    bool read;            // the value fits the 260-byte buffer
    std::string text;     // the text read (up to its first zero or 260 bytes)
};

// Each type and size of value, as the registry editor writes them.
std::vector<ValueCase> valueCases(const std::string& text) {
    const std::string z(1, '\0');
    return {
        {"REG_SZ", "\"" + text + "\"", true, text},
        {"REG_EXPAND_SZ", "hex(2):" + hexList(text + z), true, text},
        {"REG_BINARY", "hex:" + hexList(text), true, text},
        {"REG_MULTI_SZ", "hex(7):" + hexList(text + z + "0" + z + z), true, text},
        {"REG_NONE", "hex(0):" + hexList(text), true, text},
        {"REG_DWORD 0x41414141", "dword:41414141", true, "AAAA"},
        {"0 bytes", "hex:", true, ""},
        {"259 bytes", "hex:" + hexList(padded(text, 259, ' ')), true, padded(text, 259, ' ')},
        {"260 bytes, no zero", "hex:" + hexList(padded(text, 260, ' ')), true, padded(text, 260, ' ')},
        {"260 bytes, a text of 259", "\"" + padded(text, 259, ' ') + "\"", true, padded(text, 259, ' ')},
        {"261 bytes", "hex:" + hexList(padded(text, 261, ' ')), false, ""},
        {"10 000 bytes", "hex:" + hexList(padded(text, 10000, ' ')), false, ""},
        {"1 000 000 bytes in wrapped lines", "hex:" + wrapped(hexList(padded(text, 1000000, ' '))), false, ""},
    };
}

// "DeviceID": the text read is traced and matched (more than 24 characters:
// the device key anywhere in it); one that does not fit is passed over
// without a line, like a missing one.
TEST(RegistryValueEdges, DeviceIdOfEveryTypeAndSize) {
    for (const ValueCase& c : valueCases("ACMEPHOTO_1XXXX")) {
        SCOPED_TRACE(c.what);
        auto l = lookUp(makerMachine("\"DeviceID\"=" + c.regedit + "\n\"Default\"=\"1\"\n"));
        std::string upper = c.text;
        for (char& ch : upper)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 0x20);
        const bool fits = upper.size() > 24 ? upper.find("ACMEPHOTO_1") != std::string::npos
                                            : upper.size() >= 4 && upper.substr(0, upper.size() - 4) == "ACMEPHOTO_1";
        EXPECT_EQ(l.found != 0, fits);
        EXPECT_EQ(l.driverCount, fits ? 1 : 0);
        EXPECT_EQ(l.defaultDriver, fits ? "ACME PHOTO 1" : "");
        EXPECT_EQ(l.count("DeviceID registry value read ==> " + c.text), c.read ? 1 : 0);
        EXPECT_EQ(l.count("[" + upper + "] Device Id Length ==> [" + std::to_string(c.text.size()) + "]"),
                  c.read ? 1 : 0);
        EXPECT_EQ(l.count("Read Driver Name => \"Acme Photo 1\""), fits ? 1 : 0);
        EXPECT_EQ(l.trace().back(), "[MyReadDeviceID] End MyReadDeviceID\n\n");
        EXPECT_TRUE(l.reports().empty());
        // The maker's key and the driver's key were opened and are closed again.
        EXPECT_EQ(l.calls("RegOpenKeyExA"), 2);
        EXPECT_TRUE(l.leakFree()) << l.leaks();
    }
}

// "Default": the driver is the default when the text read is the number 1;
// one that does not fit in the buffer leaves the driver listed, not the default.
TEST(RegistryValueEdges, DefaultOfEveryTypeAndSize) {
    for (const ValueCase& c : valueCases("1")) {
        SCOPED_TRACE(c.what);
        auto l = lookUp(makerMachine("\"DeviceID\"=\"ACMEPHOTO_1XXXX\"\n\"Default\"=" + c.regedit + "\n"));
        const bool isDefault = c.read && c.text.size() > 0 && c.text[0] == '1';
        EXPECT_TRUE(l.found);
        EXPECT_EQ(l.driverCount, 1);
        EXPECT_EQ(l.defaultDriver, isDefault ? "ACME PHOTO 1" : "");
        EXPECT_EQ(l.trace().back(), "[MyReadDeviceID] End MyReadDeviceID\n\n");
        EXPECT_EQ(l.calls("RegQueryValueExA"), 3);  // the port number, "DeviceID", "Default"
        EXPECT_TRUE(l.leakFree()) << l.leaks();
    }
}

// "Port Number" is read into a 4-byte number whatever its type: a shorter
// value fills its low bytes, a longer one is a failed read and no port.
TEST(RegistryValueEdges, PortNumberOfEveryTypeAndSize) {
    const std::string z(1, '\0');
    struct Case {
        const char* what;
        sim::json usbFields;     // added to the interface's entry (null: nothing)
        std::string regedit;     // or the value as the registry editor writes it
        const char* portName;    // empty: the read failed
    } cases[] = {
        {"REG_DWORD 7", {{"portNumber", 7}}, "", "USB007"},
        {"REG_DWORD 0", {{"portNumber", 0}}, "", "USB000"},
        {"REG_SZ \"7\"", {}, "\"7\"", "USB055"},  // '7' and its zero: 0x37
        {"REG_EXPAND_SZ \"7\"", {}, "hex(2):" + hexList("7" + z), "USB055"},
        {"REG_MULTI_SZ \"7\"", {}, "hex(7):" + hexList("7" + z + z), "USB055"},
        {"REG_NONE 7", {}, "hex(0):07,00,00,00", "USB007"},
        {"REG_SZ of 4 bytes", {}, "\"123\"", "USB3355185"},  // "123" and its zero: 0x00333231
        {"REG_BINARY of 0 bytes", {{"portNumberHex", ""}}, "", "USB000"},
        {"REG_BINARY of 4 bytes", {{"portNumberHex", "02 01 00 00"}}, "", "USB258"},
        {"REG_BINARY of 259 bytes", {{"portNumberHex", std::string(259 * 2, '1')}}, "", ""},
        {"REG_BINARY of 260 bytes", {{"portNumberHex", std::string(260 * 2, '1')}}, "", ""},
        {"REG_BINARY of 10 000 bytes", {{"portNumberHex", std::string(10000 * 2, '1')}}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::json entry = {{"path", kUsbPath}, {"deviceId", "MFG:ACME;MDL:Photo 1;"}};
        if (!c.usbFields.is_null()) entry.update(c.usbFields);
        sim::json file = {{"usb", {entry}}};
        if (!c.regedit.empty())
            file["registry"] = "REGEDIT4\n\n[" + std::string(kUsbKey) + "]\n\"Port Number\"=" + c.regedit + "\n";
        auto l = lookUp(file.dump());
        EXPECT_EQ(l.portName, c.portName);
        if (*c.portName) {
            EXPECT_EQ(l.count(std::string("[SysUtil] Port Name is ") + c.portName), 1);
            EXPECT_TRUE(l.reports().empty());
        } else {
            EXPECT_TRUE(l.inOrder({"[SysUtil] Get Port Name Fail!",
                                   "[SysUtil-RegQueryValueEx]More data is available.\r\n\n",
                                   "[CheckMSUsb] End Get Device ID from MS USB Port\n\n"}));
        }
        EXPECT_EQ(l.calls("RegCloseKey"), 1);  // the interface's key; no maker key
        EXPECT_TRUE(l.leakFree()) << l.leaks();
    }
}

// ---------------------------------------------------------------------------
// AutoRun.Inf of a megabyte

// A CD whose AutoRun.Inf is padded to 1 MB with long lines; its MFG_0 and
// MDL_0 are longer than the 259 characters that the reader gives, and the
// device is listed as pair 1.
std::string hugeAutoRun(const std::string& open) {
    std::string text = "; " + std::string(300000, '-') + "\r\n";
    text += "[AUTORUN]\r\nICON=" + std::string(100000, 'I') + "\r\nOPEN=" + open + "\r\n";
    text += "[INFOMATION]\r\nMFG_0=" + std::string(300, 'M') + "\r\nMDL_0=" + std::string(5000, 'D') + "\r\n";
    text += "MFG_1=Acme\r\nMDL_1=Photo 1\r\n";
    while (text.size() < 1024 * 1024) text += "JUNK_" + std::to_string(text.size()) + "=" + std::string(4000, 'J') + "\r\n";
    return text;
}

TEST(AutoRunEdges, AMegabyteAutoRunInfWithLongLines) {
    const std::string longOpen = std::string(300, 'S') + ".EXE";
    struct Case {
        const char* what;
        std::string open;
        std::string commandLine;  // as traced
        bool started;
    } cases[] = {
        {"OPEN cut by the reader", longOpen, "D:\\" + longOpen.substr(0, 259), false},
        {"OPEN of a usual length", "SETUP.EXE", "D:\\SETUP.EXE", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::json drives = {{"C", {{"type", "fixed"}}},
                            {"D", {{"type", "cdrom"},
                                   {"files", {{"AutoRun.Inf", hugeAutoRun(c.open)}, {"SETUP.EXE", ""},
                                              {longOpen, ""}}}}}};
        sim::json file = {{"usb", {{{"path", kUsbPath}, {"deviceId", "MFG:Acme;MDL:Photo 1;"}, {"portNumber", 1}}}},
                          {"drives", drives}};
        auto run = runOn(file.dump(), "Virtual Printer");
        EXPECT_TRUE(run.inOrder({
            "Data file read MFG => \"" + std::string(259, 'M') + "\"",
            "Data file read MDL => \"" + std::string(259, 'D') + "\"",
            "Data file read MFG => \"Acme\"",
            "\n\nI find CDSetup file\n\n",
            "\nRun command line => \"" + c.commandLine + "\"\n",
            "[MyRunSetupexe]End MyRunSetupexe\n\n",
        }));
        EXPECT_EQ(run.count("Command line is too long, not started (262 characters, at most 259)"),
                  c.started ? 0 : 1);
        ASSERT_EQ(run.machine->records.processes.size(), c.started ? 1u : 0u);
        if (c.started) {
            EXPECT_EQ(run.machine->records.processes[0].commandLine, c.commandLine);
        }
        EXPECT_TRUE(run.leakFree()) << run.leaks();
    }
}

// ---------------------------------------------------------------------------
// A device ID reply of junk

// 260 bytes without a zero, whatever they hold: the text read is the first
// 259, the fields come from it, and the run goes on as for any printer.
TEST(DeviceIdEdges, A260ByteReplyOfJunkWithoutAZero) {
    std::string junk;
    for (int i = 0; junk.size() < 260; ++i) junk += static_cast<char>(1 + (i * 97) % 255);
    const std::string withFields = padded("MFG:Acme;MDL:Photo 1;" + junk, 260);
    struct Case {
        const char* what;
        std::string reply;
        const char* deviceKey;  // empty: no MFG and MDL, so no lookup
    } cases[] = {
        {"the fields, then junk", withFields, "ACMEPHOTO_1"},
        {"nothing but junk", junk.substr(0, 260), ""},
    };
    for (int codePage : {1252, 932}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", code page " + std::to_string(codePage));
            ASSERT_EQ(c.reply.size(), 260u);
            ASSERT_EQ(c.reply.find('\0'), std::string::npos);
            std::string hex;
            for (unsigned char b : c.reply) hex += hexList(std::string(1, static_cast<char>(b))) + " ";
            sim::json file = {{"codePage", codePage},
                              {"usb", {{{"path", kUsbPath}, {"replyHex", hex}, {"portNumber", 1}}}}};
            auto run = runOn(file.dump(), "Virtual Printer");
            EXPECT_EQ(run.count("Device ID = (" + c.reply.substr(0, 259) + ") [260]\n"), 1);
            if (*c.deviceKey) {
                EXPECT_EQ(run.count(std::string("MFGMDL Value ==> \"") + c.deviceKey + "\"\n"), 1);
                EXPECT_EQ(run.count("Open Registry Key => Software\\ACME\\ZervPrinter"), 1);
            } else {
                EXPECT_EQ(run.count("\t\t\tNo device id from registry value"), 1);
            }
            EXPECT_EQ(run.count("[SysUtil] Port Name is USB001"), 1);
            EXPECT_TRUE(run.machine->records.stalled.empty());
            EXPECT_TRUE(run.leakFree()) << run.leaks();
        }
    }
}

// ---------------------------------------------------------------------------
// A crowded spooler

// 10 000 printers, 2 000 of them of the maker's driver on LPT ports: each of
// those moves to the USB port, the others stay where they are.
TEST(SpoolerEdges, TenThousandPrintersTwoThousandOfThemMove) {
    constexpr int kPrinters = 10000;
    sim::json printers = sim::json::array();
    const char* otherPorts[] = {"LPT1:", "LPT2:", "COM1:", "FILE:"};
    for (int i = 0; i < kPrinters - 1; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Printer %05d", i);
        const bool acme = i % 5 == 0;
        printers.push_back({{"name", name},
                            {"driver", acme ? "Acme Photo 1" : "Office Laser"},
                            {"port", acme ? (i % 2 ? "LPT1:" : "LPT2:") : otherPorts[i % 4]}});
    }
    printers.push_back({{"name", "Virtual Printer"}, {"driver", "Virtual Printer"}, {"port", "FILE:"}});
    sim::json file = {
        {"usb", {{{"path", kUsbPath}, {"deviceId", "MFG:ACME;MDL:Photo 1;"}, {"portNumber", 1}}}},
        {"registry", "REGEDIT4\n\n[" + std::string(kMakerKey) +
                         "\\Acme Photo 1]\n\"DeviceID\"=\"ACMEPHOTO_1XXXX\"\n\"Default\"=\"1\"\n"},
        {"spooler", {{"drivers", {"Office Laser", "Acme Photo 1", "Virtual Printer"}}, {"printers", printers}}},
    };
    auto run = runOn(file.dump(), "Virtual Printer");

    const auto& after = run.machine->spooler.printers;
    ASSERT_EQ(after.size(), static_cast<std::size_t>(kPrinters - 1));
    int moved = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool acme = i % 5 == 0;
        EXPECT_EQ(after[i].port, acme ? "USB001" : printers[i]["port"].get<std::string>()) << after[i].name;
        moved += after[i].port == "USB001";
    }
    EXPECT_EQ(moved, 2000);
    EXPECT_EQ(run.count("Success Virtual Printer pritner driver is deleted"), 1);
    // Each moved printer became the default in turn: the last one stays it.
    ASSERT_NE(run.machine->spooler.defaultPrinter(), nullptr);
    EXPECT_EQ(run.machine->spooler.defaultPrinter()->name, "Printer 09995");
    EXPECT_EQ(run.machine->faults.count("AddPrinterA"), 0);
    EXPECT_FALSE(run.machine->records.dialogRan);
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

}  // namespace
