// Not built yet: the scan fails, so the run ends after the first removal.
#include "app/PrinterPortApp.h"

os::BOOL CPrinterPortApp::CheckMSUsb() { return os::FALSE; }
int CPrinterPortApp::GetDeviceID(CString, os::DWORD, char*) { return static_cast<int>(os::ERROR_NOT_SUPPORTED); }
