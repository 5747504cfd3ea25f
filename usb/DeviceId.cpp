// Reading a USB printer's IEEE 1284 device ID, and taking it apart.
#include "usb/DeviceId.h"

#include <cstring>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"

namespace {

constexpr os::DWORD kReplySize = 260;
constexpr int kIdBufferSize = 260;

// A failed call's code as a result; 0 would read as success.
int FailureCode(os::DWORD error) { return static_cast<int>(error ? error : os::ERROR_GEN_FAILURE); }

// The value of the first field `key` ("MFG:"), up to the next ';'. A field
// that is missing, or that no ';' closes, gives the empty string.
CString FieldValue(const CString& text, const char* key) {
    const int keyLength = static_cast<int>(std::strlen(key));
    int at = text.Find(key);
    if (at < 0) return CString();
    int end = text.Find(';', at + 1);
    if (end < 0) return CString();
    return text.Mid(at + keyLength, end - (at + keyLength));
}

}  // namespace

int CPrinterPortApp::GetDeviceID(CString devicePath, os::DWORD ioControlCode, char* idBuffer) {
    TraceLog("\n[GetDeviceID] Start GetDeviceID");
    TraceLog("\nGetDeviceID (%s)\n", devicePath);

    os::HANDLE device = os::CreateFileA(devicePath, os::GENERIC_READ, os::FILE_SHARE_READ, nullptr,
                                        os::OPEN_EXISTING, os::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == os::INVALID_HANDLE_VALUE) {
        os::DWORD error = os::GetLastError();
        ReportSystemError(error, "SysUtil-CreateFile");
        return FailureCode(error);
    }

    auto* reply = static_cast<os::BYTE*>(os::GlobalAlloc(os::GMEM_ZEROINIT, kReplySize));
    if (!reply) {
        os::DWORD error = os::GetLastError();
        os::CloseHandle(device);
        return static_cast<int>(error ? error : os::ERROR_NOT_ENOUGH_MEMORY);
    }

    os::DWORD returned = 0;
    if (!os::DeviceIoControl(device, ioControlCode, nullptr, 0, reply, kReplySize, &returned, nullptr)) {
        os::DWORD error = os::GetLastError();
        ReportSystemError(error, "SysUtil-DeviceIoControl");
        os::CloseHandle(device);
        os::GlobalFree(reply);
        return FailureCode(error);
    }
    os::CloseHandle(device);

    // An ID shorter than 256 bytes that still carries its two length bytes
    // starts with a zero byte; the text follows them.
    int length = 0;
    const os::BYTE* text = reply;
    if (returned > 0) {
        const int start = reply[0] == 0 ? 2 : 0;
        text = reply + start;
        const int available = static_cast<int>(kReplySize) - start;
        while (length < available && text[length] != 0) ++length;
        // The text and its terminating zero must fit the caller's buffer.
        if (length > kIdBufferSize - 1) length = kIdBufferSize - 1;
    }
    std::memcpy(idBuffer, text, static_cast<std::size_t>(length));
    idBuffer[length] = '\0';

    TraceLog("Device ID = (%s) [%d]\n", idBuffer, static_cast<int>(returned));
    os::GlobalFree(reply);
    TraceLog("[GetDeviceID] End GetDeviceID\n\n");
    return 0;
}

bool ParseDeviceID(CString idText, CString* mfg, CString* mdl, CString* deviceKey) {
    idText.MakeUpper();
    if (idText.GetLength() < 1) return false;

    CString mfgValue = FieldValue(idText, "MFG:");
    CString mdlValue = FieldValue(idText, "MDL:");
    CString key;
    key.Format("%s%s", mfgValue.c_str(), mdlValue.c_str());
    key.MakeUpper();
    key.Replace(' ', '_');
    if (key.GetLength() > kDeviceKeyMax) key = key.Left(kDeviceKeyMax);

    TraceLog("\nMFG Value ==> \"%s\"", mfgValue);
    TraceLog("MDL Value  ==> \"%s\"", mdlValue);
    TraceLog("MFGMDL Value ==> \"%s\"\n", key);

    *mfg = mfgValue;
    *mdl = mdlValue;
    *deviceKey = key;
    return true;
}
