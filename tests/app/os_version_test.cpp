// Classification of the reported Windows version.
#include <gtest/gtest.h>

#include "app/OsVersion.h"
#include "tests/support/machine_fixture.h"

namespace {

struct Case {
    const char* os;  // the machine's "os" section
    int version;
    int family;
};

OsVersion classify(const std::string& osJson, int* result = nullptr) {
    auto machine = testing_support::machineFrom(R"({"os": )" + osJson + "}");
    sim::Session session(*machine);
    OsVersion v;
    int r = GetOSVersion(&v);
    if (result) *result = r;
    return v;
}

TEST(OsVersion, ClassifiesEveryPlatformAndVersion) {
    const Case cases[] = {
        {R"({"platformId": 0, "major": 3, "minor": 11})", 2, 2},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": ""})", 3, 10},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": "B"})", 4, 10},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": "C"})", 4, 10},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": "b"})", 4, 10},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": " C "})", 3, 10},
        {R"({"platformId": 1, "major": 4, "minor": 0, "csd": "A"})", 3, 10},
        {R"({"platformId": 1, "major": 4, "minor": 10, "csd": "A"})", 7, 10},
        {R"({"platformId": 1, "major": 4, "minor": 10, "csd": "a"})", 7, 10},
        {R"({"platformId": 1, "major": 4, "minor": 10, "csd": " A "})", 6, 10},
        {R"({"platformId": 1, "major": 4, "minor": 10, "csd": ""})", 6, 10},
        {R"({"platformId": 1, "major": 4, "minor": 90, "csd": " "})", 9, 10},
        {R"({"platformId": 1, "major": 4, "minor": 90, "csd": "A"})", 9, 10},
        {R"({"platformId": 1, "major": 4, "minor": 20})", 10, 10},
        {R"({"platformId": 1, "major": 7, "minor": 10, "csd": "A"})", 7, 10},  // major not looked at
        {R"({"platformId": 2, "major": 3, "minor": 51})", 11, 15},
        {R"({"platformId": 2, "major": 4, "minor": 0})", 12, 15},
        {R"({"platformId": 2, "major": 5, "minor": 0})", 13, 17},
        {R"({"platformId": 2, "major": 5, "minor": 1})", 14, 17},
        {R"({"platformId": 2, "major": 5, "minor": 2})", 16, 17},
        {R"({"platformId": 2, "major": 5, "minor": 3})", 13, 17},
        {R"({"platformId": 2, "major": 6, "minor": 0})", 15, 15},
        {R"({"platformId": 2, "major": 6, "minor": 1})", 15, 15},
    };
    for (const Case& c : cases) {
        int result = 0;
        OsVersion v = classify(c.os, &result);
        EXPECT_EQ(result, 1) << c.os;
        EXPECT_EQ(v.nVersion, c.version) << c.os;
        EXPECT_EQ(v.nFamily, c.family) << c.os;
    }
}

TEST(OsVersion, TheShortRecordIsTriedWhenTheLongOneIsRefused) {
    for (bool acceptsEx : {false, true}) {
        auto machine = testing_support::machineFrom(
            std::string(R"({"os": {"platformId": 1, "minor": 10, "csd": "A", "acceptsVersionInfoEx": )") +
            (acceptsEx ? "true" : "false") + "}}");
        sim::Session session(*machine);
        OsVersion v;
        EXPECT_EQ(GetOSVersion(&v), 1);
        EXPECT_EQ(v.nVersion, 7);
        EXPECT_EQ(v.nFamily, 10);
        EXPECT_EQ(machine->faults.count("GetVersionExA"), acceptsEx ? 1 : 2);
    }
}

TEST(OsVersion, RefusedQueriesAndUnknownPlatformsLeaveThePairAlone) {
    {
        auto machine = testing_support::machineFrom(R"({"os": {"refusesVersionQuery": true}})");
        sim::Session session(*machine);
        OsVersion v{5, 6};
        EXPECT_EQ(GetOSVersion(&v), 0);
        EXPECT_EQ(v.nVersion, 5);
        EXPECT_EQ(v.nFamily, 6);
        EXPECT_EQ(machine->faults.count("GetVersionExA"), 2);
    }
    int result = 0;
    OsVersion v = classify(R"({"platformId": 3, "major": 10})", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(v.nVersion, 0);
    EXPECT_EQ(v.nFamily, 0);
}

}  // namespace
