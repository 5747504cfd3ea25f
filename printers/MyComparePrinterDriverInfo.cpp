// The installed-driver comparison: which of the maker's fitting drivers are
// installed, and the port re-assignment for each one that is.
#include <algorithm>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"

os::BOOL CPrinterPortApp::MyComparePrinterDriverInfo() {
    TraceLog("\n[MyComparePrinterDriverInfo] Start MyComparePrinterDriverInfo");

    os::DWORD portSize = 0, driverSize = 0, printerSize = 0;
    os::DWORD portCount = 0, driverCount = 0, printerCount = 0;
    os::EnumPortsA(nullptr, 2, nullptr, 0, &portSize, &portCount);
    os::EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &driverSize, &driverCount);
    os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &printerSize, &printerCount);
    if (portSize == 0 || driverSize == 0 || printerSize == 0) {
        TraceLog("Get structure size is failed");
        return os::FALSE;
    }

    auto* ports = static_cast<os::LPBYTE>(os::GlobalAlloc(os::GMEM_ZEROINIT, portSize));
    auto* drivers = static_cast<os::LPBYTE>(os::GlobalAlloc(os::GMEM_ZEROINIT, driverSize));
    auto* printers = static_cast<os::LPBYTE>(os::GlobalAlloc(os::GMEM_ZEROINIT, printerSize));
    auto release = [&]() {
        if (ports) os::GlobalFree(ports);
        if (drivers) os::GlobalFree(drivers);
        if (printers) os::GlobalFree(printers);
        // The records die with their buffers, and so do the names of added printers.
        m_pPortInfo = nullptr;
        m_pDriverInfo = nullptr;
        m_pPrinterInfo = nullptr;
        m_addedPrinterNames.clear();
    };
    if (!ports || !drivers || !printers) {
        TraceLog("Alloc memory is failed");
        release();
        return os::FALSE;
    }
    m_pPortInfo = reinterpret_cast<os::PORT_INFO_2*>(ports);
    m_pDriverInfo = reinterpret_cast<os::DRIVER_INFO_1*>(drivers);
    m_pPrinterInfo = reinterpret_cast<os::PRINTER_INFO_2*>(printers);

    portCount = 0;
    bool listed = os::EnumPortsA(nullptr, 2, ports, portSize, &portSize, &portCount) != 0;
    if (listed) {
        printerCount = 0;
        listed = os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, printers, printerSize, &printerSize,
                                   &printerCount) != 0;
    }
    if (listed) {
        driverCount = 0;
        listed =
            os::EnumPrinterDriversA(nullptr, nullptr, 1, drivers, driverSize, &driverSize, &driverCount) != 0;
    }
    if (!listed) {
        os::DWORD error = os::GetLastError();
        TraceLog("Fail EnumPrinterDrivers");
        ReportSystemError(error, "MyComparePrinterDriverInfo");
        release();
        return os::FALSE;
    }
    if (portSize == 0 || driverSize == 0 || printerSize == 0) {
        TraceLog("Read spool information fail");
        release();
        return os::FALSE;
    }

    os::BOOL changed = os::FALSE;
    auto* firstPrinter = reinterpret_cast<os::PRINTER_INFO_2*>(printers);
    const int registryNames = std::min(m_nDriverCount, kMaxDriverNames);
    for (os::DWORD d = 0; d < driverCount; ++d, ++m_pDriverInfo) {
        CString installed(m_pDriverInfo->pName);
        TraceLog("Read driver name from info structure => %s", installed);
        installed.MakeUpper();
        m_pPrinterInfo = firstPrinter;
        for (int r = 0; r < registryNames; ++r) {
            CString fromRegistry(m_strDriverNames[r]);
            fromRegistry.MakeUpper();
            TraceLog("Read priner driver form registry key => %s", fromRegistry);
            TraceLog("Compare %s to %s", installed, fromRegistry);
            if (installed.CompareNoCase(fromRegistry) == 0) {
                TraceLog("%s driver(from read registry) compare result is matched", fromRegistry);
                m_bDriverMissing = 0;
                m_pPrinterInfo = firstPrinter;
                if (MyComparePrinter(static_cast<int>(printerCount), static_cast<int>(portCount)))
                    changed = os::TRUE;
            } else {
                TraceLog("%s driver(from read registry) compare result is missmatched", fromRegistry);
            }
        }
    }
    TraceLog("All driver information is compared");
    release();
    TraceLog("[MyComparePrinterDriverInfo] End MyComparePrinterDriverInfo\n\n");
    return changed;
}
