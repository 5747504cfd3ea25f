// Removal of the virtual printer and its driver by the application object:
// the name from the command line, the look-up, the retries with their
// pauses, reports and trace lines.
#include <gtest/gtest.h>

#include "app/PrinterPortApp.h"
#include "removal/PrinterName.h"
#include "tests/support/machine_fixture.h"

namespace {

using testing_support::machineFrom;

const char* const kStart = "\n[MyDeleteVirtualPrinter] Start MyDeleteVirtualPritner";
const char* const kEnd = "[MyDeleteVirtualPrinter] End MyDeleteVirtualPrinter\n\n";

// A machine with the virtual printer (listed from `listedAfterMs`) and an ordinary one.
std::string machineWith(int listedAfterMs, const std::string& faults = "[]") {
    return R"({"spooler": {"drivers": ["Office Laser", "Virtual Printer"], "printers": [
        {"name": "Office Laser", "driver": "Office Laser", "port": "LPT1:"},
        {"name": "Virtual Printer", "driver": "Virtual Printer", "port": "FILE:", "listedAfterMs": )" +
           std::to_string(listedAfterMs) + R"(}]}, "faults": )" + faults + "}";
}

// One or more calls of MyDeleteVirtualPrinter on a machine, as the run sequence makes them.
struct Removal {
    std::unique_ptr<sim::Machine> machine;
    std::vector<os::BOOL> results;

    const std::vector<std::string>& trace() const { return machine->records.trace; }
    int count(const std::string& line) const {
        return static_cast<int>(std::count(trace().begin(), trace().end(), line));
    }
    long calls(const char* name) const { return machine->faults.count(name); }
    bool printerLeft() const { return machine->spooler.findPrinter("Virtual Printer") != nullptr; }
    bool driverLeft() const { return machine->spooler.hasDriver("Virtual Printer"); }
    int reportsLabelled(const std::string& label) const {
        int n = 0;
        for (const std::string& r : machine->records.reports) n += r.rfind("[" + label + "]", 0) == 0;
        return n;
    }
};

Removal removeOn(std::unique_ptr<sim::Machine> machine, const std::string& commandText, int times = 1) {
    Removal run;
    run.machine = std::move(machine);
    {
        sim::Session session(*run.machine);
        CPrinterPortApp app;
        run.machine->records.trace.clear();
        run.machine->faults.recording = true;
        app.m_lpCmdLine = commandText.c_str();
        for (int i = 0; i < times; ++i) run.results.push_back(app.MyDeleteVirtualPrinter());
    }
    return run;
}
Removal removeOn(const std::string& json, const std::string& commandText, int times = 1) {
    return removeOn(machineFrom(json), commandText, times);
}

// The first failed attempt of `call` followed by its pause (Sleep) and its
// report (FormatMessageA), in the order they came.
std::vector<std::string> firstFailure(const sim::Machine& m, const std::string& call) {
    std::vector<std::string> out;
    for (const std::string& name : m.faults.log)
        if ((out.empty() && name == call) || (!out.empty() && (name == "Sleep" || name == "FormatMessageA")))
            if (out.size() < 3) out.push_back(name);
    return out;
}

void expectNothingHeld(const sim::Machine& m) {
    for (const auto& kind : m.held.all()) EXPECT_EQ(kind.second, 0) << kind.first;
}

TEST(PrinterName, ComesFromTheCommandLineBareOrBetweenTheFirstTwoQuotes) {
    struct Case {
        const char* text;
        const char* name;
    } cases[] = {
        {"Virtual Printer", "Virtual Printer"},
        {" Virtual Printer  ", " Virtual Printer  "},
        {"\"Virtual Printer\"", "Virtual Printer"},
        {"/s \"Virtual Printer\" /q \"other\"", "Virtual Printer"},
        {"\"Virtual Printer", ""},
        {"Virtual \"\" Printer", ""},
        {"\"", ""},
    };
    auto m = machineFrom("{}");
    sim::Session session(*m);
    for (const Case& c : cases) EXPECT_EQ(PrinterNameFromCommandLine(c.text).str(), c.name) << c.text;
}

// In code page 932, 0x81 leads a double-byte character whose second byte here
// is 0x22, the quote; a byte-wise search would end the name inside it.
TEST(PrinterName, ASecondByteThatLooksLikeAQuoteIsPartOfItsCharacter) {
    const std::string text = "\"A\x81\"B\" rest";
    auto sjis = machineFrom(R"({"codePage": 932})");
    {
        sim::Session session(*sjis);
        EXPECT_EQ(PrinterNameFromCommandLine(text.c_str()).str(), "A\x81\"B");
    }
    auto western = machineFrom(R"({"codePage": 1252})");
    sim::Session session(*western);
    EXPECT_EQ(PrinterNameFromCommandLine(text.c_str()).str(), "A\x81");
}

TEST(VirtualPrinterRemoval, ADoubleBytePrinterNameIsDeletedWhole) {
    const std::string name = "A\x81\"B";
    auto m = machineFrom(R"({"codePage": 932})");
    m->spooler.drivers.push_back(name);
    sim::Printer p;
    p.name = name;
    p.driver = name;
    p.port = "FILE:";
    m->spooler.addPrinter(p);
    auto run = removeOn(std::move(m), "\"" + name + "\"");
    EXPECT_EQ(run.results[0], 1);
    EXPECT_TRUE(run.machine->spooler.printers.empty());
    EXPECT_TRUE(run.machine->spooler.drivers.empty());
}

TEST(VirtualPrinterRemoval, DeletesThePrinterAndItsDriverWithTheseLines) {
    auto run = removeOn(machineWith(0), "\"virtual printer\" /silent");
    ASSERT_EQ(run.results[0], 1);
    EXPECT_FALSE(run.printerLeft());
    EXPECT_FALSE(run.driverLeft());
    EXPECT_TRUE(run.machine->spooler.findPrinter("Office Laser"));
    EXPECT_EQ(run.machine->nowMs, 0u);
    const std::vector<std::string> expected = {
        kStart,
        "Command line => \"virtual printer\" /silent",
        "Virtual pritner name => virtual printer",
        "\nMyFindAndWaitPritner is Started ",
        "Find priner name is VIRTUAL PRINTER",
        "Read printer name form information structure is => Office Laser",
        "Compare \"OFFICE LASER\" to \"VIRTUAL PRINTER\"",
        "Read printer name form information structure is => Virtual Printer",
        "Compare \"VIRTUAL PRINTER\" to \"VIRTUAL PRINTER\"",
        "Find VIRTUAL PRINTER pritner",
        "All driver information is compared",
        "[MyFindAndWaitPrinter] End MyFindAndWaitPritner\n\n",
        "Open virtual printer Printer Success",
        "Delete virtual printer Printer Success",
        "Delete virtual printer Printer driver Success",
        "Success virtual printer pritner driver is deleted",
        kEnd,
    };
    EXPECT_EQ(run.trace(), expected);
    const auto& log = run.machine->faults.log;
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin(), log.begin() + 8),
        (std::vector<std::string>{"EnumPrintersA", "GlobalAlloc", "EnumPrintersA", "GlobalFree",
                                  "OpenPrinterA", "DeletePrinter", "ClosePrinter", "DeletePrinterDriverA"}));
    expectNothingHeld(*run.machine);
}

