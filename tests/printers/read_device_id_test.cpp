// The maker's driver registry: which drivers fit the device, which one is
// the default, and every way the lookup gives up.
#include "tests/printers/printer_rig.h"

namespace {

using printers_test::Rig;

const std::string kMaker = "HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter";

sim::RegKey& driverKey(Rig& rig, const std::string& name) {
    return rig.machine->registry.ensure(kMaker + "\\" + name);
}

void addDriver(Rig& rig, const std::string& name, const std::string& deviceId,
               const char* isDefault = nullptr) {
    sim::RegKey& key = driverKey(rig, name);
    key.setString("DeviceID", deviceId);
    if (isDefault) key.setString("Default", isDefault);
}

TEST(MyReadDeviceID, FittingDriversAreListedInEnumerationOrder) {
    Rig rig;
    addDriver(rig, "Acme Photo 1", "ACMEPHOTO_1XXXX", "1");
    addDriver(rig, "Other Printer", "OTHERMODELXXXX");
    addDriver(rig, "Acme Photo 1 Plus", "acmephoto_1abcd", "0");
    EXPECT_TRUE(rig.app->MyReadDeviceID());
    EXPECT_EQ(rig.app->m_nDriverCount, 2);
    EXPECT_EQ(rig.app->m_strDriverNames[0], CString("Acme Photo 1"));
    EXPECT_EQ(rig.app->m_strDriverNames[1], CString("Acme Photo 1 Plus"));
    EXPECT_EQ(rig.app->m_strDefaultDriver, CString("ACME PHOTO 1"));
    EXPECT_TRUE(rig.inOrder({
        "\n[MyReadDeviceID]Start MyReadDeviceID",
        "Open Registry Key => Software\\ACME\\ZervPrinter",
        "3 number sub registry key",
        "Software\\ACME\\ZervPrinter key enumerate success",
        "Enumerate key name => Acme Photo 1",
        "Software\\ACME\\ZervPrinter\\Acme Photo 1 key opened success",
        "DeviceID registry value read ==> ACMEPHOTO_1XXXX",
        "[ACMEPHOTO_1XXXX] Device Id Length ==> [15]",
        "New Device Id ==> [ACMEPHOTO_1]",
        "Compare ACMEPHOTO_1 to ACMEPHOTO_1",
        "Read Driver Name => \"Acme Photo 1\"",
        "Enumerate key name => Other Printer",
        "Compare OTHERMODEL to ACMEPHOTO_1",
        "Enumerate key name => Acme Photo 1 Plus",
        "DeviceID registry value read ==> acmephoto_1abcd",
        "[ACMEPHOTO_1ABCD] Device Id Length ==> [15]",
        "Read Driver Name => \"Acme Photo 1 Plus\"",
        "Read Driver total 2 number",
        "[MyReadDeviceID] End MyReadDeviceID\n\n",
    }));
    EXPECT_FALSE(rig.traced("Read Driver Name => \"Other Printer\""));
    EXPECT_EQ(rig.machine->faults.count("RegOpenKeyExA"), 4);
    EXPECT_EQ(rig.held(), "");
}

TEST(MyReadDeviceID, DeviceIdRulesAtTwentyFourAndTwentyFiveCharacters) {
    const std::string key20 = "ABCDEFGHIJKLMNOPQRST";
    struct Case {
        std::string deviceKey, deviceId;
        bool fits;
        std::string compared;  // the text traced as compared
    } cases[] = {
        // 24 characters or fewer: the last 4 are cut, the rest must be the key.
        {key20, "abcdefghijklmnopqrstWXYZ", true, key20},
        {key20, "AbCdEfGhIjKlMnOpQrStwxyz", true, key20},
        {key20, "xABCDEFGHIJKLMNOPQRSTxyz", false, "XABCDEFGHIJKLMNOPQRS"},
        {"ACMEPHOTO_1", "ACMEPHOTO_1", false, "ACMEPHO"},
        {"ACMEPHOTO_1", "ACMEPHOTO_1XX", false, "ACMEPHOTO"},
        {"ACMEPHOTO_1", "ABC", false, ""},
        {"ACMEPHOTO_1", "", false, ""},
        // More than 24: the key anywhere in it.
        {key20, "xABCDEFGHIJKLMNOPQRSTxyzw", true, "XABCDEFGHIJKLMNOPQRSTXYZW"},
        {key20, "1284:mfg;abcdefghijklmnopqrst;CLS", true, "1284:MFG;ABCDEFGHIJKLMNOPQRST;CLS"},
        {key20, "ABCDEFGHIJKLMNOPQRS-xyzwv", false, "ABCDEFGHIJKLMNOPQRS-XYZWV"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.app->m_strDeviceKey = c.deviceKey.c_str();
        addDriver(rig, "Driver", c.deviceId, "1");
        EXPECT_EQ(rig.app->MyReadDeviceID() != 0, c.fits) << c.deviceId;
        EXPECT_EQ(rig.app->m_nDriverCount, c.fits ? 1 : 0) << c.deviceId;
        EXPECT_EQ(rig.app->m_strDefaultDriver, CString(c.fits ? "DRIVER" : "")) << c.deviceId;
        EXPECT_TRUE(rig.traced("Compare " + c.compared + " to " + c.deviceKey)) << c.deviceId;
        EXPECT_EQ(rig.count("New Device Id ==> [" + c.compared + "]"), c.deviceId.size() <= 24 ? 1 : 0)
            << c.deviceId;
    }
}

TEST(MyReadDeviceID, DefaultIsReadAsADecimalNumber) {
    struct Case {
        const char* name;
        bool isDefault;
    };
    const Case texts[] = {{"1", true},          {"01", true},  {"+1", true},  {"  1", true},  {"\t 1", true},
                          {"1 and more", true}, {"1.5", true}, {"0", false},  {"2", false},   {"", false},
                          {"one", false},       {"-1", false}, {"11", false}, {" + 1", false}};
    for (const Case& c : texts) {
        Rig rig;
        addDriver(rig, "Acme Photo 1", "ACMEPHOTO_1XXXX", c.name);
        EXPECT_TRUE(rig.app->MyReadDeviceID());
        EXPECT_EQ(rig.app->m_strDefaultDriver, CString(c.isDefault ? "ACME PHOTO 1" : ""))
            << "[" << c.name << "]";
    }
    // A number stored as REG_DWORD reads as its raw bytes: no digits.
    Rig dword;
    addDriver(dword, "Acme Photo 1", "ACMEPHOTO_1XXXX");
    driverKey(dword, "Acme Photo 1").setDword("Default", 1);
    EXPECT_TRUE(dword.app->MyReadDeviceID());
    EXPECT_EQ(dword.app->m_strDefaultDriver, CString(""));
    // Missing, or too long for the buffer: listed, not the default.
    Rig missing;
    addDriver(missing, "Acme Photo 1", "ACMEPHOTO_1XXXX");
    addDriver(missing, "Acme Photo 2", "ACMEPHOTO_1XXXX", ("1" + std::string(300, ' ')).c_str());
    EXPECT_TRUE(missing.app->MyReadDeviceID());
    EXPECT_EQ(missing.app->m_nDriverCount, 2);
    EXPECT_EQ(missing.app->m_strDefaultDriver, CString(""));
}

TEST(MyReadDeviceID, TheLastFittingDefaultWins) {
    Rig rig;
    addDriver(rig, "First", "ACMEPHOTO_1XXXX", "1");
    addDriver(rig, "Second", "ACMEPHOTO_1XXXX", "1");
    addDriver(rig, "Not Fitting", "OTHER", "1");
    addDriver(rig, "Third", "ACMEPHOTO_1XXXX", "0");
    EXPECT_TRUE(rig.app->MyReadDeviceID());
    EXPECT_EQ(rig.app->m_nDriverCount, 3);
    EXPECT_EQ(rig.app->m_strDefaultDriver, CString("SECOND"));
}

TEST(MyReadDeviceID, OnlyTenDriverNamesAreKept) {
    Rig rig;
    for (int i = 0; i < 12; ++i)
        addDriver(rig, "Driver " + std::to_string(i), "ACMEPHOTO_1XXXX", i == 11 ? "1" : "0");
    EXPECT_TRUE(rig.app->MyReadDeviceID());
    EXPECT_EQ(rig.app->m_nDriverCount, 10);
    EXPECT_EQ(rig.app->m_strDriverNames[9], CString("Driver 9"));
    EXPECT_TRUE(rig.traced("Driver \"Driver 10\" is passed over: only 10 driver names are kept"));
    EXPECT_TRUE(rig.traced("Driver \"Driver 11\" is passed over: only 10 driver names are kept"));
    // The passed-over driver's "Default" is passed over with it.
    EXPECT_EQ(rig.app->m_strDefaultDriver, CString(""));
    EXPECT_TRUE(rig.traced("Read Driver total 10 number"));
    EXPECT_EQ(rig.held(), "");
}

TEST(MyReadDeviceID, EmptyDeviceFieldsOpenNoKey) {
    for (int which = 0; which < 2; ++which) {
        Rig rig;
        addDriver(rig, "Acme Photo 1", "ACMEPHOTO_1XXXX", "1");
        (which == 0 ? rig.app->m_strMFG : rig.app->m_strMDL).Empty();
        EXPECT_FALSE(rig.app->MyReadDeviceID());
        EXPECT_EQ(rig.trace().back(),
                  which == 0 ? "MFG ==> \"\", MDL ==> \"PHOTO 1\"" : "MFG ==> \"ACME\", MDL ==> \"\"");
        EXPECT_EQ(rig.machine->faults.count("RegOpenKeyExA"), 0);
    }
}

TEST(MyReadDeviceID, GivesUpOrSkipsOnRegistryFailures) {
    struct Case {
        const char* name;
        std::vector<sim::FaultRule> faults;
        bool withSubkeys;
        bool result;
        std::string lastLine;  // the last trace line
        const char* alsoTraced;
    } cases[] = {
        {"no maker key", {}, false, false, "Software\\ACME\\ZervPrinter key open fail", nullptr},
        {"maker key refused",
         {{"RegOpenKeyExA", 1, 1, 5}},
         true,
         false,
         "Software\\ACME\\ZervPrinter key open fail",
         nullptr},
        {"subkey count unreadable",
         {{"RegQueryInfoKeyA", 1, 1, 5}},
         true,
         false,
         "[MyReadDeviceID] End MyReadDeviceID\n\n",
         "Read Driver total 0 number"},
        {"first name not enumerated",
         {{"RegEnumKeyExA", 1, 1, 5}},
         true,
         true,
         "[MyReadDeviceID] End MyReadDeviceID\n\n",
         "Software\\ACME\\ZervPrinter key enumerate faile"},
        {"first subkey refused",
         {{"RegOpenKeyExA", 2, 1, 5}},
         true,
         true,
         "[MyReadDeviceID] End MyReadDeviceID\n\n",
         "Software\\ACME\\ZervPrinter\\Acme Photo 1 key opened fail"},
        {"first DeviceID unreadable",
         {{"RegQueryValueExA", 1, 1, 5}},
         true,
         true,
         "[MyReadDeviceID] End MyReadDeviceID\n\n",
         "Read Driver total 1 number"},
    };
    for (const Case& c : cases) {
        Rig rig;
        if (c.withSubkeys) {
            addDriver(rig, "Acme Photo 1", "ACMEPHOTO_1XXXX", "1");
            addDriver(rig, "Acme Photo 2", "ACMEPHOTO_1XXXX");
        }
        rig.machine->faults.rules = c.faults;
        EXPECT_EQ(rig.app->MyReadDeviceID() != 0, c.result) << c.name;
        EXPECT_EQ(rig.trace().back(), c.lastLine) << c.name;
        if (c.alsoTraced) {
            EXPECT_TRUE(rig.traced(c.alsoTraced)) << c.name;
        }
        if (c.result) {
            // The failure cost the first driver only.
            EXPECT_EQ(rig.app->m_nDriverCount, 1) << c.name;
            EXPECT_EQ(rig.app->m_strDriverNames[0], CString("Acme Photo 2")) << c.name;
            EXPECT_EQ(rig.app->m_strDefaultDriver, CString("")) << c.name;
        }
        EXPECT_EQ(rig.held(), "") << c.name;
    }
}

TEST(MyReadDeviceID, MakerKeyWithoutSubkeysOrFittingDrivers) {
    Rig empty;
    empty.machine->registry.ensure(kMaker);
    EXPECT_FALSE(empty.app->MyReadDeviceID());
    EXPECT_EQ(empty.trace().back(), "Software\\ACME\\ZervPrinter Key open fail");
    EXPECT_EQ(empty.held(), "");

    Rig none;
    addDriver(none, "Other", "OTHERMODELXXXX", "1");
    none.machine->registry.ensure(kMaker + "\\No Values");
    EXPECT_FALSE(none.app->MyReadDeviceID());
    EXPECT_EQ(none.app->m_nDriverCount, 0);
    EXPECT_EQ(none.app->m_strDefaultDriver, CString(""));
    EXPECT_EQ(none.trace().back(), "[MyReadDeviceID] End MyReadDeviceID\n\n");
    EXPECT_EQ(none.held(), "");
}

}  // namespace
