// GetPrivateProfileStringA on the simulated machine: Windows' rules for
// initialisation files, one case per rule.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/os.h"
#include "tests/support/machine_fixture.h"

namespace {

struct Case {
    const char* rule;
    const char* file;  // content of D:\\TEST.INI; null: no such file
    const char* section;
    const char* key;
    const char* defaultValue;
    os::DWORD size;
    const char* expected;
    os::DWORD result;
};

const char* const kFile =
    "[Section]\r\n"
    "Plain=value\r\n"
    "  Padded   =   blanks around   \r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "Double=\"quoted value\"\r\n"
    "Single='single'\r\n"
    "Mixed=\"half'\r\n"
    "Lone=\"\r\n"
    "Inner=a \"b\" c\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    "Equals=a=b\r\n"
    "Long=0123456789\r\n"
    "Cut=\"abcdef\"\r\n"
    "[section]\r\n"
    "Later=in the second section of the same name\r\n"
    "[Other]\r\n"
    "Plain=other value\r\n"
    "[Broken\r\n"
    "AfterBroken=still in Other\r\n";

const Case kCases[] = {
    {"plain value", kFile, "Section", "Plain", "dflt", 260, "value", 5},
    {"section name ignores case", kFile, "SECTION", "Plain", "dflt", 260, "value", 5},
    {"key name ignores case", kFile, "Section", "pLaIn", "dflt", 260, "value", 5},
    {"blanks around the requested names are ignored", kFile, "  Section ", " Plain  ", "dflt", 260, "value",
     5},
    {"blanks around key and value are stripped", kFile, "Section", "Padded", "dflt", 260, "blanks around",
     13},
    {"an empty value is a value, not the default", kFile, "Section", "Empty", "dflt", 260, "", 0},
    {"a line without = reads as absent", kFile, "Section", "NoEquals", "dflt", 260, "dflt", 4},
    {"double quotes are dropped", kFile, "Section", "Double", "dflt", 260, "quoted value", 12},
    {"single quotes are dropped", kFile, "Section", "Single", "dflt", 260, "single", 6},
    {"quotes that do not match stay", kFile, "Section", "Mixed", "dflt", 260, "\"half'", 6},
    {"a lone quote stays", kFile, "Section", "Lone", "dflt", 260, "\"", 1},
    {"quotes inside the value stay", kFile, "Section", "Inner", "dflt", 260, "a \"b\" c", 7},
    {"the first of duplicate keys wins", kFile, "Section", "DUP", "dflt", 260, "first", 5},
    {"only the first section of a name is searched", kFile, "Section", "Later", "dflt", 260, "dflt", 4},
    {"the value runs from the first =", kFile, "Section", "Equals", "dflt", 260, "a=b", 3},
    {"sections keep their own keys", kFile, "Other", "Plain", "dflt", 260, "other value", 11},
    {"a header without ] opens no section", kFile, "Other", "AfterBroken", "dflt", 260, "still in Other", 14},
    {"absent key: the default", kFile, "Section", "Missing", "dflt", 260, "dflt", 4},
    {"absent section: the default", kFile, "Nowhere", "Plain", "dflt", 260, "dflt", 4},
    {"the default loses trailing blanks", kFile, "Section", "Missing", "  two words  ", 260, "  two words",
     11},
    {"a null default is empty", kFile, "Section", "Missing", nullptr, 260, "", 0},
    {"an empty key name: the default", kFile, "Section", "", "dflt", 260, "dflt", 4},
    {"no file: the default", nullptr, "Section", "Plain", "dflt", 260, "dflt", 4},
    {"a value that fits exactly", kFile, "Section", "Long", "dflt", 11, "0123456789", 10},
    {"a value cut to size-1 characters", kFile, "Section", "Long", "dflt", 10, "012345678", 9},
    {"a buffer of one character holds only the zero", kFile, "Section", "Long", "dflt", 1, "", 0},
    {"a default cut to size-1 characters", kFile, "Section", "Missing", "default", 4, "def", 3},
    {"a cut quoted value keeps what follows the opening quote", kFile, "Section", "Cut", "dflt", 4, "abc", 3},
    {"lines may end in a bare carriage return", "[S]\rA=1\rB=2\r", "S", "B", "dflt", 260, "2", 1},
    {"lines may end in a bare line feed", "[S]\nA=1\nB=2\n", "S", "B", "dflt", 260, "2", 1},
    {"keys before the first header are in no section", "A=1\n[S]\nB=2\n", "", "A", "dflt", 260, "dflt", 4},
    {"a DOS end-of-file mark is a blank", "[S]\r\nA=1\x1A", "S", "A", "dflt", 260, "1", 1},
};

TEST(GetPrivateProfileString, FollowsTheRulesOfWindows) {
    for (const Case& c : kCases) {
        sim::json drive{{"type", "cdrom"}, {"files", sim::json::object()}};
        if (c.file) drive["files"]["TEST.INI"] = c.file;
        auto machine = testing_support::machineFrom(sim::json{{"drives", {{"D", drive}}}}.dump());
        sim::Session session(*machine);
        char buffer[300];
        std::memset(buffer, '*', sizeof buffer);
        os::DWORD result =
            os::GetPrivateProfileStringA(c.section, c.key, c.defaultValue, buffer, c.size, "D:\\test.ini");
        EXPECT_EQ(result, c.result) << c.rule;
        EXPECT_STREQ(buffer, c.expected) << c.rule;
        // Nothing is written beyond the buffer's size.
        EXPECT_EQ(buffer[c.size], '*') << c.rule;
        if (!c.file) {
            EXPECT_EQ(machine->lastError, os::ERROR_FILE_NOT_FOUND) << c.rule;
        }
    }
}

TEST(GetPrivateProfileString, ABufferOfSizeZeroIsLeftAlone) {
    auto machine = testing_support::machineFrom(
        R"({"drives": {"D": {"type": "cdrom", "files": {"A.INI": "[S]\nK=value\n"}}}})");
    sim::Session session(*machine);
    char buffer[8] = "kumquat";
    EXPECT_EQ(os::GetPrivateProfileStringA("S", "K", "dflt", buffer, 0, "D:\\A.INI"), 0u);
    EXPECT_STREQ(buffer, "kumquat");
}

TEST(GetPrivateProfileString, ABareFileNameIsLookedForInTheWindowsFolder) {
    auto machine = testing_support::machineFrom(
        R"({"drives": {"C": {"type": "fixed", "files": {"WINDOWS\\WIN.INI": "[windows]\nload=x.exe\n"}}}})");
    sim::Session session(*machine);
    char buffer[32] = {};
    EXPECT_EQ(os::GetPrivateProfileStringA("Windows", "LOAD", "", buffer, sizeof buffer, "win.ini"), 5u);
    EXPECT_STREQ(buffer, "x.exe");
}

TEST(GetPrivateProfileString, AFaultGivesAnEmptyTextAndTheCode) {
    auto machine = testing_support::machineFrom(
        R"({"drives": {"D": {"type": "cdrom", "files": {"A.INI": "[S]\nK=value\n"}}},
            "faults": [{"call": "GetPrivateProfileStringA", "nth": 1, "error": 21}]})");
    sim::Session session(*machine);
    char buffer[16] = "kumquat";
    EXPECT_EQ(os::GetPrivateProfileStringA("S", "K", "dflt", buffer, sizeof buffer, "D:\\A.INI"), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(machine->lastError, 21u);
    EXPECT_EQ(os::GetPrivateProfileStringA("S", "K", "dflt", buffer, sizeof buffer, "D:\\A.INI"), 5u);
    EXPECT_EQ(machine->faults.count("GetPrivateProfileStringA"), 2);
}

}  // namespace
