// A small application framework in the manner of the classic Windows one:
// an application object with an initialisation hook and an exit hook, the
// modal message box, and modal dialogs run by the framework's own loop.
#pragma once

#include "platform/cstring.h"
#include "platform/os.h"

class CWinApp {
public:
    // `appName` null: the application is named after the program file,
    // without folder and extension.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The whole job of a windowless program; FALSE: no message loop follows.
    virtual os::BOOL InitInstance() { return os::TRUE; }
    // Default: the wParam of the last message a message loop of this thread
    // took from the queue, or 0 when none was taken.
    virtual int ExitInstance();

    // Runs the application the way the framework's entry does: command line,
    // InitInstance, ExitInstance. Returns the process exit code.
    int Run();

    const char* m_pszAppName = nullptr;
    // The command line after the program's name, blanks after the name skipped.
    const char* m_lpCmdLine = "";

private:
    CString m_appName;
    CString m_cmdLine;
};

// The framework's one application object, or null.
CWinApp* AfxGetApp();

// Modal message box with the application's name as caption.
int AfxMessageBox(const char* text, os::UINT type = os::MB_OK | os::MB_ICONEXCLAMATION);

// The command-line text after the program's name: skips the name (quoted or
// not) and the blanks and control characters after it.
const char* SkipProgramName(const char* commandLine);

class CDialog {
public:
    CDialog(os::UINT templateId, os::HWND parent);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the dialog from its resource, runs the modal loop until
    // EndDialog, destroys the window and returns the EndDialog code
    // (-1 when the window could not be created or the loop was cut short).
    virtual os::LRESULT DoModal();
    void EndDialog(int result);

    os::HWND m_hWnd = nullptr;

protected:
    virtual void DoDataExchange() {}
    virtual os::BOOL OnInitDialog();
    virtual void OnTimer(os::UINT_PTR id);
    virtual void OnOK() { EndDialog(os::IDOK); }
    virtual void OnCancel() { EndDialog(os::IDCANCEL); }
    // The window's default processing for the message being handled.
    void Default() {}

    os::UINT_PTR SetTimer(os::UINT_PTR id, os::UINT elapseMs);
    os::BOOL KillTimer(os::UINT_PTR id);

private:
    static os::LONG_PTR OS_WINAPI DialogProc(os::HWND, os::UINT, os::WPARAM, os::LPARAM);
    os::LONG_PTR Handle(os::UINT message, os::WPARAM wParam);

    os::UINT m_templateId;
    os::HWND m_parent;
    bool m_modal = false;
    int m_result = -1;
};
