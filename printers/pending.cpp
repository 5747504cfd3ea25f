// Not built yet: no driver is found.
#include "app/PrinterPortApp.h"

os::BOOL CPrinterPortApp::MyReadDeviceID() { return os::FALSE; }
os::BOOL CPrinterPortApp::MyComparePrinterDriverInfo() { return os::FALSE; }
os::BOOL CPrinterPortApp::MyComparePrinter(int, int) { return os::FALSE; }
void CPrinterPortApp::MySetPrinter() {}
os::BOOL CPrinterPortApp::MyAddPrinter(os::PRINTER_INFO_2*) { return os::FALSE; }
void CPrinterPortApp::MySetDefaultPrinter(CString) {}
