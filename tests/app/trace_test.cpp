// The trace sink and the report line of a failed system call.
#include <gtest/gtest.h>

#include "app/Trace.h"
#include "tests/support/machine_fixture.h"

namespace {

struct Reported {
    std::vector<std::string> trace;
    std::vector<std::string> reports;
    long heapLeft;
};

Reported report(os::DWORD code, const char* label) {
    auto machine = testing_support::machineFrom("");
    sim::Session session(*machine);
    ReportSystemError(code, label);
    return {machine->records.trace, machine->records.reports, machine->held.count("localHeap")};
}

TEST(ReportSystemError, OneLineWithLabelSystemTextAndLineFeed) {
    Reported r = report(5, "OpenPrinter");
    ASSERT_EQ(r.trace.size(), 1u);
    EXPECT_EQ(r.trace[0], "[OpenPrinter]Access is denied.\r\n\n");
    EXPECT_EQ(r.reports, r.trace);
    EXPECT_EQ(r.heapLeft, 0);  // the system's text was given back
}

TEST(ReportSystemError, SystemTextWithConversionsIsKeptAsPlainText) {
    Reported r = report(0x20000001, "SysUtil-CreateFile");
    ASSERT_EQ(r.trace.size(), 1u);
    EXPECT_EQ(r.trace[0], "[SysUtil-CreateFile]The file %1 could not be opened: %s.\r\n\n");
}

TEST(ReportSystemError, CodeWithoutSystemTextStillGetsItsLine) {
    Reported r = report(0x7654321, "DeletePrinter");
    ASSERT_EQ(r.trace.size(), 1u);
    EXPECT_EQ(r.trace[0], "[DeletePrinter]Unknown error 124076833\n\n");
    EXPECT_EQ(r.heapLeft, 0);
}

TEST(TraceLog, FormatsStringsNumbersAndHex) {
    auto machine = testing_support::machineFrom("");
    sim::Session session(*machine);
    CString name("LPT1:");
    TraceLog("%s Printer is getted attributes => %X", name, 0x2C0u);
    TraceLog("Read Driver total %d number", 3);
    TraceLog("100%% plain");
    EXPECT_EQ(machine->records.trace,
              (std::vector<std::string>{"LPT1: Printer is getted attributes => 2C0", "Read Driver total 3 number",
                                        "100% plain"}));
    EXPECT_TRUE(machine->records.reports.empty());
}

}  // namespace
