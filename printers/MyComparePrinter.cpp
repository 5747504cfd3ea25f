// Port re-assignment: every local, non-network printer of one matching driver
// moves to the USB port; when none could, one printer is added there.
#include "app/PrinterPortApp.h"
#include "app/Trace.h"

namespace {

constexpr os::DWORD kNetworkPortTypes = os::PORT_TYPE_REDIRECTED | os::PORT_TYPE_NET_ATTACHED;

bool IsLocalPortName(const CString& upperPortName) {
    return upperPortName.Find("LPT") >= 0 || upperPortName.Find("USB") >= 0 ||
           upperPortName.Find("FILE") >= 0 || upperPortName.Find("COM") >= 0;
}

}  // namespace

os::BOOL CPrinterPortApp::MyComparePrinter(int printerCount, int portCount) {
    TraceLog("\n[MyComparePrinter] Start MyComparePrinter");
    CString driverName(m_pDriverInfo->pName);
    driverName.MakeUpper();

    bool inUse = false;
    bool moved = false;
    os::PRINTER_INFO_2* model = nullptr;
    for (int i = 0; i < printerCount; ++i, ++m_pPrinterInfo) {
        os::PRINTER_INFO_2* printer = m_pPrinterInfo;
        bool network = false;
        TraceLog("Read find printer %s", printer->pPrinterName);
        TraceLog("%s printer is used %s pritner dirver", printer->pPrinterName, printer->pDriverName);
        CString printerDriver(printer->pDriverName);
        printerDriver.MakeUpper();
        if (printerDriver != driverName) continue;

        TraceLog("find printer %s is used %s printer driver", printer->pPrinterName, printer->pDriverName);
        CString printerPort(printer->pPortName);
        printerPort.MakeUpper();
        if (IsLocalPortName(printerPort)) {
            TraceLog("%s Printer is Local printer", printer->pPrinterName);
            TraceLog("%s Printer port is finded LPT,USB,FILE,COM", printer->pPrinterName);
        } else {
            network = true;
            TraceLog("%s Printer is network printer", printer->pPrinterName);
        }
        TraceLog("%s Printer is used port => %s", printer->pPrinterName, printerPort);
        TraceLog("%s Printer is getted attributes => %X", printer->pPrinterName, printer->Attributes);
        TraceLog("Bit and operation result => %X", printer->Attributes & os::PRINTER_ATTRIBUTE_NETWORK);
        if (printer->Attributes & os::PRINTER_ATTRIBUTE_NETWORK) {
            network = true;
            TraceLog("%s Printer is network printer", printer->pPrinterName);
        } else {
            TraceLog("%s Printer is local printer", printer->pPrinterName);
        }

        TraceLog("%s driver is used printer %s to find", printer->pDriverName, printer->pPrinterName);
        for (int j = 0; j < portCount; ++j) {
            const os::PORT_INFO_2& port = m_pPortInfo[j];
            TraceLog("Search Port Information structure");
            CString portName(port.pPortName);
            portName.MakeUpper();
            TraceLog("Compare %s to %s ", printerPort, portName);
            if (portName != printerPort) {
                TraceLog("%s is missmatch %s", portName, printerPort);
                continue;
            }
            TraceLog("%s port is matched", printerPort);
            TraceLog("%s port is network port??", printer->pPortName);
            TraceLog("%s port type is => %X", printer->pPortName, port.fPortType);
            TraceLog("Network Port type => %X", kNetworkPortTypes);
            if (network || (port.fPortType & kNetworkPortTypes)) {
                TraceLog("Skip %s port is network port", port.pPortName);
            } else {
                TraceLog("Change port name form %s to %s", printer->pPortName, m_strPortName);
                TraceLog("MySetPrinter function is called");
                MySetPrinter();
                TraceLog("%s Printer port is changed from %s to %s", printer->pPrinterName, port.pPortName,
                         m_strPortName);
                // A move counts even when the spooler refused it.
                moved = true;
            }
            break;
        }

        if (!(moved && inUse)) model = printer;
        inUse = true;
    }

    if (inUse && !moved) {
        TraceLog("MyAddPrinter function is called");
        if (MyAddPrinter(model)) moved = true;
    }
    TraceLog("[MyComparePrinter] End MyComparePrinter\n\n");
    return moved ? os::TRUE : os::FALSE;
}
