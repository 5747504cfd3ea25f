// Binding of the optional system entry points: what is loaded and looked up,
// the reports for what is missing, and the call operations.
#include <gtest/gtest.h>

#include "binding/SysUtil.h"
#include "tests/support/machine_fixture.h"

using testing_support::machineFrom;

namespace {

const char* const kNoModule = "The specified module could not be found.\r\n";
const char* const kNoProcedure = "The specified procedure could not be found.\r\n";

struct Entry {
    const char* library;
    const char* name;
    const char* label;
};

// In binding order.
const Entry kEntries[] = {
    {"Kernel32.dll", "GetDiskFreeSpaceExA", "SysUtil-GetProcAddress-GetDiskFreeSpaceEx"},
    {"User32.dll", "RegisterDeviceNotificationA", "SysUtil-GetProcAddress-RegisterDeviceNotification"},
    {"User32.dll", "UnregisterDeviceNotification", "SysUtil-GetProcAddress-UnregisterDeviceNotification"},
    {"User32.dll", "GetWindowModuleFileNameA", "SysUtil-GetProcAddress-GetWindowModuleFileNameA"},
    {"SetupAPI.dll", "SetupDiEnumDeviceInterfaces", "SysUtil-GetProcAddress-SetupDiEnumDeviceInterfaces"},
    {"SetupAPI.dll", "SetupDiGetDeviceInterfaceDetailA", "SysUtil-GetProcAddress-SetupDiGetDeviceInterfaceDetail"},
    {"SetupAPI.dll", "SetupDiOpenDeviceInterfaceRegKey", "SysUtil-GetProcAddress-SetupDiOpenDeviceInterfaceRegKey"},
    {"SetupAPI.dll", "SetupDiGetClassDevsA", "SysUtil-GetProcAddress-SetupDiGetClassDevsA"},
    {"SetupAPI.dll", "SetupDiDestroyDeviceInfoList", "SysUtil-GetProcAddress-SetupDiDestroyDeviceInfoList"},
    {"SetupAPI.dll", "SetupDiEnumDeviceInfo", "SysUtil-GetProcAddress-SetupDiEnumDeviceInfo"},
    {"SetupAPI.dll", "SetupDiGetDeviceRegistryPropertyA", "SysUtil-GetProcAddress-SetupDiGetDeviceRegistryPropertyA"},
    {"SetupAPI.dll", "SetupDiSetDeviceRegistryPropertyA", "SysUtil-GetProcAddress-SetupDiSetDeviceRegistryPropertyA"},
    {"SetupAPI.dll", "SetupDiRemoveDevice", "SysUtil-GetProcAddress-SetupDiRemoveDevice"},
    {"SetupAPI.dll", "SetupOpenInfFileA", "SysUtil-GetProcAddress-SetupOpenInfFileA"},
    {"SetupAPI.dll", "SetupGetLineByIndexA", "SysUtil-GetProcAddress-SetupGetLineByIndexA"},
    {"SetupAPI.dll", "SetupGetStringFieldA", "SysUtil-GetProcAddress-SetupGetStringFieldA"},
    {"SetupAPI.dll", "SetupCloseInfFile", "SysUtil-GetProcAddress-SetupCloseInfFile"},
    {"SetupAPI.dll", "SetupGetLineCountA", "SysUtil-GetProcAddress-SetupGetLineCountA"},
    {"SetupAPI.dll", "SetupGetInfFileListA", "SysUtil-GetProcAddress-SetupGetInfFileListA"},
    {"SetupAPI.dll", "SetupGetInfInformationA", "SysUtil-GetProcAddress-lpfnSetupGetInfInformationA"},
    {"SetupAPI.dll", "SetupQueryInfFileInformationA", "SysUtil-GetProcAddress-SetupQueryInfFileInformationA"},
    {"Cfgmgr32.dll", "CM_Locate_DevNode_ExA", "SysUtil-GetProcAddress-CM_Locate_DevNode_ExA"},
    {"Cfgmgr32.dll", "CM_Reenumerate_DevNode_Ex", "SysUtil-GetProcAddress-CM_Reenumerate_DevNode_Ex"},
    {"Cfgmgr32.dll", "CM_Get_Device_IDA", "SysUtil-GetProcAddress-CM_Get_Device_IDA"},
};
constexpr std::size_t kEntryCount = sizeof kEntries / sizeof kEntries[0];

// Which entry pointers are bound, in binding order.
std::vector<bool> bound(const SysUtil& u) {
    return {u.lpfnGetDiskFreeSpaceExA != nullptr,
            u.lpfnRegisterDeviceNotificationA != nullptr,
            u.lpfnUnregisterDeviceNotification != nullptr,
            u.lpfnGetWindowModuleFileNameA != nullptr,
            u.lpfnSetupDiEnumDeviceInterfaces != nullptr,
            u.lpfnSetupDiGetDeviceInterfaceDetailA != nullptr,
            u.lpfnSetupDiOpenDeviceInterfaceRegKey != nullptr,
            u.lpfnSetupDiGetClassDevsA != nullptr,
            u.lpfnSetupDiDestroyDeviceInfoList != nullptr,
            u.lpfnSetupDiEnumDeviceInfo != nullptr,
            u.lpfnSetupDiGetDeviceRegistryPropertyA != nullptr,
            u.lpfnSetupDiSetDeviceRegistryPropertyA != nullptr,
            u.lpfnSetupDiRemoveDevice != nullptr,
            u.lpfnSetupOpenInfFileA != nullptr,
            u.lpfnSetupGetLineByIndexA != nullptr,
            u.lpfnSetupGetStringFieldA != nullptr,
            u.lpfnSetupCloseInfFile != nullptr,
            u.lpfnSetupGetLineCountA != nullptr,
            u.lpfnSetupGetInfFileListA != nullptr,
            u.lpfnSetupGetInfInformationA != nullptr,
            u.lpfnSetupQueryInfFileInformationA != nullptr,
            u.lpfnCM_Locate_DevNode_ExA != nullptr,
            u.lpfnCM_Reenumerate_DevNode_Ex != nullptr,
            u.lpfnCM_Get_Device_IDA != nullptr};
}

std::string report(const std::string& label, const char* text) { return "[" + label + "]" + text + "\n"; }

TEST(SysUtil, EverythingPresentBindsAllWithoutReportAndReleasesAtTheEnd) {
    auto machine = machineFrom("");
    sim::Session session(*machine);
    {
        SysUtil util;
        EXPECT_TRUE(machine->records.reports.empty());
        EXPECT_EQ(bound(util), std::vector<bool>(kEntryCount, true));
        EXPECT_NE(util.hKernel32, nullptr);
        EXPECT_NE(util.hUser32, nullptr);
        EXPECT_NE(util.hSetupApi, nullptr);
        EXPECT_NE(util.hCfgmgr32, nullptr);
        EXPECT_EQ(machine->held.count("libraries"), 4);
        EXPECT_EQ(machine->faults.count("LoadLibraryA"), 4);
        EXPECT_EQ(machine->faults.count("GetProcAddress"), 24);
    }
    EXPECT_EQ(machine->held.count("libraries"), 0);
    EXPECT_EQ(machine->faults.count("FreeLibrary"), 4);
}

TEST(SysUtil, LibrariesAndEntryPointsAreAskedForByExactNameInOrder) {
    auto machine = machineFrom("");
    machine->faults.recording = true;
    sim::Session session(*machine);
    { SysUtil util; }
    std::vector<std::string> expected;
    const char* library = "";
    for (const Entry& e : kEntries) {
        if (std::string(e.library) != library) expected.push_back("LoadLibraryA");
        library = e.library;
        expected.push_back("GetProcAddress");
    }
    expected.insert(expected.end(), 4, "FreeLibrary");
    EXPECT_EQ(machine->faults.log, expected);
}

TEST(SysUtil, AMissingLibraryIsReportedOnceAndItsEntriesStayNull) {
    struct Case {
        const char* listed;  // as the machine file names it
        const char* library;
        const char* label;
    } cases[] = {
        {"Kernel32.dll", "Kernel32.dll", "SysUti-LoadLibrary(Kernel32)"},
        {"USER32.DLL", "User32.dll", "SysUti-LoadLibrary(User32)"},
        {"setupapi.dll", "SetupAPI.dll", "SysUti-LoadLibrary(SetupApi)"},
        {"Cfgmgr32.dll", "Cfgmgr32.dll", "SysUti-LoadLibrary(Cfgmgr32)"},
    };
    for (const Case& c : cases) {
        auto machine = machineFrom(std::string(R"({"missingLibraries": [")") + c.listed + "\"]}");
        sim::Session session(*machine);
        {
            SysUtil util;
            EXPECT_EQ(machine->records.reports, std::vector<std::string>{report(c.label, kNoModule)}) << c.library;
            std::vector<bool> expected;
            for (const Entry& e : kEntries) expected.push_back(std::string(e.library) != c.library);
            EXPECT_EQ(bound(util), expected) << c.library;
            EXPECT_EQ(machine->faults.count("GetProcAddress"), std::count(expected.begin(), expected.end(), true));
            EXPECT_EQ(machine->held.count("libraries"), 3);
        }
        EXPECT_EQ(machine->faults.count("FreeLibrary"), 3) << c.library;
        EXPECT_EQ(machine->held.count("libraries"), 0);
    }
}

TEST(SysUtil, AMissingEntryPointIsReportedWithItsLabelAndTheNextOnesAreStillBound) {
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        auto machine = machineFrom(std::string(R"({"missingEntryPoints": [")") + kEntries[i].name + "\"]}");
        sim::Session session(*machine);
        SysUtil util;
        EXPECT_EQ(machine->records.reports, std::vector<std::string>{report(kEntries[i].label, kNoProcedure)})
            << kEntries[i].name;
        std::vector<bool> expected(kEntryCount, true);
        expected[i] = false;
        EXPECT_EQ(bound(util), expected) << kEntries[i].name;
    }
}

