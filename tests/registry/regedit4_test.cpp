// REGEDIT4 text: what a registry editor export holds reads in, a faulty text
// is refused with its line, and what is written reads back to the same tree.
#include <gtest/gtest.h>

#include "platform/sim/registry.h"
#include "tests/support/machine_fixture.h"

namespace {

std::string valueText(const sim::RegValue* v) {
    if (!v) return "<missing>";
    return std::string(v->data.begin(), v->data.end());
}

TEST(Regedit4, ReadsEveryValueFormWithAnyLineEnding) {
    const std::string text =
        "REGEDIT4\r\n"
        "\r\n"
        "; exported from the maker's machine\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme \"Photo\" 1]\r\n"
        "\"DeviceID\"=\"ACMEPHOTO_1XXXX\"\n"
        "\"Path\"=\"C:\\\\Program Files\\\\\\\"ACME\\\"\"\r"
        "@=\"default\"\n"
        "\"Default\"=dword:0000000A\n"
        "\"Blob\"=hex:01,02,\\\n"
        "    ff\n"
        "\"Multi\"=hex(7):61,00,62,00,00\n"
        "\"Empty\"=hex:\n"
        "\n"
        "[hkey_current_user\\Control Panel]\n";
    sim::Registry registry;
    sim::readRegistry(text, "test.reg", registry);
    sim::RegKey* key = registry.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\acme\\ZervPrinter\\Acme \"Photo\" 1");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(valueText(key->value("deviceid")), std::string("ACMEPHOTO_1XXXX\0", 16));
    EXPECT_EQ(key->value("DeviceID")->type, os::REG_SZ);
    EXPECT_EQ(valueText(key->value("Path")), std::string("C:\\Program Files\\\"ACME\"\0", 24));
    EXPECT_EQ(valueText(key->value("")), std::string("default\0", 8));
    EXPECT_EQ(key->value("Default")->type, os::REG_DWORD);
    EXPECT_EQ(valueText(key->value("Default")), std::string("\x0a\0\0\0", 4));
    EXPECT_EQ(key->value("Blob")->type, os::REG_BINARY);
    EXPECT_EQ(valueText(key->value("Blob")), "\x01\x02\xff");
    EXPECT_EQ(key->value("Multi")->type, os::REG_MULTI_SZ);
    EXPECT_EQ(key->value("Multi")->data.size(), 5u);
    EXPECT_TRUE(key->value("Empty")->data.empty());
    EXPECT_NE(registry.find("HKEY_CURRENT_USER\\Control Panel"), nullptr);
}

TEST(Regedit4, WrittenTextReadsBackToTheSameTree) {
    sim::Registry registry;
    sim::RegKey& key = registry.ensure("HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme \"Photo\" 1");
    key.setString("DeviceID", "C:\\dir\\\"quoted\"");
    key.setString("", "default");
    key.setDword("Default", 0x12345678);
    key.setValue("Long", os::REG_BINARY, std::vector<std::uint8_t>(100, 0xab));
    key.setValue("Odd", 0x20, {1, 2});
    key.setValue("NoZero", os::REG_SZ, {'a', 'b'});
    registry.ensure("HKEY_USERS\\.Default\\Empty Key");
    registry.ensure("HKEY_CLASSES_ROOT").setString("rootValue", "x");

    std::string written = sim::writeRegistry(registry);
    sim::Registry again;
    sim::readRegistry(written, "written", again);
    EXPECT_EQ(sim::writeRegistry(again), written);
    sim::RegKey* back = again.find("HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme \"Photo\" 1");
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->values.size(), key.values.size());
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(back->values[i].name, key.values[i].name);
        EXPECT_EQ(back->values[i].type, key.values[i].type) << key.values[i].name;
        EXPECT_EQ(back->values[i].data, key.values[i].data) << key.values[i].name;
    }
    EXPECT_NE(again.find("HKEY_USERS\\.Default\\Empty Key"), nullptr);
    EXPECT_NE(again.find("HKEY_CLASSES_ROOT")->value("rootValue"), nullptr);
    EXPECT_EQ(sim::writeRegistry(sim::Registry()), "");
}

TEST(Regedit4, FaultyTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "line 1: the text must begin with the line REGEDIT4"},
        {"Windows Registry Editor Version 5.00\n", "line 1: the text must begin with the line REGEDIT4"},
        {"REGEDIT4\n\"a\"=\"b\"\n", "line 2: a value before the first [key] line"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x\n", "line 2: a key line must end with ]"},
        {"REGEDIT4\n\n[HKEY_NOWHERE\\x]\n",
         "line 3: unknown root key \"HKEY_NOWHERE\" (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, "
         "HKEY_CLASSES_ROOT or "
         "HKEY_USERS)"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=\"b\n", "line 3: a quoted text has no closing quote"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=\"b\\n\"\n",
         "line 3: unknown escape \\n (only \\\\ and \\\" are allowed)"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=\"b\" trailing\n", "line 3: text after the closing quote"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\" \"b\"\n", "line 3: expected = after the value name"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=dword:123456789\n",
         "line 3: dword: needs 1 to 8 hexadecimal digits"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=dword:12g4\n", "line 3: dword: needs 1 to 8 hexadecimal digits"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=hex:01,\\\n  2\n",
         "line 3: hex bytes must be two hexadecimal digits each, separated by commas"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=hex(z):01\n", "line 3: hex(n): needs a hexadecimal type"},
        {"REGEDIT4\n[HKEY_USERS\\x]\n\"a\"=12\n",
         "line 3: expected \"text\", dword:, hex: or hex(n): after ="},
        {"REGEDIT4\n[-HKEY_USERS\\x]\n", "line 2: deleting a key is not supported"},
        {"REGEDIT4\n[HKEY_USERS\\x]\nDeviceID=1\n", "line 3: expected [key], \"name\"=value or @=value"},
    };
    for (const Case& c : cases) {
        sim::Registry registry;
        try {
            sim::readRegistry(c.text, "maker.reg", registry);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const sim::MachineFileError& e) {
            EXPECT_EQ(e.where(), "maker.reg");
            EXPECT_EQ(std::string(e.what()), c.message) << c.text;
        }
    }
}

TEST(Regedit4, MachineFilesTakeInlineTextAndFilesAndWriteItBack) {
    auto machine = testing_support::machineFrom(
        R"({"registry": "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"x\"=\"1\"\n"})");
    EXPECT_NE(machine->registry.find("HKEY_LOCAL_MACHINE\\Software\\A"), nullptr);
    EXPECT_EQ(machine->save()["registry"],
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\A]\n\"x\"=\"1\"\n\n");
    try {
        testing_support::machineFrom(R"({"registry": "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nbad\n"})");
        ADD_FAILURE() << "a faulty registry was accepted";
    } catch (const sim::MachineFileError& e) {
        EXPECT_NE(std::string(e.what()).find("registry: line 3: expected [key]"), std::string::npos)
            << e.what();
    }
}

}  // namespace
