// The simulated Reg* calls: names in any letter case, the error codes, the
// sizes they report, and the handles they count.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/os.h"
#include "tests/support/machine_fixture.h"

namespace {

const char* const kMachine =
    R"({"registry": "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme Photo 1]\n\"DeviceID\"=\"ACMEPHOTO_1XXXX\"\n\"Default\"=dword:00000001\n@=\"def\"\n\n[HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme Photo 12345]\n"})";

class RegistryCalls : public ::testing::Test {
protected:
    void SetUp() override { session = std::make_unique<sim::Session>(*machine); }
    os::HKEY open(const char* path) {
        os::HKEY key = nullptr;
        EXPECT_EQ(os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, path, 0, os::KEY_ALL_ACCESS, &key), 0) << path;
        return key;
    }
    std::unique_ptr<sim::Machine> machine = testing_support::machineFrom(kMachine);
    std::unique_ptr<sim::Session> session;
};

TEST_F(RegistryCalls, OpenFindsKeysInAnyLetterCaseAndCountsTheHandle) {
    machine->lastError = 1234;
    os::HKEY key = open("SOFTWARE\\acme\\zervprinter");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(machine->held.count("registryKeys"), 1);
    os::HKEY missing = reinterpret_cast<os::HKEY>(1);
    EXPECT_EQ(os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, "Software\\Other", 0, os::KEY_ALL_ACCESS, &missing),
              static_cast<os::LONG>(os::ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing, nullptr);
    // Opening relative to an open key.
    os::HKEY child = nullptr;
    EXPECT_EQ(os::RegOpenKeyExA(key, "Acme Photo 1", 0, os::KEY_READ, &child), 0);
    EXPECT_EQ(machine->held.count("registryKeys"), 2);
    EXPECT_EQ(os::RegCloseKey(child), 0);
    EXPECT_EQ(os::RegCloseKey(key), 0);
    EXPECT_EQ(os::RegCloseKey(key), static_cast<os::LONG>(os::ERROR_INVALID_HANDLE));
    EXPECT_EQ(machine->held.count("registryKeys"), 0);
    EXPECT_EQ(machine->lastError, 1234u);  // registry calls leave the last error alone
}

TEST_F(RegistryCalls, QueryInfoWritesOnlyTheOutputsAskedFor) {
    os::HKEY key = open("Software\\ACME\\ZervPrinter");
    os::DWORD subKeys = 99, maxName = 99, values = 99;
    EXPECT_EQ(os::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(os::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxName, nullptr, &values,
                                   nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(maxName, std::strlen("Acme Photo 12345"));
    EXPECT_EQ(values, 0u);
    os::RegCloseKey(key);
}

TEST_F(RegistryCalls, EnumerationReportsShortBuffersAndTheEnd) {
    os::HKEY key = open("Software\\ACME\\ZervPrinter");
    char name[260];
    os::DWORD size = sizeof name;
    ASSERT_EQ(os::RegEnumKeyExA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "Acme Photo 12345");
    EXPECT_EQ(size, 16u);
    // The size goes in with room for the zero: 16 characters need 17.
    size = 16;
    EXPECT_EQ(os::RegEnumKeyExA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
              static_cast<os::LONG>(os::ERROR_MORE_DATA));
    size = 17;
    EXPECT_EQ(os::RegEnumKeyExA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr), 0);
    size = sizeof name;
    EXPECT_EQ(os::RegEnumKeyExA(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              static_cast<os::LONG>(os::ERROR_NO_MORE_ITEMS));
    os::RegCloseKey(key);
}

TEST_F(RegistryCalls, ValuesComeWithTheirTypeAndSize) {
    os::HKEY key = open("Software\\ACME\\ZervPrinter\\Acme Photo 1");
    char data[260] = {};
    os::DWORD type = 0, size = sizeof data;
    ASSERT_EQ(os::RegQueryValueExA(key, "deviceid", nullptr, &type, reinterpret_cast<os::BYTE*>(data), &size),
              0);
    EXPECT_STREQ(data, "ACMEPHOTO_1XXXX");
    EXPECT_EQ(type, os::REG_SZ);
    EXPECT_EQ(size, 16u);  // with its zero
    // At the size needed, one less, and with no buffer.
    size = 16;
    EXPECT_EQ(
        os::RegQueryValueExA(key, "DeviceID", nullptr, nullptr, reinterpret_cast<os::BYTE*>(data), &size), 0);
    size = 15;
    EXPECT_EQ(
        os::RegQueryValueExA(key, "DeviceID", nullptr, nullptr, reinterpret_cast<os::BYTE*>(data), &size),
        static_cast<os::LONG>(os::ERROR_MORE_DATA));
    EXPECT_EQ(size, 16u);
    size = 0;
    EXPECT_EQ(os::RegQueryValueExA(key, "DeviceID", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 16u);

    size = sizeof data;
    ASSERT_EQ(os::RegQueryValueExA(key, "Default", nullptr, &type, reinterpret_cast<os::BYTE*>(data), &size),
              0);
    EXPECT_EQ(type, os::REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::memcmp(data, "\1\0\0\0", 4), 0);

    size = sizeof data;
    EXPECT_EQ(os::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<os::BYTE*>(data), &size),
              0);
    EXPECT_STREQ(data, "def");
    EXPECT_EQ(
        os::RegQueryValueExA(key, "Missing", nullptr, nullptr, reinterpret_cast<os::BYTE*>(data), &size),
        static_cast<os::LONG>(os::ERROR_FILE_NOT_FOUND));
    os::RegCloseKey(key);
}

TEST_F(RegistryCalls, FaultRulesGiveTheirCodeAsTheResult) {
    machine->faults.rules.push_back({"RegOpenKeyExA", 2, 1, os::ERROR_ACCESS_DENIED});
    machine->faults.rules.push_back({"RegQueryValueExA", 1, 1, 1234});
    os::HKEY key = open("Software");
    os::HKEY other = nullptr;
    EXPECT_EQ(os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, "Software", 0, os::KEY_ALL_ACCESS, &other),
              static_cast<os::LONG>(os::ERROR_ACCESS_DENIED));
    EXPECT_EQ(machine->held.count("registryKeys"), 1);
    os::DWORD size = 0;
    EXPECT_EQ(os::RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, &size), 1234);
    EXPECT_EQ(machine->faults.count("RegOpenKeyExA"), 2);
    os::RegCloseKey(key);
}

}  // namespace
