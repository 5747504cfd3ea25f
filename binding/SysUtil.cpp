#include "binding/SysUtil.h"

#include "app/Trace.h"

namespace {

// Null, after a report with `label`, when the library cannot be loaded.
os::HMODULE Load(const char* name, const char* label) {
    os::HMODULE module = os::LoadLibraryA(name);
    if (!module) ReportSystemError(os::GetLastError(), label);
    return module;
}

// Null, after a report with `label`, when the library lacks the entry point.
template <class Entry = os::FARPROC>
Entry Bind(os::HMODULE module, const char* name, const char* label) {
    os::FARPROC entry = os::GetProcAddress(module, name);
    if (!entry) ReportSystemError(os::GetLastError(), label);
    // Through the generic function pointer type: the entry point really has
    // the type it is bound as.
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(entry));
}

}  // namespace

// The labels are the ones the trace readers know; they do not all follow the
// entry names, so each is spelled out.
SysUtil::SysUtil() {
    hKernel32 = Load("Kernel32.dll", "SysUti-LoadLibrary(Kernel32)");
    if (hKernel32) {
        lpfnGetDiskFreeSpaceExA =
            Bind(hKernel32, "GetDiskFreeSpaceExA", "SysUtil-GetProcAddress-GetDiskFreeSpaceEx");
    }

    hUser32 = Load("User32.dll", "SysUti-LoadLibrary(User32)");
    if (hUser32) {
        lpfnRegisterDeviceNotificationA = Bind(hUser32, "RegisterDeviceNotificationA",
                                               "SysUtil-GetProcAddress-RegisterDeviceNotification");
        lpfnUnregisterDeviceNotification = Bind(hUser32, "UnregisterDeviceNotification",
                                                "SysUtil-GetProcAddress-UnregisterDeviceNotification");
        lpfnGetWindowModuleFileNameA =
            Bind(hUser32, "GetWindowModuleFileNameA", "SysUtil-GetProcAddress-GetWindowModuleFileNameA");
    }

    hSetupApi = Load("SetupAPI.dll", "SysUti-LoadLibrary(SetupApi)");
    if (hSetupApi) {
        lpfnSetupDiEnumDeviceInterfaces = Bind<os::PFN_SetupDiEnumDeviceInterfaces>(
            hSetupApi, "SetupDiEnumDeviceInterfaces", "SysUtil-GetProcAddress-SetupDiEnumDeviceInterfaces");
        lpfnSetupDiGetDeviceInterfaceDetailA = Bind<os::PFN_SetupDiGetDeviceInterfaceDetailA>(
            hSetupApi, "SetupDiGetDeviceInterfaceDetailA", "SysUtil-GetProcAddress-SetupDiGetDeviceInterfaceDetail");
        lpfnSetupDiOpenDeviceInterfaceRegKey = Bind<os::PFN_SetupDiOpenDeviceInterfaceRegKey>(
            hSetupApi, "SetupDiOpenDeviceInterfaceRegKey", "SysUtil-GetProcAddress-SetupDiOpenDeviceInterfaceRegKey");
        lpfnSetupDiGetClassDevsA = Bind<os::PFN_SetupDiGetClassDevsA>(hSetupApi, "SetupDiGetClassDevsA",
                                                                      "SysUtil-GetProcAddress-SetupDiGetClassDevsA");
        lpfnSetupDiDestroyDeviceInfoList = Bind<os::PFN_SetupDiDestroyDeviceInfoList>(
            hSetupApi, "SetupDiDestroyDeviceInfoList", "SysUtil-GetProcAddress-SetupDiDestroyDeviceInfoList");
        lpfnSetupDiEnumDeviceInfo =
            Bind(hSetupApi, "SetupDiEnumDeviceInfo", "SysUtil-GetProcAddress-SetupDiEnumDeviceInfo");
        lpfnSetupDiGetDeviceRegistryPropertyA = Bind(hSetupApi, "SetupDiGetDeviceRegistryPropertyA",
                                                     "SysUtil-GetProcAddress-SetupDiGetDeviceRegistryPropertyA");
        lpfnSetupDiSetDeviceRegistryPropertyA = Bind(hSetupApi, "SetupDiSetDeviceRegistryPropertyA",
                                                     "SysUtil-GetProcAddress-SetupDiSetDeviceRegistryPropertyA");
        lpfnSetupDiRemoveDevice = Bind(hSetupApi, "SetupDiRemoveDevice", "SysUtil-GetProcAddress-SetupDiRemoveDevice");
        lpfnSetupOpenInfFileA = Bind(hSetupApi, "SetupOpenInfFileA", "SysUtil-GetProcAddress-SetupOpenInfFileA");
        lpfnSetupGetLineByIndexA =
            Bind(hSetupApi, "SetupGetLineByIndexA", "SysUtil-GetProcAddress-SetupGetLineByIndexA");
        lpfnSetupGetStringFieldA =
            Bind(hSetupApi, "SetupGetStringFieldA", "SysUtil-GetProcAddress-SetupGetStringFieldA");
        lpfnSetupCloseInfFile = Bind(hSetupApi, "SetupCloseInfFile", "SysUtil-GetProcAddress-SetupCloseInfFile");
        lpfnSetupGetLineCountA = Bind(hSetupApi, "SetupGetLineCountA", "SysUtil-GetProcAddress-SetupGetLineCountA");
        lpfnSetupGetInfFileListA =
            Bind(hSetupApi, "SetupGetInfFileListA", "SysUtil-GetProcAddress-SetupGetInfFileListA");
        lpfnSetupGetInfInformationA =
            Bind(hSetupApi, "SetupGetInfInformationA", "SysUtil-GetProcAddress-lpfnSetupGetInfInformationA");
        lpfnSetupQueryInfFileInformationA = Bind(hSetupApi, "SetupQueryInfFileInformationA",
                                                 "SysUtil-GetProcAddress-SetupQueryInfFileInformationA");
    }

    hCfgmgr32 = Load("Cfgmgr32.dll", "SysUti-LoadLibrary(Cfgmgr32)");
    if (hCfgmgr32) {
        lpfnCM_Locate_DevNode_ExA =
            Bind(hCfgmgr32, "CM_Locate_DevNode_ExA", "SysUtil-GetProcAddress-CM_Locate_DevNode_ExA");
        lpfnCM_Reenumerate_DevNode_Ex =
            Bind(hCfgmgr32, "CM_Reenumerate_DevNode_Ex", "SysUtil-GetProcAddress-CM_Reenumerate_DevNode_Ex");
        lpfnCM_Get_Device_IDA = Bind(hCfgmgr32, "CM_Get_Device_IDA", "SysUtil-GetProcAddress-CM_Get_Device_IDA");
    }
}

