#include "removal/VirtualPrinterRemoval.h"

#include <cstring>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"
#include "removal/PrinterName.h"

namespace removal {

namespace {

// After a failed spooler call: the report (with the code taken right after
// the call) and the pause, in the order asked for, then the fail line.
void afterFailure(bool reportFirst, os::DWORD error, const char* label, const char* failText,
                  const char* name) {
    if (reportFirst) {
        ReportSystemError(error, label);
        os::Sleep(kRetryPauseMs);
    } else {
        os::Sleep(kRetryPauseMs);
        ReportSystemError(error, label);
    }
    TraceLog(failText, name);
}

}  // namespace

os::BOOL DeleteVirtualPrinter(const CString& commandText, Variant variant, const Hooks& hooks) {
    const bool dialog = variant == Variant::RetryDialog;
    char name[os::MAX_PATH];
    TraceLog("\n[MyDeleteVirtualPrinter] Start MyDeleteVirtualPritner");
    std::memset(name, 0, sizeof name);

    CString printerName = PrinterNameFromCommandLine(commandText);
    TraceLog("Command line => %s", commandText);
    if (dialog && printerName.IsEmpty()) {
        hooks.endForUnusableName();
        return os::FALSE;
    }
    // A name the buffer cannot hold is never cut short: no shortened name may
    // reach the spooler, where it could name another printer.
    if (printerName.GetLength() > kMaxNameBytes) {
        TraceLog("Virtual printer name is too long (%d bytes, at most 259)", printerName.GetLength());
        if (dialog) hooks.endForUnusableName();
        return os::FALSE;
    }
    std::memcpy(name, printerName.c_str(), static_cast<std::size_t>(printerName.GetLength()) + 1);
    TraceLog("Virtual pritner name => %s", name);

    bool listed = false;
    for (int lookUp = 0; lookUp < kLookUps; ++lookUp) {
        listed = hooks.findPrinter(CString(name)) != 0;
        if (listed) break;
        if (dialog) {
            TraceLog("Wait printer is enumerated");
            os::Sleep(kLookUpPauseMs);
        } else {
            os::Sleep(kLookUpPauseMs);
            TraceLog("Wait printer is enumerated");
        }
        TraceLog("Wait 0.5 second");
    }
    if (!listed) return os::FALSE;

    os::HANDLE printer = nullptr;
    bool opened = false;
    for (int attempt = 0; attempt < kAttempts && !opened; ++attempt) {
        opened = os::OpenPrinterA(name, &printer, nullptr) != 0;
        if (!opened) afterFailure(dialog, os::GetLastError(), "OpenPrinter", "Open %s Printer Fail", name);
    }
    if (!opened) return os::FALSE;
    TraceLog("Open %s Printer Success", name);

    bool deleted = false;
    for (int attempt = 0; attempt < kAttempts && !deleted; ++attempt) {
        deleted = os::DeletePrinter(printer) != 0;
        if (!deleted)
            afterFailure(dialog, os::GetLastError(), "DeletePrinter", "Delete %s printer fail", name);
    }
    if (!deleted) {
        os::ClosePrinter(printer);
        return os::FALSE;
    }
    TraceLog("Delete %s Printer Success", name);
    if (printer) os::ClosePrinter(printer);

    bool driverDeleted = false;
    for (int attempt = 0; attempt < kAttempts && !driverDeleted; ++attempt) {
        driverDeleted = os::DeletePrinterDriverA(nullptr, nullptr, name) != 0;
        if (!driverDeleted)
            afterFailure(true, os::GetLastError(), "DeletePrinterDriver", "Delete %s printer driver fail",
                         name);
    }
    if (!driverDeleted) return os::FALSE;
    TraceLog("Delete %s Printer driver Success", name);
    TraceLog("Success %s pritner driver is deleted", name);
    TraceLog("[MyDeleteVirtualPrinter] End MyDeleteVirtualPrinter\n\n");
    return os::TRUE;
}

os::BOOL FindListedPrinter(CString name) {
    TraceLog("\nMyFindAndWaitPritner is Started ");
    os::DWORD needed = 0;
    os::DWORD returned = 0;
    os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed == 0) {
        TraceLog("Get structure size is failed");
        return os::FALSE;
    }
    auto* buffer = static_cast<os::LPBYTE>(os::GlobalAlloc(os::GMEM_ZEROINIT, needed));
    if (!buffer) {
        TraceLog("Alloc memory is failed");
        return os::FALSE;
    }
    returned = 0;
    if (!os::EnumPrintersA(os::PRINTER_ENUM_LOCAL, nullptr, 2, buffer, needed, &needed, &returned)) {
        os::DWORD error = os::GetLastError();
        TraceLog("Fail EnumPrinterDrivers");
        ReportSystemError(error, "MyComparePrinterDriverInfo");
        os::GlobalFree(buffer);
        return os::FALSE;
    }
    if (needed == 0) {
        TraceLog("Read spool information fail");
        os::GlobalFree(buffer);
        return os::FALSE;
    }

    name.MakeUpper();
    TraceLog("Find priner name is %s", name);
    bool found = false;
    const auto* records = reinterpret_cast<const os::PRINTER_INFO_2*>(buffer);
    for (os::DWORD i = 0; i < returned && !found; ++i) {
        CString listed(records[i].pPrinterName);
        TraceLog("Read printer name form information structure is => %s", listed);
        listed.MakeUpper();
        TraceLog("Compare \"%s\" to \"%s\"", listed, name);
        if (listed.CompareNoCase(name) == 0) {
            TraceLog("Find %s pritner", name);
            found = true;
        }
    }
    TraceLog("All driver information is compared");
    os::GlobalFree(buffer);
    TraceLog("[MyFindAndWaitPrinter] End MyFindAndWaitPritner\n\n");
    return found ? os::TRUE : os::FALSE;
}

}  // namespace removal

os::BOOL CPrinterPortApp::MyDeleteVirtualPrinter() {
    removal::Hooks hooks;
    hooks.findPrinter = [this](CString name) { return MyFindAndWaitPrinter(name); };
    return removal::DeleteVirtualPrinter(CString(m_lpCmdLine), removal::Variant::Application, hooks);
}

os::BOOL CPrinterPortApp::MyFindAndWaitPrinter(CString name) {
    return removal::FindListedPrinter(name);
}
