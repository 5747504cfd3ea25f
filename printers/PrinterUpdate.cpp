// Moving a printer to the USB port, adding one there, and making a printer
// the default printer.
#include <cstring>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"

namespace {

constexpr int kNameBufferSize = 260;
// On Windows 9x an added printer's name ("driver(USB001)") has at most 31 characters.
constexpr int kWin9xNameRoom = 29;

// The first `room` bytes of `text`, never ending on half a double-byte character.
CString LeftWhole(const CString& text, int room) {
    int at = 0;
    while (at < text.GetLength()) {
        int width =
            os::IsDBCSLeadByte(static_cast<os::BYTE>(text.GetAt(at))) && at + 1 < text.GetLength() ? 2 : 1;
        if (at + width > room) break;
        at += width;
    }
    return text.Left(at);
}

// The default printer follows the default driver (upper-cased in place);
// with none named, every printer that is updated becomes the default in turn.
bool IsDefaultDriver(CString& defaultDriver, const char* driverName) {
    defaultDriver.MakeUpper();
    if (defaultDriver.GetLength() < 1) return true;
    CString driver(driverName);
    driver.MakeUpper();
    return driver == defaultDriver;
}

}  // namespace

void CPrinterPortApp::MySetPrinter() {
    TraceLog("\n[MySetPrinter] Start MySetPrinter");
    os::PRINTER_INFO_2* record = m_pPrinterInfo;
    record->pPortName = const_cast<os::LPSTR>(m_strPortName.c_str());
    os::HANDLE printer = nullptr;
    if (os::OpenPrinterA(record->pPrinterName, &printer, nullptr)) {
        TraceLog("Open Printer to %s", record->pPrinterName);
        if (os::SetPrinterA(printer, 2, reinterpret_cast<os::LPBYTE>(record), 0))
            TraceLog("SetPrinter %s is success", record->pPrinterName);
        else
            TraceLog("SetPrinter %s is fail", record->pPrinterName);
        os::ClosePrinter(printer);
    }
    if (IsDefaultDriver(m_strDefaultDriver, record->pDriverName)) {
        MySetDefaultPrinter(record->pPrinterName);
        TraceLog("       Set default printer ==> %s", record->pPrinterName);
    }
    TraceLog("[MySetPrinter] End MySetPrinter\n\n\n");
}

os::BOOL CPrinterPortApp::MyAddPrinter(os::PRINTER_INFO_2* record) {
    TraceLog("\n[MyAddPrinter] Start MyAddPrinter");
    CString driverPart(record->pDriverName);
    if (m_osVersion.nFamily == OS_FAMILY_WIN9X) {
        const int room = kWin9xNameRoom - m_strPortName.GetLength();
        if (driverPart.GetLength() > room) driverPart = LeftWhole(driverPart, room);
    }
    CString name;
    name.Format("%s(%s)", driverPart.c_str(), m_strPortName.c_str());
    // The record is read again until the printer buffer is freed, so its new
    // name must live as long as that buffer.
    m_addedPrinterNames.push_back(name);
    record->pPrinterName = const_cast<os::LPSTR>(m_addedPrinterNames.back().c_str());
    record->pPortName = const_cast<os::LPSTR>(m_strPortName.c_str());
    TraceLog("Printer Name ==> %s", record->pPrinterName);
    TraceLog("Port Name => %s", m_strPortName);

    os::BOOL added = os::FALSE;
    os::HANDLE printer = os::AddPrinterA(nullptr, 2, reinterpret_cast<os::LPBYTE>(record));
    if (printer) {
        TraceLog("                 AddPrinter %s is success", name);
        os::ClosePrinter(printer);
        added = os::TRUE;
    } else {
        TraceLog("                 AddPrinter %s is fail", name);
    }
    if (IsDefaultDriver(m_strDefaultDriver, record->pDriverName)) {
        MySetDefaultPrinter(name);
        TraceLog("       Set default printer ==> %s", name);
    }
    MySetDefaultPrinter(name);
    TraceLog("[MyAddPrinter] End MyAddPrinter\n\n");
    return added;
}

void CPrinterPortApp::MySetDefaultPrinter(CString name) {
    char buffer[kNameBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    // A name the buffer cannot hold is refused rather than cut: a shortened
    // name could be another printer's.
    if (name.GetLength() >= kNameBufferSize) return;
    std::memcpy(buffer, name.c_str(), static_cast<std::size_t>(name.GetLength()));

    os::HANDLE printer = nullptr;
    if (!os::OpenPrinterA(buffer, &printer, nullptr)) return;
    os::DWORD needed = 0;
    os::GetPrinterA(printer, 2, nullptr, 0, &needed);
    auto* block = needed ? static_cast<os::LPBYTE>(os::GlobalAlloc(os::GMEM_ZEROINIT, needed)) : nullptr;
    if (block && os::GetPrinterA(printer, 2, block, needed, &needed)) {
        auto* record = reinterpret_cast<os::PRINTER_INFO_2*>(block);
        record->Attributes |= os::PRINTER_ATTRIBUTE_DEFAULT;
        os::SetPrinterA(printer, 2, block, 0);
    }
    if (block) os::GlobalFree(block);
    os::ClosePrinter(printer);
}
