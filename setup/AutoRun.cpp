// CD-ROM scan and setup launch: the first CD-ROM drive whose AutoRun.Inf
// lists the device by MFG and MDL has its setup command started.
#include <cstring>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"

namespace {

constexpr int kDriveLetters = 26;
// AutoRun.Inf lists at most this many MFG_n/MDL_n pairs.
constexpr int kMaxPairs = 20;
// Every value buffer and the command line: a text of at most 259 characters.
constexpr os::DWORD kValueSize = 260;

// Gives the search handle back on every way out of MyRunSetupexe.
class FindHandle {
public:
    explicit FindHandle(os::HANDLE handle) : m_handle(handle) {}
    ~FindHandle() {
        if (valid()) os::FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return m_handle != os::INVALID_HANDLE_VALUE; }

private:
    os::HANDLE m_handle;
};

// Whole strings, letter case ignored, by the system's locale-aware comparison.
bool sameText(const char* a, const CString& b) {
    return os::CompareStringA(os::LOCALE_USER_DEFAULT, os::NORM_IGNORECASE, a, -1, b, -1) == os::CSTR_EQUAL;
}

}  // namespace

os::BOOL CPrinterPortApp::MyRunAutoRun() {
    TraceLog("\n[MyRunAutoDlg] Start MyRunAutoRun");
    TraceLog("GetLogical drive string");
    const os::DWORD mask = os::GetLogicalDrives();
    if (mask == 0) return os::FALSE;

    os::BOOL found = os::FALSE;
    for (int i = 0; i < kDriveLetters; ++i) {
        const os::DWORD bit = os::DWORD(1) << i;
        TraceLog("GetLogicalDriver is ++> %X", static_cast<unsigned>(mask));
        TraceLog("Compare DWORD is ++> %X", static_cast<unsigned>(bit));
        TraceLog("Bit and operation result => %X", static_cast<unsigned>(mask & bit));
        if ((mask & bit) == 0) continue;

        CString root;
        root.Format("%c:\\", 'A' + i);
        if (os::GetDriveTypeA(root) == os::DRIVE_CDROM) {
            TraceLog("CD-ROM Dirver letter => \"%s\"", root);
            if (MyRunSetupexe(root)) {
                found = os::TRUE;
                break;
            }
        } else {
            TraceLog("%s drive is not CD-Rom Drive", root);
        }
    }
    TraceLog("[MyRunAutoRun] End MyRunAutoRun\n\n");
    return found;
}

os::BOOL CPrinterPortApp::MyRunSetupexe(CString root) {
    TraceLog("\n[MyRunSetupexe] Start MyRunSetupexe");
    char mfg[kValueSize], mdl[kValueSize], open[kValueSize], commandLine[kValueSize];
    std::memset(mfg, 0, sizeof mfg);
    std::memset(mdl, 0, sizeof mdl);
    std::memset(open, 0, sizeof open);
    std::memset(commandLine, 0, sizeof commandLine);
    os::STARTUPINFOA startup;
    os::PROCESS_INFORMATION process;
    std::memset(&startup, 0, sizeof startup);
    std::memset(&process, 0, sizeof process);
    startup.cb = sizeof startup;

    CString path;
    path.Format("%sAutoRun.Inf", root.c_str());
    TraceLog("Autorun.inf path => \"%s\"", path);
    os::WIN32_FIND_DATAA findData;
    FindHandle find(os::FindFirstFileA(path, &findData));
    if (!find.valid()) {
        TraceLog("File not found => \"%s\"", path);
        return os::FALSE;
    }

    bool matched = false;
    for (int i = 0; i < kMaxPairs && !matched; ++i) {
        std::memset(mfg, 0, sizeof mfg);
        std::memset(mdl, 0, sizeof mdl);
        CString mfgKey, mdlKey;
        mfgKey.Format("%s_%d", "MFG", i);
        mdlKey.Format("%s_%d", "MDL", i);
        os::GetPrivateProfileStringA("INFOMATION", mfgKey, "", mfg, kValueSize, path);
        os::GetPrivateProfileStringA("INFOMATION", mdlKey, "", mdl, kValueSize, path);
        if (mfg[0] == '\0') {
            TraceLog("MFG Value is not found => \"%s\"", mfg);
            return os::FALSE;
        }
        if (mdl[0] == '\0') {
            TraceLog("MDL Value is not found => \"%s\"", mdl);
            return os::FALSE;
        }
        TraceLog("Data file read MFG => \"%s\"", mfg);
        TraceLog("Data file read MDL => \"%s\"", mdl);

        CString mfgUpper(mfg), mdlUpper(mdl);
        mfgUpper.MakeUpper();
        mdlUpper.MakeUpper();
        TraceLog("Compare %s to %s", mfgUpper, m_strMFG);
        TraceLog("Compare %s to %s", mdlUpper, m_strMDL);
        matched = sameText(mfgUpper, m_strMFG) && sameText(mdlUpper, m_strMDL);
    }
    if (!matched) {
        TraceLog("[MyRunSetupexe]End MyRunSetupexe\n\n");
        return os::FALSE;
    }

    TraceLog("\n\nI find CDSetup file\n\n");
    os::GetPrivateProfileStringA("AUTORUN", "OPEN", "", open, kValueSize, path);
    CString command;
    command.Format("%s%s", root.c_str(), open);
    TraceLog("\nRun command line => \"%s\"\n", command);
    if (command.GetLength() >= static_cast<int>(kValueSize)) {
        // Cut to fit the buffer, it would name some other program, or none.
        TraceLog("Command line is too long, not started (%d characters, at most %d)", command.GetLength(),
                 static_cast<int>(kValueSize) - 1);
    } else if (open[0] != '\0') {
        std::memcpy(commandLine, command.c_str(), static_cast<std::size_t>(command.GetLength()));
        if (os::CreateProcessA(nullptr, commandLine, nullptr, nullptr, os::TRUE, os::NORMAL_PRIORITY_CLASS,
                               nullptr, nullptr, &startup, &process)) {
            // The setup runs on its own; nothing here ever looks at it again.
            os::CloseHandle(process.hThread);
            os::CloseHandle(process.hProcess);
        }
    }
    TraceLog("[MyRunSetupexe]End MyRunSetupexe\n\n");
    return os::TRUE;
}
