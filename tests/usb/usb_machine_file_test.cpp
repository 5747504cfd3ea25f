// The machine file's "usb" section: what it puts in the registry and the
// spooler's port list, and the entries it refuses.
#include <gtest/gtest.h>

#include "tests/usb/usb_fixture.h"

using testing_support::machineFrom;
using usb_testing::interfacePath;
using usb_testing::machineWith;
using usb_testing::printer;

namespace {

const char* const kKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\DeviceClasses\\"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##.#USB#VID_0A0B&PID_1001#5&1#"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";

std::vector<std::string> portNames(const sim::Machine& m) {
    std::vector<std::string> names;
    for (const auto& port : m.spooler.ports) names.push_back(port.name);
    return names;
}

TEST(UsbMachineFile, EachInterfaceHasItsKeyAndItsPortIsListed) {
    sim::json noPort = printer(2, "MFG:B;");
    sim::json shortPort = printer(3, "MFG:C;");
    shortPort["portNumberHex"] = "0C";
    auto m = machineFrom(machineWith({printer(1, "MFG:A;", 7), noPort, shortPort}));
    const sim::RegKey* key = m->registry.find(kKey);
    ASSERT_NE(key, nullptr);
    const sim::RegValue* value = key->value("Port Number");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, os::REG_DWORD);
    EXPECT_EQ(value->data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(portNames(*m), (std::vector<std::string>{"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:",
                                                       "FILE:", "USB007", "USB012"}));
}

TEST(UsbMachineFile, GivenPortsAreTheWholeList) {
    auto m = machineFrom(machineWith({printer(1, "MFG:A;", 7)},
                                     {{"spooler", {{"ports", {{{"name", "LPT1:"}, {"type", 3}}}}}}}));
    EXPECT_EQ(portNames(*m), std::vector<std::string>{"LPT1:"});
}

TEST(UsbMachineFile, RefusesEntriesItCannotUse) {
    struct Case {
        sim::json entry;
        const char* where;
    } cases[] = {
        {{{"deviceId", "MFG:A;"}}, "usb[1].path"},
        {{{"path", interfacePath(1)}}, "usb[1].path"},  // listed before
        {{{"path", interfacePath(2)}, {"replyHex", "0G"}}, "usb[1].replyHex"},
        {{{"path", interfacePath(2)}, {"replyHex", "012"}}, "usb[1].replyHex"},
        {{{"path", interfacePath(2)}, {"portNumber", 1}, {"portNumberHex", "01"}}, "usb[1].portNumberHex"},
        {{{"path", interfacePath(2)}, {"portNumber", -1}}, "usb[1].portNumber"},
        {{{"path", interfacePath(2)}, {"openError", -5}}, "usb[1].openError"},
        {{{"path", interfacePath(2)}, {"deviceID", "MFG:A;"}}, "usb[1].deviceID"},
    };
    for (const Case& c : cases) {
        try {
            machineFrom(machineWith({printer(1, "MFG:A;"), c.entry}));
            ADD_FAILURE() << "accepted " << c.entry.dump();
        } catch (const sim::MachineFileError& e) {
            EXPECT_EQ(e.where(), c.where) << c.entry.dump() << ": " << e.what();
        }
    }
}

TEST(UsbMachineFile, IsWrittenBackAsRead) {
    sim::json raw = {{"path", interfacePath(2)}, {"replyHex", "00 05 41 3B 00"}, {"portNumberHex", "01 02"},
                     {"keyError", 5}};
    sim::json plain = printer(1, "MFG:A;MDL:B;");
    plain["lengthPrefix"] = false;
    plain["portNumber"] = 3;
    auto m = machineFrom(machineWith({plain, raw}));
    EXPECT_EQ(m->save()["usb"], sim::json::array({plain, raw}));
}

}  // namespace
