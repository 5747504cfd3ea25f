// Any reply of a USB printer to the device ID request: the program reads and
// parses it without reading or writing past a buffer, and the device key
// never exceeds its limit.
#include <cstdio>
#include <cstring>

#include "app/PrinterPortApp.h"
#include "tests/fuzz/fuzz_support.h"
#include "usb/DeviceId.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    sim::Machine machine;
    std::string hex;
    char byte[3];
    for (std::size_t i = 1; i < size && i <= 300; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        hex += byte;
    }
    machine.load(sim::json::parse(R"({"codePage": )" + std::to_string(fuzz::codePageFor(data[0])) +
                                  R"(, "usb": [{"path": "\\\\.\\USB#1", "replyHex": ")" + hex + R"("}]})"),
                 "");
    sim::Session session(machine);
    {
    CPrinterPortApp app;
    char id[260] = {};
    if (app.GetDeviceID("\\\\.\\USB#1", os::IOCTL_PAR_QUERY_DEVICE_ID, id) == 0) {
        if (std::memchr(id, 0, sizeof id) == nullptr) __builtin_trap();
        CString mfg, mdl, key;
        if (ParseDeviceID(id, &mfg, &mdl, &key) && key.GetLength() > kDeviceKeyMax) __builtin_trap();
    }
    }  // the application object gives back the libraries it bound
    // The raw text too, beyond what a reply could carry.
    CString mfg, mdl, key;
    if (ParseDeviceID(fuzz::textOf(data + 1, size - 1), &mfg, &mdl, &key) && key.GetLength() > kDeviceKeyMax)
        __builtin_trap();
    if (machine.held.total() != 0) __builtin_trap();
    return 0;
}
