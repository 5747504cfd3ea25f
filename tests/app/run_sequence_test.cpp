// The run sequence's checks, the message boxes and the exit code.
#include <gtest/gtest.h>

#include "tests/support/machine_fixture.h"

using testing_support::runOn;

namespace {

const char* const kNoNameBox = "Invalid parameter\nPrinter Name is NULL";
const char* const kInvalidOsBox = "Invalid OS\nOS version is not Windows 9x series";

TEST(RunSequence, EmptyCommandLineShowsMessageBoxWithoutQueryingTheVersion) {
    for (const char* arguments : {"", "   ", "\t \t"}) {
        auto run = runOn(R"({"os": {"platformId": 2, "major": 5}})", arguments);
        ASSERT_EQ(run.machine->records.messageBoxes.size(), 1u) << "arguments: [" << arguments << "]";
        const auto& box = run.machine->records.messageBoxes[0];
        EXPECT_EQ(box.text, kNoNameBox);
        EXPECT_EQ(box.caption, "PrinterPort");
        EXPECT_EQ(box.flags, 0x30u);  // OK button, exclamation icon
        EXPECT_FALSE(run.machine->versionQueried);
        EXPECT_TRUE(run.trace().empty());
        EXPECT_EQ(run.exitCode(), 0);
        EXPECT_TRUE(run.leakFree()) << run.leaks();
    }
}

TEST(RunSequence, SystemsOutsideWindows9xAreRefused) {
    struct Case {
        const char* name;
        const char* os;
    } cases[] = {
        {"NT 4", R"({"platformId": 2, "major": 4, "minor": 0})"},
        {"Windows 2000", R"({"platformId": 2, "major": 5, "minor": 0})"},
        {"Windows XP", R"({"platformId": 2, "major": 5, "minor": 1})"},
        {"Win32s", R"({"platformId": 0, "major": 3, "minor": 11})"},
        {"version query refused", R"({"refusesVersionQuery": true})"},
        {"unknown platform", R"({"platformId": 3})"},
    };
    for (const Case& c : cases) {
        auto run = runOn(std::string(R"({"os": )") + c.os + "}", "Virtual Printer");
        ASSERT_EQ(run.machine->records.messageBoxes.size(), 1u) << c.name;
        EXPECT_EQ(run.machine->records.messageBoxes[0].text, kInvalidOsBox) << c.name;
        EXPECT_TRUE(run.trace().empty()) << c.name;
        EXPECT_EQ(run.exitCode(), 0) << c.name;
    }
}

TEST(RunSequence, Windows9xReachesTheWorkWithTheCommandLine) {
    auto run = runOn("", "\"Virtual Printer\"");
    EXPECT_TRUE(run.machine->records.messageBoxes.empty());
    ASSERT_FALSE(run.trace().empty());
    EXPECT_EQ(run.trace().front(), "Command line =>> \"Virtual Printer\"");
}

TEST(RunSequence, BlanksAfterTheProgramNameAreSkipped) {
    auto run = runOn("", "   My Printer  ");
    ASSERT_FALSE(run.trace().empty());
    EXPECT_EQ(run.trace().front(), "Command line =>> My Printer  ");
}

}  // namespace