TEST(VirtualPrinterRemoval, FindsOnlyTheWholeNameInAnyLetterCase) {
    struct Case {
        const char* commandText;
        bool found;
    } cases[] = {{"Virtual Printer", true},
                 {"VIRTUAL PRINTER", true},
                 {"Virtual", false},
                 {"Printer", false},
                 {"Virtual Printer 2", false},
                 {"\"Virtual Printer", false},
                 {"\"\"Virtual Printer", false}};
    for (const Case& c : cases) {
        auto run = removeOn(machineWith(0), c.commandText);
        EXPECT_EQ(run.results[0], c.found ? 1 : 0) << c.commandText;
        if (c.found) continue;
        // Never listed: 11 look-ups with a half-second pause after each, and no printer is opened.
        EXPECT_EQ(run.count("\nMyFindAndWaitPritner is Started "), 11) << c.commandText;
        EXPECT_EQ(run.count("Wait printer is enumerated"), 11) << c.commandText;
        EXPECT_EQ(run.count("Wait 0.5 second"), 11) << c.commandText;
        EXPECT_EQ(run.machine->nowMs, 5500u) << c.commandText;
        EXPECT_EQ(run.calls("OpenPrinterA"), 0) << c.commandText;
        EXPECT_EQ(run.count(kEnd), 0) << c.commandText;
        EXPECT_TRUE(run.printerLeft()) << c.commandText;
        expectNothingHeld(*run.machine);
    }
}

TEST(VirtualPrinterRemoval, WaitsForAPrinterThatIsListedAfterAFewSeconds) {
    struct Case {
        int listedAfterMs;
        os::BOOL result;
        std::uint64_t pausedMs;
    } cases[] = {{1200, 1, 1500}, {5000, 1, 5000}, {5001, 0, 5500}};
    for (const Case& c : cases) {
        auto run = removeOn(machineWith(c.listedAfterMs), "Virtual Printer");
        EXPECT_EQ(run.results[0], c.result) << c.listedAfterMs;
        EXPECT_EQ(run.machine->nowMs, c.pausedMs) << c.listedAfterMs;
        EXPECT_EQ(run.count("Wait 0.5 second"), static_cast<int>(c.pausedMs / 500)) << c.listedAfterMs;
        EXPECT_EQ(run.printerLeft(), c.result == 0) << c.listedAfterMs;
    }
}

