// Not built yet: the removal reports failure without touching the spooler.
#include "app/PrinterPortApp.h"
#include "removal/RetryDeleteDlg.h"

os::BOOL CPrinterPortApp::MyDeleteVirtualPrinter() { return os::FALSE; }
os::BOOL CPrinterPortApp::MyFindAndWaitPrinter(CString) { return os::FALSE; }
CRetryDeleteDlg::CRetryDeleteDlg(os::HWND parent) : CDialog(IDD, parent) {}
CRetryDeleteDlg::~CRetryDeleteDlg() = default;
os::BOOL CRetryDeleteDlg::MyDeleteVirtualPrinter() { return os::FALSE; }
os::BOOL CRetryDeleteDlg::MyFindAndWaitPrinter(CString) { return os::FALSE; }
os::BOOL CRetryDeleteDlg::OnInitDialog() {
    EndDialog(0);
    return os::TRUE;
}
void CRetryDeleteDlg::OnTimer(os::UINT_PTR) {}
