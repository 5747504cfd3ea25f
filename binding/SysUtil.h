// Run-time binding of the optional system entry points: SetupAPI, the
// configuration manager, device notification and the disk query. A library
// or entry point the installation lacks is reported and stays null; the
// call operations answer 0 for it.
#pragma once

#include "platform/os.h"

class SysUtil {
public:
    SysUtil();
    virtual ~SysUtil();
    SysUtil(const SysUtil&) = delete;
    SysUtil& operator=(const SysUtil&) = delete;

    // Each passes its arguments to the bound entry point and returns its
    // result; unbound: calls nothing, returns 0 and leaves the last error.
    os::HDEVINFO GetClassDevs(const os::GUID* classGuid, os::LPCSTR enumerator, os::HWND parent,
                              os::DWORD flags);
    os::BOOL EnumDeviceInterfaces(os::HDEVINFO set, os::SP_DEVINFO_DATA* device, const os::GUID* interfaceClass,
                                  os::DWORD index, os::SP_DEVICE_INTERFACE_DATA* data);
    os::BOOL GetDeviceInterfaceDetail(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                      os::SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, os::DWORD detailSize,
                                      os::DWORD* requiredSize, os::SP_DEVINFO_DATA* device);
    os::HKEY OpenDeviceInterfaceRegKey(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data, os::DWORD reserved,
                                       os::REGSAM access);
    os::BOOL DestroyDeviceInfoList(os::HDEVINFO set);

    os::HMODULE hKernel32 = nullptr;
    os::HMODULE hUser32 = nullptr;
    os::HMODULE hSetupApi = nullptr;
    os::HMODULE hCfgmgr32 = nullptr;
    // Entry points that nothing calls are held untyped.
    os::FARPROC lpfnGetDiskFreeSpaceExA = nullptr;
    os::FARPROC lpfnUnregisterDeviceNotification = nullptr;
    os::FARPROC lpfnGetWindowModuleFileNameA = nullptr;
    os::PFN_SetupDiEnumDeviceInterfaces lpfnSetupDiEnumDeviceInterfaces = nullptr;
    os::PFN_SetupDiGetDeviceInterfaceDetailA lpfnSetupDiGetDeviceInterfaceDetailA = nullptr;
    os::PFN_SetupDiOpenDeviceInterfaceRegKey lpfnSetupDiOpenDeviceInterfaceRegKey = nullptr;
    os::FARPROC lpfnRegisterDeviceNotificationA = nullptr;
    os::PFN_SetupDiGetClassDevsA lpfnSetupDiGetClassDevsA = nullptr;
    os::PFN_SetupDiDestroyDeviceInfoList lpfnSetupDiDestroyDeviceInfoList = nullptr;
    os::FARPROC lpfnSetupDiEnumDeviceInfo = nullptr;
    os::FARPROC lpfnSetupDiGetDeviceRegistryPropertyA = nullptr;
    os::FARPROC lpfnSetupDiSetDeviceRegistryPropertyA = nullptr;
    os::FARPROC lpfnSetupDiRemoveDevice = nullptr;
    os::FARPROC lpfnSetupOpenInfFileA = nullptr;
    os::FARPROC lpfnSetupGetLineByIndexA = nullptr;
    os::FARPROC lpfnSetupGetStringFieldA = nullptr;
    os::FARPROC lpfnSetupCloseInfFile = nullptr;
    os::FARPROC lpfnSetupGetLineCountA = nullptr;
    os::FARPROC lpfnSetupGetInfFileListA = nullptr;
    os::FARPROC lpfnSetupGetInfInformationA = nullptr;
    os::FARPROC lpfnSetupQueryInfFileInformationA = nullptr;
    os::FARPROC lpfnCM_Locate_DevNode_ExA = nullptr;
    os::FARPROC lpfnCM_Reenumerate_DevNode_Ex = nullptr;
    os::FARPROC lpfnCM_Get_Device_IDA = nullptr;
};
