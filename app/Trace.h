// The one trace sink of the program, and the report of failed system calls.
#pragma once

#include <string>
#include <type_traits>

#include "platform/cstring.h"
#include "platform/os.h"

namespace trace_detail {
void Write(const char* format, ...);
inline const char* Arg(const CString& s) { return s.c_str(); }
template <class T>
T Arg(T value) {
    static_assert(!std::is_class<T>::value, "pass strings as CString or const char*");
    return value;
}
}  // namespace trace_detail

// printf-style trace line (%s, %d, %X). The delivered build discards it
// without formatting anything; the simulation keeps every line.
template <class... Args>
inline void TraceLog(const char* format, const Args&... args) {
    if constexpr (os::kTraceKept) trace_detail::Write(format, trace_detail::Arg(args)...);
}

// One trace line "[label]system text\n" for a failed system call.
void ReportSystemError(os::DWORD code, CString label);