TEST(VirtualPrinterRemoval, ALookUpWithNothingListedEndsAfterTheSizeQuery) {
    auto run = removeOn(R"({"spooler": {"drivers": ["Virtual Printer"]}})", "Virtual Printer");
    EXPECT_EQ(run.results[0], 0);
    EXPECT_EQ(run.count("Get structure size is failed"), 11);
    EXPECT_EQ(run.calls("EnumPrintersA"), 11);
    EXPECT_EQ(run.calls("GlobalAlloc"), 0);
    EXPECT_TRUE(run.driverLeft());
}

TEST(VirtualPrinterRemoval, AFailedLookUpIsRetriedAfterItsPause) {
    struct Case {
        const char* fault;
        std::vector<std::string> lines;
        int reports;
    } cases[] = {
        {R"([{"call": "EnumPrintersA", "nth": 2, "error": 5}])",
         {"\nMyFindAndWaitPritner is Started ", "Fail EnumPrinterDrivers",
          "[MyComparePrinterDriverInfo]Access is denied.\r\n\n", "Wait printer is enumerated",
          "Wait 0.5 second", "\nMyFindAndWaitPritner is Started ", "Find VIRTUAL PRINTER pritner"},
         1},
        {R"([{"call": "GlobalAlloc", "error": 8}])",
         {"\nMyFindAndWaitPritner is Started ", "Alloc memory is failed", "Wait printer is enumerated",
          "Wait 0.5 second", "Find VIRTUAL PRINTER pritner"},
         0},
    };
    for (const Case& c : cases) {
        auto run = removeOn(machineWith(0, c.fault), "Virtual Printer");
        EXPECT_EQ(run.results[0], 1) << c.fault;
        EXPECT_EQ(run.machine->nowMs, 500u) << c.fault;
        auto at = run.trace().begin();
        for (const std::string& line : c.lines) {
            at = std::find(at, run.trace().end(), line);
            ASSERT_NE(at, run.trace().end()) << c.fault << ": " << line;
        }
        EXPECT_EQ(run.reportsLabelled("MyComparePrinterDriverInfo"), c.reports) << c.fault;
        expectNothingHeld(*run.machine);
    }
}

// Each spooler call failing every time, and failing all but its last allowed attempt.
TEST(VirtualPrinterRemoval, EverySpoolerCallIsTriedTwelveTimesWithItsReportAndPause) {
    struct Case {
        const char* call;
        const char* label;
        const char* failLine;
        long times;
        os::BOOL result;
        bool printerLeft, driverLeft;
        std::vector<std::string> orderAfterFailure;  // a failed attempt, then its pause and report in order
    } cases[] = {
        {"OpenPrinterA",
         "OpenPrinter",
         "Open Virtual Printer Printer Fail",
         -1,
         0,
         true,
         true,
         {"OpenPrinterA", "Sleep", "FormatMessageA"}},
        {"DeletePrinter",
         "DeletePrinter",
         "Delete Virtual Printer printer fail",
         -1,
         0,
         true,
         true,
         {"DeletePrinter", "Sleep", "FormatMessageA"}},
        {"DeletePrinterDriverA",
         "DeletePrinterDriver",
         "Delete Virtual Printer printer driver fail",
         -1,
         0,
         false,
         true,
         {"DeletePrinterDriverA", "FormatMessageA", "Sleep"}},
        {"OpenPrinterA", "OpenPrinter", "Open Virtual Printer Printer Fail", 11, 1, false, false, {}},
        {"DeletePrinter", "DeletePrinter", "Delete Virtual Printer printer fail", 11, 1, false, false, {}},
        {"DeletePrinterDriverA",
         "DeletePrinterDriver",
         "Delete Virtual Printer printer driver fail",
         11,
         1,
         false,
         false,
         {}},
    };
    for (const Case& c : cases) {
        std::string fault = std::string(R"([{"call": ")") + c.call + R"(", "nth": 1, "times": )" +
                            std::to_string(c.times) + "}]";
        auto run = removeOn(machineWith(0, fault), "Virtual Printer");
        const long failures = c.times < 0 ? 12 : c.times;
        SCOPED_TRACE(fault);
        EXPECT_EQ(run.results[0], c.result);
        EXPECT_EQ(run.calls(c.call), 12);
        EXPECT_EQ(run.reportsLabelled(c.label), failures);
        EXPECT_EQ(run.count(c.failLine), failures);
        EXPECT_EQ(run.machine->nowMs, static_cast<std::uint64_t>(failures) * 300);
        EXPECT_EQ(run.count(kEnd), c.result);
        EXPECT_EQ(run.printerLeft(), c.printerLeft);
        EXPECT_EQ(run.driverLeft(), c.driverLeft);
        if (c.result == 0 && std::string(c.call) == "OpenPrinterA") {
            EXPECT_EQ(run.calls("DeletePrinter"), 0);
        }
        if (c.result == 0 && std::string(c.call) != "DeletePrinterDriverA") {
            EXPECT_EQ(run.calls("DeletePrinterDriverA"), 0);
        }
        if (!c.orderAfterFailure.empty()) {
            EXPECT_EQ(firstFailure(*run.machine, c.call), c.orderAfterFailure);
        }
        expectNothingHeld(*run.machine);
    }
}

TEST(VirtualPrinterRemoval, AllAttemptsBarTheLastCostAtMostFifteenPointTwoSeconds) {
    const char* faults = R"([{"call": "OpenPrinterA", "times": 11}, {"call": "DeletePrinter", "times": 11},
                             {"call": "DeletePrinterDriverA", "times": -1}])";
    auto run = removeOn(machineWith(5000, faults), "Virtual Printer");
    EXPECT_EQ(run.results[0], 0);
    EXPECT_EQ(run.machine->nowMs, 15200u);
    EXPECT_EQ(run.calls("Sleep"), 10 + 11 + 11 + 12);
    expectNothingHeld(*run.machine);
}

