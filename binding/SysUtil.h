// Run-time binding of the optional system entry points (placeholder until built).
#pragma once

#include "platform/os.h"

class SysUtil {
public:
    SysUtil() = default;
    virtual ~SysUtil() = default;
    SysUtil(const SysUtil&) = delete;
    SysUtil& operator=(const SysUtil&) = delete;
};
