// Not built yet: no CD-ROM is examined.
#include "app/PrinterPortApp.h"

os::BOOL CPrinterPortApp::MyRunAutoRun() { return os::FALSE; }
os::BOOL CPrinterPortApp::MyRunSetupexe(CString) { return os::FALSE; }
