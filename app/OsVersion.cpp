#include "app/OsVersion.h"

#include <cstring>

#include "platform/cstring.h"
#include "platform/os.h"

namespace {

// Whole-string, case-blind equality with a one-letter service text.
bool serviceIs(const CString& upperCsd, const char* letter) { return upperCsd.CompareNoCase(letter) == 0; }

}  // namespace

int GetOSVersion(OsVersion* out) {
    os::OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof(os::OSVERSIONINFOEXA);
    auto* plain = reinterpret_cast<os::OSVERSIONINFOA*>(&info);
    if (!os::GetVersionExA(plain)) {
        // Systems before NT 4 SP6 and Windows 2000 know only the shorter record.
        info.dwOSVersionInfoSize = sizeof(os::OSVERSIONINFOA);
        if (!os::GetVersionExA(plain)) return 0;
    }

    char csd[sizeof info.szCSDVersion + 1] = {};
    std::memcpy(csd, info.szCSDVersion, sizeof info.szCSDVersion);
    CString service(csd);
    service.MakeUpper();

    const os::DWORD major = info.dwMajorVersion;
    const os::DWORD minor = info.dwMinorVersion;
    switch (info.dwPlatformId) {
    case os::VER_PLATFORM_WIN32s:
        *out = {OS_VER_WIN32S, OS_FAMILY_WIN32S};
        break;
    case os::VER_PLATFORM_WIN32_WINDOWS: {
        std::int32_t version = OS_VER_WIN9X_OTHER;
        if (minor == 0)
            version = serviceIs(service, "C") || serviceIs(service, "B") ? OS_VER_WIN95_OSR2 : OS_VER_WIN95;
        else if (minor == 10)
            version = serviceIs(service, "A") ? OS_VER_WIN98_SE : OS_VER_WIN98;
        else if (minor == 90)
            version = OS_VER_WINME;
        *out = {version, OS_FAMILY_WIN9X};
        break;
    }
    case os::VER_PLATFORM_WIN32_NT:
        if (major == 3)
            *out = {OS_VER_NT3, OS_FAMILY_NT};
        else if (major == 4)
            *out = {OS_VER_NT4, OS_FAMILY_NT};
        else if (major == 5)
            *out = {minor == 1 ? OS_VER_WINXP : minor == 2 ? OS_VER_WIN2003 : OS_VER_WIN2000, OS_FAMILY_NT5};
        else
            *out = {OS_VER_NT_OTHER, OS_FAMILY_NT};
        break;
    default:
        break;  // an unknown platform leaves the codes as they were
    }
    return 1;
}
