// The maker's driver registry: which of the maker's printer drivers serve the
// USB printer that the port scan found, and which of them is the default.
#include <cstring>

#include "app/PrinterPortApp.h"
#include "app/Trace.h"

namespace {

constexpr int kValueBufferSize = 260;

// A "DeviceID" of more than this many characters fits when it holds the
// device key anywhere; a shorter one carries 4 characters after the key.
constexpr int kWholeIdLength = 24;
constexpr int kIdSuffixLength = 4;

// Reads a value as text into a zero-filled buffer; its registry type is not
// looked at. False when the value is missing or does not fit.
bool ReadText(os::HKEY key, const char* valueName, CString& text) {
    char buffer[kValueBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    os::DWORD size = kValueBufferSize;
    if (os::RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<os::LPBYTE>(buffer), &size) !=
        static_cast<os::LONG>(os::ERROR_SUCCESS))
        return false;
    // A value that fills the buffer to its last byte has no zero of its own.
    int length = 0;
    while (length < kValueBufferSize && buffer[length] != '\0') ++length;
    text = CString(buffer, length);
    return true;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal number at the start of a text, read as the C library's atoi
// does: leading white space, an optional sign, the digits up to the first
// other character; no digits give 0.
long long DecimalValue(const CString& text) {
    const char* at = text.c_str();
    while (IsWhiteSpace(*at)) ++at;
    bool negative = false;
    if (*at == '+' || *at == '-') negative = *at++ == '-';
    long long value = 0;
    // Saturates instead of overflowing: only "is it 1" matters.
    for (; *at >= '0' && *at <= '9'; ++at)
        if (value < 1000000000000LL) value = value * 10 + (*at - '0');
    return negative ? -value : value;
}

}  // namespace

os::BOOL CPrinterPortApp::MyReadDeviceID() {
    TraceLog("\n[MyReadDeviceID]Start MyReadDeviceID");
    CString makerPath;
    makerPath.Format("Software\\%s\\ZervPrinter", m_strMFG.c_str());
    if (m_strMDL.GetLength() < 1 || m_strMFG.GetLength() < 1) {
        TraceLog("MFG ==> \"%s\", MDL ==> \"%s\"", m_strMFG, m_strMDL);
        return os::FALSE;
    }

    TraceLog("Open Registry Key => %s", makerPath);
    os::HKEY makerKey = nullptr;
    if (os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, makerPath, 0, os::KEY_ALL_ACCESS, &makerKey) !=
        static_cast<os::LONG>(os::ERROR_SUCCESS)) {
        TraceLog("%s key open fail", makerPath);
        return os::FALSE;
    }

    os::DWORD subKeyCount = 0;
    if (os::RegQueryInfoKeyA(makerKey, nullptr, nullptr, nullptr, &subKeyCount, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr,
                             nullptr) != static_cast<os::LONG>(os::ERROR_SUCCESS)) {
        subKeyCount = 0;
    } else if (subKeyCount == 0) {
        TraceLog("%s Key open fail", makerPath);
        os::RegCloseKey(makerKey);
        return os::FALSE;
    } else {
        TraceLog("%d number sub registry key", static_cast<int>(subKeyCount));
    }

    os::BOOL found = os::FALSE;
    for (os::DWORD index = 0; index < subKeyCount; ++index) {
        char name[kValueBufferSize];
        std::memset(name, 0, sizeof name);
        os::DWORD nameSize = kValueBufferSize;
        if (os::RegEnumKeyExA(makerKey, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            static_cast<os::LONG>(os::ERROR_SUCCESS)) {
            TraceLog("%s key enumerate faile", makerPath);
            continue;
        }
        TraceLog("%s key enumerate success", makerPath);
        TraceLog("Enumerate key name => %s", name);

        CString driverPath;
        driverPath.Format("%s\\%s", makerPath.c_str(), name);
        os::HKEY driverKey = nullptr;
        if (os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, driverPath, 0, os::KEY_ALL_ACCESS, &driverKey) !=
            static_cast<os::LONG>(os::ERROR_SUCCESS)) {
            TraceLog("%s key opened fail", driverPath);
            continue;
        }
        TraceLog("%s key opened success", driverPath);

        CString deviceId;
        if (!ReadText(driverKey, "DeviceID", deviceId)) {
            os::RegCloseKey(driverKey);
            continue;
        }
        TraceLog("%s registry value read ==> %s", "DeviceID", deviceId);
        deviceId.MakeUpper();
        TraceLog("[%s] Device Id Length ==> [%d]", deviceId, deviceId.GetLength());

        bool fits;
        CString compared;
        if (deviceId.GetLength() > kWholeIdLength) {
            compared = deviceId;
            fits = deviceId.Find(m_strDeviceKey.c_str()) >= 0;
        } else {
            compared = deviceId.Left(deviceId.GetLength() - kIdSuffixLength);
            TraceLog("New Device Id ==> [%s]", compared);
            fits = compared.CompareNoCase(m_strDeviceKey) == 0;
        }
        TraceLog("Compare %s to %s", compared, m_strDeviceKey);
        if (!fits) {
            os::RegCloseKey(driverKey);
            continue;
        }

        // Only 10 driver names can be held; later fitting drivers are passed
        // over whole, their "Default" included.
        if (m_nDriverCount >= kMaxDriverNames) {
            TraceLog("Driver \"%s\" is passed over: only %d driver names are kept", name, kMaxDriverNames);
            os::RegCloseKey(driverKey);
            continue;
        }
        m_strDriverNames[m_nDriverCount] = name;
        TraceLog("Read Driver Name => \"%s\"", name);
        CString isDefault;
        if (ReadText(driverKey, "Default", isDefault) && DecimalValue(isDefault) == 1) {
            m_strDefaultDriver = name;
            m_strDefaultDriver.MakeUpper();
        }
        ++m_nDriverCount;
        found = os::TRUE;
        os::RegCloseKey(driverKey);
    }

    os::RegCloseKey(makerKey);
    TraceLog("Read Driver total %d number", m_nDriverCount);
    TraceLog("[MyReadDeviceID] End MyReadDeviceID\n\n");
    return found;
}
