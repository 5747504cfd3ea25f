#include "removal/RetryDeleteDlg.h"

#include "removal/VirtualPrinterRemoval.h"

CRetryDeleteDlg::CRetryDeleteDlg(os::HWND parent) : CDialog(IDD, parent) {}

CRetryDeleteDlg::~CRetryDeleteDlg() = default;

os::BOOL CRetryDeleteDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nTimeoutTimer = 0;
    m_nRetryTimer = 0;

    // Out of sight: no taskbar button, and mouse clicks go through it.
    os::LONG exStyle = os::GetWindowLongA(m_hWnd, os::GWL_EXSTYLE);
    os::LONG hiddenStyle = static_cast<os::LONG>((static_cast<os::DWORD>(exStyle) & ~os::WS_EX_APPWINDOW) |
                                                 os::WS_EX_TRANSPARENT);
    if (hiddenStyle != exStyle) {
        os::SetWindowLongA(m_hWnd, os::GWL_EXSTYLE, hiddenStyle);
        os::SetWindowPos(
            m_hWnd, nullptr, 0, 0, 0, 0,
            os::SWP_NOSIZE | os::SWP_NOMOVE | os::SWP_NOZORDER | os::SWP_NOACTIVATE | os::SWP_HIDEWINDOW);
    }
    os::ShowWindow(m_hWnd, os::SW_HIDE);

    m_nTimeoutTimer = SetTimer(TIMER_TIMEOUT, TIMER_TIMEOUT_MS);
    m_nRetryTimer = SetTimer(TIMER_RETRY, TIMER_RETRY_MS);
    // Without both timers the dialog could wait for ever, unseen: give up now.
    if (!m_nTimeoutTimer || !m_nRetryTimer) {
        if (m_nTimeoutTimer) KillTimer(m_nTimeoutTimer);
        if (m_nRetryTimer) KillTimer(m_nRetryTimer);
        EndDialog(0);
    }
    return os::TRUE;
}

void CRetryDeleteDlg::OnTimer(os::UINT_PTR id) {
    if (id == TIMER_TIMEOUT) {
        EndDialog(0);
        KillTimer(m_nTimeoutTimer);
        KillTimer(m_nRetryTimer);
    } else if (MyDeleteVirtualPrinter()) {
        EndDialog(1);
        KillTimer(m_nTimeoutTimer);
        KillTimer(m_nRetryTimer);
    }
    CDialog::OnTimer(id);
}

os::BOOL CRetryDeleteDlg::MyDeleteVirtualPrinter() {
    removal::Hooks hooks;
    hooks.findPrinter = [this](CString name) { return MyFindAndWaitPrinter(name); };
    hooks.endForUnusableName = [this] { EndDialog(0); };
    // The dialog's own copy, so that the text stays put whatever the caller does.
    CString commandText = m_strPrinterName;
    return removal::DeleteVirtualPrinter(commandText, removal::Variant::RetryDialog, hooks);
}

os::BOOL CRetryDeleteDlg::MyFindAndWaitPrinter(CString name) {
    return removal::FindListedPrinter(name);
}
