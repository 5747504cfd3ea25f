// The scan of the USB printer interfaces: each printer's device ID and the
// number of its USB port.
#include <algorithm>
#include <cstddef>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"
#include "usb/DeviceId.h"

namespace {

// At most this many interfaces are looked at.
constexpr os::DWORD kMaxInterfaces = 256;
constexpr int kIdBufferSize = 260;

// The device path in a detail record of `size` bytes, never read past its end.
CString DevicePathOf(const os::SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, os::DWORD size) {
    const std::size_t room = size - offsetof(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    std::size_t length = 0;
    while (length < room && detail->DevicePath[length] != '\0') ++length;
    return CString(detail->DevicePath, static_cast<int>(length));
}

}  // namespace

os::BOOL CPrinterPortApp::CheckMSUsb() {
    TraceLog("\n[CheckMSUsb] Get Device ID from MS USB Port");

    // A device information set that could never be released is not asked
    // for: without SetupDiDestroyDeviceInfoList the scan finds no printer.
    if (m_sysUtil.hSetupApi != nullptr && m_sysUtil.lpfnSetupDiDestroyDeviceInfoList == nullptr) {
        TraceLog("[CheckMSUsb] SetupDiDestroyDeviceInfoList is missing: USB printers are not listed");
        TraceLog("[CheckMSUsb] End Get Device ID from MS USB Port\n\n");
        return os::TRUE;
    }

    os::GUID interfaceClass = os::GUID_DEVINTERFACE_USBPRINT;
    os::HDEVINFO deviceInfo = m_sysUtil.GetClassDevs(&interfaceClass, nullptr, nullptr,
                                                     os::DIGCF_PRESENT | os::DIGCF_DEVICEINTERFACE);
    if (deviceInfo == os::INVALID_HANDLE_VALUE) {
        ReportSystemError(os::GetLastError(), "SysUtil-SetupDiGetClassDevs");
        return os::FALSE;
    }

    // Without SetupAPI there is no USB printing support to ask, so no USB
    // printer: the scan ends normally, whatever the last error says.
    const bool noSetupApi = m_sysUtil.hSetupApi == nullptr;

    os::SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof interfaceData;
    for (os::DWORD index = 0; index < kMaxInterfaces && !noSetupApi; ++index) {
        if (!m_sysUtil.EnumDeviceInterfaces(deviceInfo, nullptr, &interfaceClass, index, &interfaceData)) {
            os::DWORD error = os::GetLastError();
            if (error == os::ERROR_NO_MORE_ITEMS) break;
            ReportSystemError(error, "SysUtil-SetupDiEnumDeviceInterfaces");
            m_sysUtil.DestroyDeviceInfoList(deviceInfo);
            return os::FALSE;
        }

        os::DWORD requiredSize = 0;
        if (!m_sysUtil.GetDeviceInterfaceDetail(deviceInfo, &interfaceData, nullptr, 0, &requiredSize, nullptr)) {
            os::DWORD error = os::GetLastError();
            if (error != os::ERROR_INSUFFICIENT_BUFFER) {
                ReportSystemError(error, "SysUtil-SetupDiGetDeviceInterfaceDetail");
                m_sysUtil.DestroyDeviceInfoList(deviceInfo);
                return os::FALSE;
            }
        }

        // Never smaller than the record's fixed part, which is written below
        // even when the sizing call reported no size.
        os::DWORD detailSize =
            std::max<os::DWORD>(requiredSize, sizeof(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A));
        auto* detail = static_cast<os::SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(
            os::GlobalAlloc(os::GMEM_ZEROINIT, detailSize));
        if (!detail) {
            ReportSystemError(os::GetLastError(), "SysUtil-SetupDiGetDeviceInterfaceDetail");
            m_sysUtil.DestroyDeviceInfoList(deviceInfo);
            return os::FALSE;
        }
        detail->cbSize = sizeof(os::SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!m_sysUtil.GetDeviceInterfaceDetail(deviceInfo, &interfaceData, detail, detailSize, &requiredSize,
                                                nullptr)) {
            ReportSystemError(os::GetLastError(), "SysUtil-SetupDiGetDeviceInterfaceDetail");
            m_sysUtil.DestroyDeviceInfoList(deviceInfo);
            os::GlobalFree(detail);
            return os::FALSE;
        }

        char idBuffer[kIdBufferSize] = {};
        CString mfg, mdl, deviceKey;
        if (GetDeviceID(DevicePathOf(detail, detailSize), os::IOCTL_PAR_QUERY_DEVICE_ID, idBuffer) == 0 &&
            ParseDeviceID(idBuffer, &mfg, &mdl, &deviceKey)) {
            m_strMFG = mfg;
            m_strMDL = mdl;
            m_strDeviceKey = deviceKey;

            os::HKEY key = m_sysUtil.OpenDeviceInterfaceRegKey(deviceInfo, &interfaceData, 0, os::KEY_READ);
            if (key == reinterpret_cast<os::HKEY>(os::INVALID_HANDLE_VALUE)) {
                TraceLog("[SysUtil] Get Port Name Fail!");
                ReportSystemError(os::GetLastError(), "SysUtil-SetupDiOpenDeviceInterfaceRegKey");
            } else {
                // A value shorter than 4 bytes fills only the low bytes.
                os::DWORD portNumber = 0;
                os::DWORD type = 0;
                os::DWORD size = sizeof portNumber;
                os::LONG status = os::RegQueryValueExA(key, "Port Number", nullptr, &type,
                                                       reinterpret_cast<os::LPBYTE>(&portNumber), &size);
                if (status != static_cast<os::LONG>(os::ERROR_SUCCESS)) {
                    TraceLog("[SysUtil] Get Port Name Fail!");
                    // Registry calls return their error rather than set the last error.
                    ReportSystemError(static_cast<os::DWORD>(status), "SysUtil-RegQueryValueEx");
                } else {
                    CString portName;
                    portName.Format("USB%03d", static_cast<int>(portNumber));
                    TraceLog("[SysUtil] Port Name is %s", portName);
                    m_strPortName = portName;
                }
                os::RegCloseKey(key);
            }
        }
        os::GlobalFree(detail);
    }

    m_sysUtil.DestroyDeviceInfoList(deviceInfo);
    TraceLog("[CheckMSUsb] End Get Device ID from MS USB Port\n\n");
    return os::TRUE;
}