SysUtil::~SysUtil() {
    for (os::HMODULE module : {hKernel32, hUser32, hSetupApi, hCfgmgr32})
        if (module) os::FreeLibrary(module);
}

os::HDEVINFO SysUtil::GetClassDevs(const os::GUID* classGuid, os::LPCSTR enumerator, os::HWND parent,
                                   os::DWORD flags) {
    if (!lpfnSetupDiGetClassDevsA) return nullptr;
    return lpfnSetupDiGetClassDevsA(classGuid, enumerator, parent, flags);
}

os::BOOL SysUtil::EnumDeviceInterfaces(os::HDEVINFO set, os::SP_DEVINFO_DATA* device,
                                       const os::GUID* interfaceClass, os::DWORD index,
                                       os::SP_DEVICE_INTERFACE_DATA* data) {
    if (!lpfnSetupDiEnumDeviceInterfaces) return os::FALSE;
    return lpfnSetupDiEnumDeviceInterfaces(set, device, interfaceClass, index, data);
}

os::BOOL SysUtil::GetDeviceInterfaceDetail(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                           os::SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, os::DWORD detailSize,
                                           os::DWORD* requiredSize, os::SP_DEVINFO_DATA* device) {
    if (!lpfnSetupDiGetDeviceInterfaceDetailA) return os::FALSE;
    return lpfnSetupDiGetDeviceInterfaceDetailA(set, data, detail, detailSize, requiredSize, device);
}

os::HKEY SysUtil::OpenDeviceInterfaceRegKey(os::HDEVINFO set, os::SP_DEVICE_INTERFACE_DATA* data,
                                            os::DWORD reserved, os::REGSAM access) {
    if (!lpfnSetupDiOpenDeviceInterfaceRegKey) return nullptr;
    return lpfnSetupDiOpenDeviceInterfaceRegKey(set, data, reserved, access);
}

os::BOOL SysUtil::DestroyDeviceInfoList(os::HDEVINFO set) {
    if (!lpfnSetupDiDestroyDeviceInfoList) return os::FALSE;
    return lpfnSetupDiDestroyDeviceInfoList(set);
}