TEST(SysUtil, AFailedLookUpIsReportedWithTheCodeItLeft) {
    // The 8th look-up is SetupDiGetClassDevsA.
    auto machine = machineFrom(R"({"faults": [{"call": "GetProcAddress", "nth": 8, "error": 8}]})");
    sim::Session session(*machine);
    SysUtil util;
    EXPECT_EQ(machine->records.reports,
              std::vector<std::string>{report("SysUtil-GetProcAddress-SetupDiGetClassDevsA",
                                              "Not enough storage is available to process this command.\r\n")});
    EXPECT_EQ(util.lpfnSetupDiGetClassDevsA, nullptr);
    EXPECT_NE(util.lpfnSetupDiDestroyDeviceInfoList, nullptr);
}

TEST(SysUtil, NoLibraryLoadedReportsFourTimesAndFreesNothing) {
    auto machine = machineFrom(R"({"faults": [{"call": "LoadLibraryA", "times": -1, "error": 126}]})");
    sim::Session session(*machine);
    {
        SysUtil util;
        EXPECT_EQ(machine->records.reports,
                  (std::vector<std::string>{report("SysUti-LoadLibrary(Kernel32)", kNoModule),
                                            report("SysUti-LoadLibrary(User32)", kNoModule),
                                            report("SysUti-LoadLibrary(SetupApi)", kNoModule),
                                            report("SysUti-LoadLibrary(Cfgmgr32)", kNoModule)}));
        EXPECT_EQ(bound(util), std::vector<bool>(kEntryCount, false));
        EXPECT_EQ(machine->faults.count("GetProcAddress"), 0);
    }
    EXPECT_EQ(machine->faults.count("FreeLibrary"), 0);
}

