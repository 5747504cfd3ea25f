// The system libraries of the simulated machine that a program can load by name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/os.h"

namespace sim {

struct Libraries {
    // All libraries and entry points are present unless named here.
    std::vector<std::string> missingLibraries;
    std::vector<std::string> missingEntryPoints;
    // Loaded modules: handle -> library name and load count.
    std::map<os::HMODULE, std::pair<std::string, int>> loaded;
};

// The entry points of the machine's SetupAPI that the program calls through
// GetProcAddress (platform/sim/os_usb.cpp).
os::HDEVINFO OS_WINAPI SetupDiGetClassDevsA(const os::GUID* classGuid, os::LPCSTR enumerator,
                                            os::HWND parent, os::DWORD flags);
os::BOOL OS_WINAPI SetupDiEnumDeviceInterfaces(os::HDEVINFO set, os::SP_DEVINFO_DATA* device,
                                               const os::GUID* interfaceClass, os::DWORD index,
                                               os::SP_DEVICE_INTERFACE_DATA* data);
os::BOOL OS_WINAPI SetupDiGetDeviceInterfaceDetailA(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                                    os::SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail,
                                                    os::DWORD detailSize, os::DWORD* requiredSize,
                                                    os::SP_DEVINFO_DATA* device);
os::HKEY OS_WINAPI SetupDiOpenDeviceInterfaceRegKey(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                                    os::DWORD reserved, os::REGSAM access);
os::BOOL OS_WINAPI SetupDiDestroyDeviceInfoList(os::HDEVINFO set);

}  // namespace sim