TEST(VirtualPrinterRemoval, APrinterDeletedWithoutItsDriverIsNotFoundAgain) {
    auto run =
        removeOn(machineWith(0, R"([{"call": "DeletePrinterDriverA", "times": -1}])"), "Virtual Printer", 2);
    EXPECT_EQ(run.results, (std::vector<os::BOOL>{0, 0}));
    EXPECT_FALSE(run.printerLeft());
    EXPECT_TRUE(run.driverLeft());
    EXPECT_EQ(run.calls("DeletePrinterDriverA"), 12);  // the second call never reaches the driver
    EXPECT_EQ(run.calls("OpenPrinterA"), 1);
    EXPECT_EQ(run.machine->nowMs, 3600u + 5500u);
}

// A name longer than the 259 bytes the name buffer holds is refused before
// any spooler call, rather than cut to a name that may be another printer's.
TEST(VirtualPrinterRemoval, ANameTooLongForTheNameBufferIsRefused) {
    for (std::size_t length : {259u, 260u, 600u}) {
        std::string name(length, 'P');
        std::string json = R"({"spooler": {"drivers": [")" + name + R"("], "printers": [{"name": ")" + name +
                           R"(", "driver": ")" + name + R"(", "port": "FILE:"}]}})";
        auto run = removeOn(json, "\"" + name + "\"");
        SCOPED_TRACE(length);
        if (length == 259) {
            EXPECT_EQ(run.results[0], 1);
            EXPECT_TRUE(run.machine->spooler.printers.empty());
            continue;
        }
        EXPECT_EQ(run.results[0], 0);
        EXPECT_EQ(run.trace(),
                  (std::vector<std::string>{kStart, "Command line => \"" + name + "\"",
                                            "Virtual printer name is too long (" + std::to_string(length) +
                                                " bytes, at most 259)"}));
        EXPECT_EQ(run.calls("EnumPrintersA"), 0);
        EXPECT_EQ(run.machine->nowMs, 0u);
        EXPECT_EQ(run.machine->spooler.printers.size(), 1u);
    }
}

// The whole program on the default machine and on small ones.
TEST(VirtualPrinterRemovalRun, TheRunSequenceDeletesABareOrQuotedName) {
    for (const char* arguments : {"Acme Virtual Printer", "\"Acme Virtual Printer\""}) {
        auto run = testing_support::runOn(
            R"({"spooler": {"drivers": ["Acme Virtual Printer", "HP LaserJet 4"], "printers": [
                {"name": "HP LaserJet 4", "driver": "HP LaserJet 4", "port": "LPT1:", "attributes": 4},
                {"name": "Acme Virtual Printer", "driver": "Acme Virtual Printer", "port": "FILE:"}]}})",
            arguments);
        SCOPED_TRACE(arguments);
        EXPECT_TRUE(run.inOrder({std::string("Command line =>> ") + arguments, kStart,
                                 "Open Acme Virtual Printer Printer Success",
                                 "Success Acme Virtual Printer pritner driver is deleted", kEnd}));
        auto after = run.machine->save()["spooler"];
        EXPECT_EQ(after["printers"].size(), 1u);
        EXPECT_EQ(after["drivers"], (sim::json{"HP LaserJet 4"}));
        EXPECT_EQ(after["defaultPrinter"], "HP LaserJet 4");
        EXPECT_EQ(run.exitCode(), 0);
        EXPECT_TRUE(run.leakFree()) << run.leaks();
    }
}

}  // namespace