TEST(SysUtil, UnboundCallOperationsAnswerZeroAndLeaveTheLastError) {
    auto machine = machineFrom(R"({"missingLibraries": ["SetupAPI.dll"]})");
    sim::Session session(*machine);
    SysUtil util;
    os::GUID usbPrint = os::GUID_DEVINTERFACE_USBPRINT;
    os::SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof data;
    os::DWORD required = 0;
    os::SetLastError(0xBEEF);
    EXPECT_EQ(util.GetClassDevs(&usbPrint, nullptr, nullptr, 0x12), nullptr);
    EXPECT_EQ(util.EnumDeviceInterfaces(nullptr, nullptr, &usbPrint, 0, &data), 0);
    EXPECT_EQ(util.GetDeviceInterfaceDetail(nullptr, &data, nullptr, 0, &required, nullptr), 0);
    EXPECT_EQ(util.OpenDeviceInterfaceRegKey(nullptr, &data, 0, os::KEY_READ), nullptr);
    EXPECT_EQ(util.DestroyDeviceInfoList(nullptr), 0);
    EXPECT_EQ(os::GetLastError(), 0xBEEFu);
    for (const char* call : {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailA",
                             "SetupDiOpenDeviceInterfaceRegKey", "SetupDiDestroyDeviceInfoList"})
        EXPECT_EQ(machine->faults.count(call), 0) << call;
}

TEST(SysUtil, EachCallOperationTestsOnlyItsOwnEntryPoint) {
    // RegisterDeviceNotificationA missing does not keep GetClassDevs from calling.
    auto machine = machineFrom(R"({"missingEntryPoints": ["RegisterDeviceNotificationA"]})");
    sim::Session session(*machine);
    SysUtil util;
    os::GUID usbPrint = os::GUID_DEVINTERFACE_USBPRINT;
    os::HDEVINFO set = util.GetClassDevs(&usbPrint, nullptr, nullptr, 0x12);
    EXPECT_NE(set, nullptr);
    EXPECT_NE(set, os::INVALID_HANDLE_VALUE);
    EXPECT_EQ(machine->held.count("deviceInfoSets"), 1);
    EXPECT_NE(util.DestroyDeviceInfoList(set), 0);
    EXPECT_EQ(machine->held.count("deviceInfoSets"), 0);

    auto noClassDevs = machineFrom(R"({"missingEntryPoints": ["SetupDiGetClassDevsA"]})");
    sim::Session second(*noClassDevs);
    SysUtil without;
    EXPECT_EQ(without.GetClassDevs(&usbPrint, nullptr, nullptr, 0x12), nullptr);
    EXPECT_EQ(noClassDevs->faults.count("SetupDiGetClassDevsA"), 0);
}

}  // namespace
