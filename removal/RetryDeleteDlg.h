// The hidden dialog that retries the removal of the virtual printer once a
// minute and gives up after five minutes.
#pragma once

#include "platform/cstring.h"
#include "platform/framework.h"
#include "removal/resource.h"

class CRetryDeleteDlg : public CDialog {
public:
    enum { IDD = IDD_RETRYDELETE };
    static constexpr os::UINT_PTR TIMER_TIMEOUT = 1;
    static constexpr os::UINT TIMER_TIMEOUT_MS = 300000;
    static constexpr os::UINT_PTR TIMER_RETRY = 2;
    static constexpr os::UINT TIMER_RETRY_MS = 60000;

    explicit CRetryDeleteDlg(os::HWND parent);
    ~CRetryDeleteDlg() override;

    os::BOOL MyDeleteVirtualPrinter();
    os::BOOL MyFindAndWaitPrinter(CString name);

    os::UINT_PTR m_nTimeoutTimer = 0;
    os::UINT_PTR m_nRetryTimer = 0;
    // The command-line text that names the printer, bare or in double quotes.
    CString m_strPrinterName;

protected:
    void DoDataExchange() override {}
    os::BOOL OnInitDialog() override;
    void OnTimer(os::UINT_PTR id) override;
};
