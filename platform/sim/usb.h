// The simulated machine's USB printing support: the USB printer interfaces
// that SetupAPI lists, the device ID each printer answers, and the
// interface's registry key with its "Port Number".
//
// Machine file:
//   "usb": [{"path": "\\\\.\\USB#VID_0A0B&PID_0001#5&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
//            "deviceId": "MFG:Acme;MDL:Photo 1;CLS:PRINTER;", "lengthPrefix": true,
//            "replyHex": null, "portNumber": 1, "portNumberHex": null,
//            "openError": 0, "ioctlError": 0, "keyError": 0}]
// The device ID is answered with its two length bytes (most significant
// first, counting themselves) unless `lengthPrefix` is false; `replyHex` gives
// the exact reply bytes instead. Without `portNumber` or `portNumberHex` the
// interface key has no "Port Number" value; `portNumberHex` gives its raw
// bytes (REG_BINARY). Each `*Error` makes that step fail with that code:
// CreateFileA, DeviceIoControl, SetupDiOpenDeviceInterfaceRegKey.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/sim/json_in.h"

namespace sim {

class Registry;

struct UsbPrinter {
    std::string path;
    std::string deviceId;
    bool lengthPrefix = true;
    bool hasReply = false;
    std::vector<std::uint8_t> reply;  // replyHex
    bool hasPortNumber = false;
    os::DWORD portNumber = 0;
    bool hasPortNumberHex = false;
    std::vector<std::uint8_t> portNumberHex;
    os::DWORD openError = 0;
    os::DWORD ioctlError = 0;
    os::DWORD keyError = 0;

    // What the device answers to the device ID request.
    std::vector<std::uint8_t> replyBytes() const;
    // The full registry path of the interface's "Device Parameters" key.
    std::string keyPath() const;
    // The port number the program reads, when the value exists and fits 4 bytes.
    bool portNumberValue(os::DWORD* number) const;
};

// A device information set: the interfaces it holds, by index into `printers`.
struct DeviceInfoSet {
    std::vector<std::size_t> interfaces;
};

struct Usb {
    std::vector<UsbPrinter> printers;  // in enumeration order
    std::map<os::HDEVINFO, DeviceInfoSet> sets;
    std::uintptr_t nextSet = 0x7000;

    // The printer whose interface path is `path` (letter case ignored); null when none.
    const UsbPrinter* findByPath(const std::string& path, std::size_t* index = nullptr) const;
};

void readUsb(const json& value, const std::string& path, Usb& out);
json writeUsb(const Usb& in);

// Creates each interface's registry key, with its "Port Number" value when it has one.
void addUsbInterfaceKeys(const Usb& usb, Registry& registry);
// "USB%03d" of each printer that has a port number, in enumeration order.
std::vector<std::string> usbPortNames(const Usb& usb);

}  // namespace sim
