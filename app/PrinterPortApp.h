// The application object: all state that the worker operations share, and
// the run sequence that does the whole job inside InitInstance.
#pragma once

#include <deque>

#include "app/OsVersion.h"
#include "binding/SysUtil.h"
#include "platform/cstring.h"
#include "platform/framework.h"
#include "platform/os.h"

class CPrinterPortApp : public CWinApp {
public:
    static constexpr int kMaxDriverNames = 10;

    CPrinterPortApp();
    ~CPrinterPortApp() override;

    // The run sequence; always FALSE, so that no message loop follows.
    os::BOOL InitInstance() override;

    // Virtual printer removal (removal/).
    os::BOOL MyDeleteVirtualPrinter();
    os::BOOL MyFindAndWaitPrinter(CString name);

    // USB printer discovery (usb/).
    os::BOOL CheckMSUsb();
    int GetDeviceID(CString devicePath, os::DWORD ioControlCode, char* idBuffer);

    // Driver matching and printer configuration (printers/).
    os::BOOL MyReadDeviceID();
    os::BOOL MyComparePrinterDriverInfo();
    os::BOOL MyComparePrinter(int printerCount, int portCount);
    void MySetPrinter();
    os::BOOL MyAddPrinter(os::PRINTER_INFO_2* record);
    void MySetDefaultPrinter(CString name);

    // Setup launch from CD-ROM (setup/).
    os::BOOL MyRunAutoRun();
    os::BOOL MyRunSetupexe(CString root);

    OsVersion m_osVersion;
    os::PORT_INFO_2* m_pPortInfo = nullptr;
    os::DRIVER_INFO_1* m_pDriverInfo = nullptr;
    os::PRINTER_INFO_2* m_pPrinterInfo = nullptr;
    SysUtil m_sysUtil;
    os::BOOL m_bDriverMissing = 0;
    int m_nDriverCount = 0;
    CString m_strMFG;
    CString m_strMDL;
    CString m_strDeviceKey;
    CString m_strPortName;
    CString m_strDriverNames[kMaxDriverNames];
    CString m_strDefaultDriver;
    // Names of the printers added during one driver comparison: the printer
    // records point at them until the printer buffer is freed.
    std::deque<CString> m_addedPrinterNames;
};
