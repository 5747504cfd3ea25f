// Classification of the running Windows version into a version and a family code.
#pragma once

#include <cstdint>

struct OsVersion {
    std::int32_t nVersion = 0;
    std::int32_t nFamily = 0;
};

enum : std::int32_t {
    OS_FAMILY_WIN32S = 2,
    OS_FAMILY_WIN9X = 10,
    OS_FAMILY_NT = 15,
    OS_FAMILY_NT5 = 17,
};

enum : std::int32_t {
    OS_VER_WIN32S = 2,
    OS_VER_WIN95 = 3,
    OS_VER_WIN95_OSR2 = 4,
    OS_VER_WIN98 = 6,
    OS_VER_WIN98_SE = 7,
    OS_VER_WINME = 9,
    OS_VER_WIN9X_OTHER = 10,
    OS_VER_NT3 = 11,
    OS_VER_NT4 = 12,
    OS_VER_WIN2000 = 13,
    OS_VER_WINXP = 14,
    OS_VER_NT_OTHER = 15,
    OS_VER_WIN2003 = 16,
};

// Fills *out from the system's version; 0 when the system refused to say
// (then *out is left as it was).
int GetOSVersion(OsVersion* out);
