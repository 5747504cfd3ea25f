// Whole runs that reach the CD-ROM scan: the example machine with a printer
// whose driver is not installed, and its variations.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/machine_fixture.h"

using testing_support::runOn;

namespace {

sim::json exampleMachine() {
    std::ifstream file(testing_support::sourcePath("examples/cdrom-setup.json"));
    std::stringstream text;
    text << file.rdbuf();
    return sim::json::parse(text.str());
}

const char* const kVirtualPrinter = "Acme Setup";

TEST(CdromScenario, TheExampleStartsTheSetupFromTheCd) {
    auto run = runOn(exampleMachine().dump(), kVirtualPrinter);
    EXPECT_TRUE(
        run.inOrder({"ACME PHOTO 1 driver(from read registry) compare result is missmatched",
                     "\n[MyRunAutoDlg] Start MyRunAutoRun", "A:\\ drive is not CD-Rom Drive",
                     "C:\\ drive is not CD-Rom Drive", "CD-ROM Dirver letter => \"D:\\\"",
                     "Compare ACME to ACME", "Compare PHOTO 1 to PHOTO 1", "\n\nI find CDSetup file\n\n",
                     "\nRun command line => \"D:\\SETUP.EXE\"\n", "[MyRunAutoRun] End MyRunAutoRun\n\n"}));
    ASSERT_EQ(run.machine->records.processes.size(), 1u);
    sim::json record = sim::runRecord(*run.machine, run.outcome);
    EXPECT_EQ(record["processes"],
              sim::json::parse(
                  R"([{"commandLine": "D:\\SETUP.EXE", "creationFlags": 32, "inheritHandles": true}])"));
    EXPECT_NE(sim::describeChanges(*run.machine, run.outcome).find("process started:  D:\\SETUP.EXE"),
              std::string::npos);
    EXPECT_FALSE(run.machine->records.dialogRan);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

TEST(CdromScenario, AnInstalledFittingDriverMeansNoScan) {
    sim::json machine = exampleMachine();
    machine["spooler"]["drivers"].push_back("Acme Photo 1");
    auto run = runOn(machine.dump(), kVirtualPrinter);
    EXPECT_TRUE(run.inOrder({"\t\tAlready installed printer driver", "\t\tso, Is not running Autorun"}));
    EXPECT_EQ(run.find("\n[MyRunAutoDlg] Start MyRunAutoRun"), -1);
    EXPECT_EQ(run.machine->faults.count("GetLogicalDrives"), 0);
    EXPECT_TRUE(run.machine->records.processes.empty());
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

TEST(CdromScenario, WithoutAUsbPrinterTheCdIsScannedButListsNoEmptyDevice) {
    sim::json machine = exampleMachine();
    machine.erase("usb");
    auto run = runOn(machine.dump(), kVirtualPrinter);
    EXPECT_TRUE(run.inOrder({"\t\t\tNo device id from registry value", "CD-ROM Dirver letter => \"D:\\\"",
                             "Compare ACME to ", "Compare PHOTO 2 to ", "MFG Value is not found => \"\"",
                             "[MyRunAutoRun] End MyRunAutoRun\n\n"}));
    EXPECT_TRUE(run.machine->records.processes.empty());
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

TEST(CdromScenario, ACdWithoutTheSetupProgramStartsNothingAndTheRunEndsNormally) {
    sim::json machine = exampleMachine();
    machine["drives"]["D"]["files"].erase("SETUP.EXE");
    auto run = runOn(machine.dump(), kVirtualPrinter);
    EXPECT_NE(run.find("\nRun command line => \"D:\\SETUP.EXE\"\n"), -1);
    EXPECT_EQ(run.machine->faults.count("CreateProcessA"), 1);
    EXPECT_TRUE(run.machine->records.processes.empty());
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.leakFree()) << run.leaks();
}

}  // namespace
