// Reading machine files: what is refused, and how the refusal reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/machine_fixture.h"

namespace {

std::string refusal(const std::string& text) {
    sim::Machine machine;
    try {
        sim::loadMachineText(text, "m.json", ".", machine);
    } catch (const sim::MachineFileError& e) {
        return e.what();
    }
    return "";
}

TEST(MachineFile, RefusesWithFileLineAndWhatIsWrong) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"{\n  \"os\": {\"major\": 4,\n  }\n}", "m.json:3: not valid JSON"},
        {"{\n  \"os\": {\"majro\": 4}\n}", "m.json:2: os.majro: unknown key \"majro\""},
        {"{\n  \"codePage\": \"1252\"\n}", "m.json:2: codePage: must be an integer"},
        {"{\"codePage\": 437}", "m.json:1: codePage: must be one of"},
        {"{\"faults\": [{\"call\": \"GlobalAlloc\", \"nth\": 0}]}", "m.json:1: faults[0].nth: must be 1 or more"},
        {"{\"events\": [{\"atMs\": 5, \"key\": \"Space\"}]}", "events[0].key: must be \"Enter\" or \"Escape\""},
        {"[1, 2]", "must be an object"},
        {"{\"missingLibraries\": [\"SetupAPI.dll\", 3]}", "missingLibraries[1]: must be a string"},
        // Found by fuzzing: a number no field can hold.
        {"66E665", "m.json: not usable JSON"},
    };
    for (const auto& c : cases) {
        std::string message = refusal(c.text);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.text << "\n  gave: " << message;
    }
}

TEST(MachineFile, EmptyFileIsAFreshWindows98SecondEditionMachine) {
    sim::Machine machine;
    sim::loadMachineText("{}", "m.json", ".", machine);
    EXPECT_EQ(machine.os.platformId, 1u);
    EXPECT_EQ(machine.os.major, 4u);
    EXPECT_EQ(machine.os.minor, 10u);
    EXPECT_EQ(machine.codePage, 1252);
}

TEST(MachineFile, SavedMachineReadsBackTheSame) {
    const char* text = R"({"os": {"platformId": 1, "major": 4, "minor": 90, "csd": "x"},
        "codePage": 932, "missingEntryPoints": ["SetupDiRemoveDevice"],
        "faults": [{"call": "DeletePrinter", "nth": 2, "times": -1, "error": 5}],
        "events": [{"atMs": 90000, "key": "Escape"}]})";
    sim::Machine first;
    sim::loadMachineText(text, "m.json", ".", first);
    sim::json saved = first.save();
    sim::Machine second;
    sim::loadMachineText(saved.dump(), "saved.json", ".", second);
    EXPECT_EQ(second.save(), saved);
    EXPECT_EQ(second.os.minor, 90u);
    EXPECT_EQ(second.faults.rules.at(0).times, -1);
}

TEST(SimulatorCommand, UnreadableMachineFileExitsWith64AndOneLine) {
    std::string path = ::testing::TempDir() + "bad_machine.json";
    {
        std::ofstream file(path);
        file << "{\n  \"spooler\": 3\n}\n";
    }
    std::string command = std::string(PRINTERPORT_SIM_EXE) + " --machine " + path + " x 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 64);
    EXPECT_NE(output.find(path + ":2: spooler: must be an object"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

}  // namespace

namespace {

std::string runCommand(const std::string& command, int* exitStatus) {
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pipe ? pclose(pipe) : -1;
    *exitStatus = WEXITSTATUS(status);
    return output;
}

TEST(SimulatorCommand, JsonOnStandardOutputIsTheMachineAfterTheRun) {
    int status = -1;
    std::string out = runCommand(std::string(PRINTERPORT_SIM_EXE) + " --json - '\"Acme Virtual Printer\"' 2>/dev/null",
                                 &status);
    EXPECT_EQ(status, 0);
    sim::json machine = sim::json::parse(out);  // nothing but the machine
    EXPECT_EQ(machine["run"]["exitCode"], 0);
    EXPECT_EQ(machine["run"]["commandLine"], "PrinterPort.exe \"Acme Virtual Printer\"");
    EXPECT_EQ(machine["run"]["trace"][0], "Command line =>> \"Acme Virtual Printer\"");
    for (const auto& printer : machine["spooler"]["printers"]) EXPECT_NE(printer["name"], "Acme Virtual Printer");
    // The machine written after a run reads back as a machine.
    machine.erase("run");
    sim::Machine again;
    sim::loadMachineText(machine.dump(), "after.json", ".", again);
    EXPECT_EQ(again.save(), machine);
}

}  // namespace
