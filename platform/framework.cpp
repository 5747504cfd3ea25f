#include "platform/framework.h"

#include <map>

namespace {

CWinApp* g_app = nullptr;

// The message that a message loop of this thread took last; the default exit
// hook returns its wParam.
struct LastMessage {
    bool taken = false;
    os::MSG msg{};
} g_last;

std::map<os::HWND, CDialog*>& dialogs() {
    static std::map<os::HWND, CDialog*> map;
    return map;
}

CString baseName(const char* path) {
    CString name(path);
    int slash = -1;
    for (int i = name.Find('\\'); i >= 0; i = name.Find('\\', i + 1)) slash = i;
    for (int i = name.Find('/'); i >= 0; i = name.Find('/', i + 1))
        if (i > slash) slash = i;
    name = name.Mid(slash + 1);
    int dot = -1;
    for (int i = name.Find('.'); i >= 0; i = name.Find('.', i + 1)) dot = i;
    return dot >= 0 ? name.Left(dot) : name;
}

}  // namespace

const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') p += (os::IsDBCSLeadByte(static_cast<os::BYTE>(*p)) && p[1]) ? 2 : 1;
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ')
            p += (os::IsDBCSLeadByte(static_cast<os::BYTE>(*p)) && p[1]) ? 2 : 1;
    }
    while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}

CWinApp::CWinApp(const char* appName) {
    if (appName) {
        m_appName = appName;
    } else {
        char path[os::MAX_PATH] = {};
        os::GetModuleFileNameA(nullptr, path, os::MAX_PATH);
        m_appName = baseName(path);
    }
    m_pszAppName = m_appName.c_str();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::ExitInstance() { return g_last.taken ? static_cast<int>(g_last.msg.wParam) : 0; }

int CWinApp::Run() {
    g_last = LastMessage{};
    m_cmdLine = SkipProgramName(os::GetCommandLineA());
    m_lpCmdLine = m_cmdLine.c_str();
    InitInstance();
    // A windowless program never runs a message loop of its own.
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }

int AfxMessageBox(const char* text, os::UINT type) {
    const char* caption = g_app ? g_app->m_pszAppName : "";
    return os::MessageBoxA(nullptr, text, caption, type);
}

CDialog::CDialog(os::UINT templateId, os::HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd) {
        dialogs().erase(m_hWnd);
        os::DestroyWindow(m_hWnd);
    }
}

os::BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return os::TRUE;
}

void CDialog::OnTimer(os::UINT_PTR) { Default(); }

os::UINT_PTR CDialog::SetTimer(os::UINT_PTR id, os::UINT elapseMs) {
    return os::SetTimer(m_hWnd, id, elapseMs, nullptr);
}

os::BOOL CDialog::KillTimer(os::UINT_PTR id) { return os::KillTimer(m_hWnd, id); }

void CDialog::EndDialog(int result) {
    m_result = result;
    m_modal = false;
    if (m_hWnd) os::EndDialog(m_hWnd, result);
}

os::LRESULT CDialog::DoModal() {
    m_result = -1;
    m_modal = true;
    os::HWND window = os::CreateDialogParamA(nullptr, m_templateId, m_parent, &CDialog::DialogProc,
                                             reinterpret_cast<os::LPARAM>(this));
    if (!window) {
        m_modal = false;
        return -1;
    }
    m_hWnd = window;
    dialogs()[window] = this;
    while (m_modal) {
        os::MSG msg{};
        int got = os::GetMessageA(&msg, nullptr, 0, 0);
        if (got < 0) break;  // the queue failed: nothing more can come
        g_last.taken = true;
        g_last.msg = msg;
        if (got == 0) break;  // WM_QUIT
        if (!os::IsDialogMessageA(window, &msg)) {
            os::TranslateMessage(&msg);
            os::DispatchMessageA(&msg);
        }
    }
    m_modal = false;
    dialogs().erase(window);
    os::DestroyWindow(window);
    m_hWnd = nullptr;
    return m_result;
}

os::LONG_PTR CDialog::Handle(os::UINT message, os::WPARAM wParam) {
    switch (message) {
    case os::WM_TIMER:
        OnTimer(wParam);
        return os::FALSE;
    case os::WM_COMMAND:
        if ((wParam & 0xFFFF) == static_cast<os::WPARAM>(os::IDOK)) {
            OnOK();
            return os::TRUE;
        }
        if ((wParam & 0xFFFF) == static_cast<os::WPARAM>(os::IDCANCEL)) {
            OnCancel();
            return os::TRUE;
        }
        return os::FALSE;
    default:
        return os::FALSE;
    }
}

os::LONG_PTR OS_WINAPI CDialog::DialogProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                           os::LPARAM lParam) {
    if (message == os::WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        dialogs()[window] = dialog;
        return dialog->OnInitDialog();
    }
    auto found = dialogs().find(window);
    return found == dialogs().end() ? os::FALSE : found->second->Handle(message, wParam);
}
