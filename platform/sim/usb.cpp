#include "platform/sim/usb.h"

#include <cstdio>
#include <strings.h>

#include "platform/sim/registry.h"

namespace sim {

namespace {

const char* const kInterfaceClassKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\DeviceClasses\\"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";

// "0a 0B ff" or "0a0bff": hex digit pairs, blanks between them allowed.
std::vector<std::uint8_t> readHex(JsonIn& in, const char* key) {
    std::string text = in.str(key);
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ') {
            if (high >= 0) in.failAt(key, "must be pairs of hex digits");
            continue;
        }
        int digit = (c >= '0' && c <= '9') ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
        if (digit < 0) in.failAt(key, "must be pairs of hex digits");
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) in.failAt(key, "must be pairs of hex digits");
    return bytes;
}

std::string writeHex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char pair[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", b);
        text += pair;
    }
    return text;
}

os::DWORD readCode(JsonIn& in, const char* key) {
    long long code = in.integer(key, 0);
    if (code < 0 || code > 0xFFFFFFFFll) in.failAt(key, "must be a system error code (0 or more)");
    return static_cast<os::DWORD>(code);
}

}  // namespace

std::vector<std::uint8_t> UsbPrinter::replyBytes() const {
    if (hasReply) return reply;
    std::vector<std::uint8_t> bytes;
    if (lengthPrefix) {
        // The IEEE 1284 length counts its own two bytes.
        std::size_t length = deviceId.size() + 2;
        bytes.push_back(static_cast<std::uint8_t>(length >> 8));
        bytes.push_back(static_cast<std::uint8_t>(length));
    }
    bytes.insert(bytes.end(), deviceId.begin(), deviceId.end());
    return bytes;
}

std::string UsbPrinter::keyPath() const {
    // The interface's key is named after its path with each backslash made a '#'.
    std::string name = path;
    for (char& c : name)
        if (c == '\\') c = '#';
    return kInterfaceClassKey + name + "\\#\\Device Parameters";
}

bool UsbPrinter::portNumberValue(os::DWORD* number) const {
    if (hasPortNumber) {
        *number = portNumber;
        return true;
    }
    if (!hasPortNumberHex || portNumberHex.size() > 4) return false;
    *number = 0;
    for (std::size_t i = 0; i < portNumberHex.size(); ++i) *number |= os::DWORD(portNumberHex[i]) << (8 * i);
    return true;
}

const UsbPrinter* Usb::findByPath(const std::string& path, std::size_t* index) const {
    for (std::size_t i = 0; i < printers.size(); ++i) {
        if (strcasecmp(printers[i].path.c_str(), path.c_str()) != 0) continue;
        if (index) *index = i;
        return &printers[i];
    }
    return nullptr;
}

void readUsb(const json& value, const std::string& path, Usb& out) {
    out.printers.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        JsonIn in(value[i], path + "[" + std::to_string(i) + "]");
        UsbPrinter p;
        p.path = in.str("path");
        if (p.path.empty()) in.failAt("path", "must be the interface's device path");
        if (out.findByPath(p.path)) in.failAt("path", "names an interface listed before");
        p.deviceId = in.str("deviceId");
        p.lengthPrefix = in.boolean("lengthPrefix", true);
        p.hasReply = in.has("replyHex");
        if (p.hasReply) {
            p.reply = readHex(in, "replyHex");
        } else {
            in.raw("replyHex");
        }
        p.hasPortNumber = in.has("portNumber");
        if (p.hasPortNumber) {
            long long number = in.integer("portNumber");
            if (number < 0 || number > 0xFFFFFFFFll) in.failAt("portNumber", "must be 0 to 4294967295");
            p.portNumber = static_cast<os::DWORD>(number);
        } else {
            in.raw("portNumber");
        }
        p.hasPortNumberHex = in.has("portNumberHex");
        if (p.hasPortNumberHex) {
            if (p.hasPortNumber) in.failAt("portNumberHex", "cannot be given together with portNumber");
            p.portNumberHex = readHex(in, "portNumberHex");
        } else {
            in.raw("portNumberHex");
        }
        p.openError = readCode(in, "openError");
        p.ioctlError = readCode(in, "ioctlError");
        p.keyError = readCode(in, "keyError");
        in.done();
        out.printers.push_back(std::move(p));
    }
}

json writeUsb(const Usb& in) {
    if (in.printers.empty()) return json();
    json list = json::array();
    for (const UsbPrinter& p : in.printers) {
        json item;
        item["path"] = p.path;
        if (p.hasReply) {
            item["replyHex"] = writeHex(p.reply);
        } else {
            item["deviceId"] = p.deviceId;
            if (!p.lengthPrefix) item["lengthPrefix"] = false;
        }
        if (p.hasPortNumber) item["portNumber"] = p.portNumber;
        if (p.hasPortNumberHex) item["portNumberHex"] = writeHex(p.portNumberHex);
        if (p.openError) item["openError"] = p.openError;
        if (p.ioctlError) item["ioctlError"] = p.ioctlError;
        if (p.keyError) item["keyError"] = p.keyError;
        list.push_back(item);
    }
    return list;
}

void addUsbInterfaceKeys(const Usb& usb, Registry& registry) {
    for (const UsbPrinter& p : usb.printers) {
        RegKey& key = registry.ensure(p.keyPath());
        if (p.hasPortNumber) key.setDword("Port Number", p.portNumber);
        if (p.hasPortNumberHex) key.setValue("Port Number", os::REG_BINARY, p.portNumberHex);
    }
}

std::vector<std::string> usbPortNames(const Usb& usb) {
    std::vector<std::string> names;
    for (const UsbPrinter& p : usb.printers) {
        os::DWORD number = 0;
        if (!p.portNumberValue(&number)) continue;
        char name[16];
        std::snprintf(name, sizeof name, "USB%03d", static_cast<int>(number));
        names.emplace_back(name);
    }
    return names;
}

}  // namespace sim
