// The example machines tell their stories: the whole program runs on each,
// and only the printers that the rules name are changed.
#include <gtest/gtest.h>

#include <map>

#include "tests/support/machine_fixture.h"

namespace {

using testing_support::Run;

Run runExample(const std::string& name) {
    Run run;
    sim::loadMachineFile(testing_support::sourcePath("examples/" + name), *run.machine);
    run.outcome = sim::runProgram(*run.machine, "\"Acme Virtual Printer\"");
    return run;
}

// Every printer as "port attributes", by name.
std::map<std::string, std::string> printers(const sim::json& machineFile) {
    std::map<std::string, std::string> out;
    for (const sim::json& p : machineFile["spooler"]["printers"])
        out[p["name"].get<std::string>()] =
            p.value("port", "") + " " + std::to_string(p.value("attributes", 0));
    return out;
}

TEST(ExampleMachines, EachChangesOnlyWhatItShows) {
    struct Case {
        const char* file;
        // What the printers are afterwards: port and attributes (4: the default).
        std::map<std::string, std::string> after;
        std::vector<std::string> lines;
    } cases[] = {
        {"default.json",
         {{"HP LaserJet 4", "LPT2: 0"}, {"Acme Photo 1", "USB001 4"}},
         {"Compare ACMEPHOTO_1 to ACMEPHOTO_1", "Compare 1284:MFG:ACME;MDL:ACMEPHOTO_1 PLUS to ACMEPHOTO_1",
          "Compare ACMEPHOTO_2 to ACMEPHOTO_1", "Read Driver total 2 number",
          "Acme Photo 1 Printer port is changed from LPT1: to USB001",
          "\t\tAlready installed printer driver"}},
        {"add-printer.json",
         {{"Generic / Text Only", "LPT1: 0"},
          {"Acme Photo 1 in the office", "\\\\OFFICE\\ACME 0"},
          {"Acme Photo 1(USB001)", "USB001 4"}},
         {"Acme Photo 1 in the office Printer is network printer",
          "Skip \\\\OFFICE\\ACME port is network port", "MyAddPrinter function is called",
          "                 AddPrinter Acme Photo 1(USB001) is success"}},
        {"network-printer.json",
         {{"HP LaserJet 4", "LPT2: 0"},
          {"Acme Photo 1 in the office", "\\\\OFFICE\\ACME 0"},
          {"Acme Photo 1 captured", "LPT1: 16"},
          {"Acme Photo 1", "USB001 4"}},
         {"Skip \\\\OFFICE\\ACME port is network port", "Acme Photo 1 captured Printer is network printer",
          "Skip LPT1: port is network port", "Acme Photo 1 Printer port is changed from LPT1: to USB001"}},
        {"driver-not-installed.json",
         {{"HP LaserJet 4", "LPT1: 4"}, {"Acme Photo 2", "LPT2: 0"}},
         {"Read Driver Name => \"Acme Photo 1 Plus\"", "Read Driver total 1 number",
          "ACME PHOTO 1 PLUS driver(from read registry) compare result is missmatched",
          "[MyComparePrinterDriverInfo] End MyComparePrinterDriverInfo\n\n",
          "\n[MyRunAutoDlg] Start MyRunAutoRun"}},
    };
    for (const Case& c : cases) {
        testing_support::Run run = runExample(c.file);
        EXPECT_EQ(printers(run.machine->save()), c.after) << c.file;
        EXPECT_TRUE(run.inOrder(c.lines)) << c.file;
        EXPECT_EQ(run.count("MyAddPrinter function is called"), c.after.count("Acme Photo 1(USB001)") ? 1 : 0)
            << c.file;
        EXPECT_TRUE(run.machine->records.processes.empty()) << c.file;
        EXPECT_TRUE(run.leakFree()) << c.file << ": " << run.leaks();
        EXPECT_EQ(run.exitCode(), 0) << c.file;
    }
}

}  // namespace
