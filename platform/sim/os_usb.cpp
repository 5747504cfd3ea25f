// Simulated device I/O (CreateFileA, DeviceIoControl) and the SetupAPI
// device-interface functions, over the machine's USB printer interfaces.
#include <cstddef>
#include <cstring>

#include "platform/sim/machine.h"

namespace {

constexpr os::DWORD kErrorInvalidUserBuffer = 1784;
constexpr os::DWORD kSpintActive = 1;

bool sameGuid(const os::GUID& a, const os::GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

sim::DeviceInfoSet* findSet(os::HDEVINFO set) {
    auto& sets = sim::machine().usb.sets;
    auto it = sets.find(set);
    return it == sets.end() ? nullptr : &it->second;
}

// The printer behind an interface record that the set handed out; null (with
// the last error set) when the set or the record is not valid.
const sim::UsbPrinter* interfaceOf(os::HDEVINFO set, const os::SP_DEVICE_INTERFACE_DATA* data) {
    sim::Machine& m = sim::machine();
    const sim::DeviceInfoSet* s = findSet(set);
    if (!s) {
        m.lastError = os::ERROR_INVALID_HANDLE;
        return nullptr;
    }
    // Reserved holds the position in the set, plus one, so that 0 is never valid.
    if (!data || data->cbSize != sizeof(os::SP_DEVICE_INTERFACE_DATA) || data->Reserved == 0 ||
        data->Reserved > s->interfaces.size()) {
        m.lastError = os::ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    return &m.usb.printers[s->interfaces[data->Reserved - 1]];
}

os::HKEY invalidKey() { return reinterpret_cast<os::HKEY>(os::INVALID_HANDLE_VALUE); }

}  // namespace

namespace os {

HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("CreateFileA")) return INVALID_HANDLE_VALUE;
    std::size_t index = 0;
    const sim::UsbPrinter* printer = path ? m.usb.findByPath(path, &index) : nullptr;
    if (!printer) {
        m.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if (printer->openError) {
        m.lastError = printer->openError;
        return INVALID_HANDLE_VALUE;
    }
    return m.openKernelHandle("files", index);
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize, LPDWORD returned,
                     void* overlapped) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("DeviceIoControl")) return FALSE;
    const auto* object = m.kernelObject(device);
    if (!object || object->kind != "files") {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    // Without an overlapped record the count of returned bytes is required.
    if (!returned && !overlapped) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (returned) *returned = 0;
    const sim::UsbPrinter& printer = m.usb.printers[object->index];
    if (printer.ioctlError) {
        m.lastError = printer.ioctlError;
        return FALSE;
    }
    if (code != IOCTL_PAR_QUERY_DEVICE_ID) {
        m.lastError = ERROR_NOT_SUPPORTED;
        return FALSE;
    }
    // The class driver answers a buffer too small for the whole ID with
    // STATUS_BUFFER_TOO_SMALL and returns nothing.
    std::vector<std::uint8_t> reply = printer.replyBytes();
    if (!out || outSize < reply.size()) {
        m.lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    if (!reply.empty()) std::memcpy(out, reply.data(), reply.size());
    if (returned) *returned = static_cast<DWORD>(reply.size());
    return TRUE;
}

}  // namespace os

namespace sim {

os::HDEVINFO OS_WINAPI SetupDiGetClassDevsA(const os::GUID* classGuid, os::LPCSTR, os::HWND, os::DWORD flags) {
    Machine& m = machine();
    if (failCall("SetupDiGetClassDevsA")) return os::INVALID_HANDLE_VALUE;
    if (!classGuid) {
        m.lastError = os::ERROR_INVALID_PARAMETER;
        return os::INVALID_HANDLE_VALUE;
    }
    DeviceInfoSet set;
    // Every attached printer's interface is present; the machine has no other devices.
    if ((flags & os::DIGCF_DEVICEINTERFACE) && sameGuid(*classGuid, os::GUID_DEVINTERFACE_USBPRINT))
        for (std::size_t i = 0; i < m.usb.printers.size(); ++i) set.interfaces.push_back(i);
    auto handle = reinterpret_cast<os::HDEVINFO>(m.usb.nextSet);
    m.usb.nextSet += 4;
    m.usb.sets[handle] = set;
    m.held.acquire("deviceInfoSets");
    return handle;
}

os::BOOL OS_WINAPI SetupDiEnumDeviceInterfaces(os::HDEVINFO set, os::SP_DEVINFO_DATA*, const os::GUID* interfaceClass,
                                               os::DWORD index, os::SP_DEVICE_INTERFACE_DATA* data) {
    Machine& m = machine();
    if (failCall("SetupDiEnumDeviceInterfaces")) return os::FALSE;
    const DeviceInfoSet* s = findSet(set);
    if (!s) {
        m.lastError = os::ERROR_INVALID_HANDLE;
        return os::FALSE;
    }
    if (!interfaceClass) {
        m.lastError = os::ERROR_INVALID_PARAMETER;
        return os::FALSE;
    }
    if (!data || data->cbSize != sizeof(os::SP_DEVICE_INTERFACE_DATA)) {
        m.lastError = kErrorInvalidUserBuffer;
        return os::FALSE;
    }
    if (!sameGuid(*interfaceClass, os::GUID_DEVINTERFACE_USBPRINT) || index >= s->interfaces.size()) {
        m.lastError = os::ERROR_NO_MORE_ITEMS;
        return os::FALSE;
    }
    data->InterfaceClassGuid = os::GUID_DEVINTERFACE_USBPRINT;
    data->Flags = kSpintActive;
    data->Reserved = index + 1;
    return os::TRUE;
}

os::BOOL OS_WINAPI SetupDiGetDeviceInterfaceDetailA(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                                    os::SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail,
                                                    os::DWORD detailSize, os::DWORD* requiredSize,
                                                    os::SP_DEVINFO_DATA* device) {
    Machine& m = machine();
    if (failCall("SetupDiGetDeviceInterfaceDetailA")) return os::FALSE;
    const UsbPrinter* printer = interfaceOf(set, data);
    if (!printer) return os::FALSE;
    if ((detail && detail->cbSize != sizeof(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A)) || (!detail && detailSize != 0)) {
        m.lastError = kErrorInvalidUserBuffer;
        return os::FALSE;
    }
    const os::DWORD needed =
        static_cast<os::DWORD>(offsetof(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + printer->path.size() + 1);
    if (requiredSize) *requiredSize = needed;
    if (!detail || detailSize < needed) {
        m.lastError = os::ERROR_INSUFFICIENT_BUFFER;
        return os::FALSE;
    }
    if (device) {
        if (device->cbSize != sizeof(os::SP_DEVINFO_DATA)) {
            m.lastError = kErrorInvalidUserBuffer;
            return os::FALSE;
        }
        device->ClassGuid = os::GUID{};
        device->DevInst = static_cast<os::DWORD>(data->Reserved);
    }
    std::memcpy(detail->DevicePath, printer->path.c_str(), printer->path.size() + 1);
    return os::TRUE;
}

os::HKEY OS_WINAPI SetupDiOpenDeviceInterfaceRegKey(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                                    os::DWORD, os::REGSAM) {
    Machine& m = machine();
    if (failCall("SetupDiOpenDeviceInterfaceRegKey")) return invalidKey();
    const UsbPrinter* printer = interfaceOf(set, data);
    if (!printer) return invalidKey();
    if (printer->keyError) {
        m.lastError = printer->keyError;
        return invalidKey();
    }
    // Every interface's key was made when the machine was loaded.
    return m.registry.openHandle(m.registry.ensure(printer->keyPath()));
}

os::BOOL OS_WINAPI SetupDiDestroyDeviceInfoList(os::HDEVINFO set) {
    Machine& m = machine();
    if (failCall("SetupDiDestroyDeviceInfoList")) return os::FALSE;
    if (m.usb.sets.erase(set) == 0) {
        m.lastError = os::ERROR_INVALID_HANDLE;
        return os::FALSE;
    }
    m.held.release("deviceInfoSets");
    return os::TRUE;
}

}  // namespace sim
