#include "app/PrinterPortApp.h"

#include "app/Trace.h"
#include "removal/RetryDeleteDlg.h"

CPrinterPortApp::CPrinterPortApp() : CWinApp(nullptr) {}

CPrinterPortApp::~CPrinterPortApp() = default;

os::BOOL CPrinterPortApp::InitInstance() {
    m_bDriverMissing = 1;
    m_nDriverCount = 0;
    m_strMFG.Empty();
    m_strMDL.Empty();
    m_strDeviceKey.Empty();
    m_strPortName.Empty();
    m_strDefaultDriver.Empty();

    CString commandLine(m_lpCmdLine);
    if (commandLine.GetLength() <= 0) {
        AfxMessageBox("Invalid parameter\nPrinter Name is NULL", os::MB_OK | os::MB_ICONEXCLAMATION);
        return os::FALSE;
    }
    GetOSVersion(&m_osVersion);
    if (m_osVersion.nFamily != OS_FAMILY_WIN9X) {
        AfxMessageBox("Invalid OS\nOS version is not Windows 9x series", os::MB_OK | os::MB_ICONEXCLAMATION);
        return os::FALSE;
    }

    TraceLog("Command line =>> %s", commandLine);
    const bool removed = MyDeleteVirtualPrinter() != 0;

    if (!CheckMSUsb()) {
        TraceLog("       Error read device id from device");
        return os::FALSE;
    }

    if (MyReadDeviceID())
        MyComparePrinterDriverInfo();
    else
        TraceLog("\t\t\tNo device id from registry value");

    if (m_bDriverMissing) {
        MyRunAutoRun();
    } else {
        TraceLog("\t\tAlready installed printer driver");
        TraceLog("\t\tso, Is not running Autorun");
    }

    if (!removed && !MyDeleteVirtualPrinter()) {
        CRetryDeleteDlg dialog(nullptr);
        dialog.m_strPrinterName = commandLine;
        dialog.DoModal();
    }
    return os::FALSE;
}
