#include "app/Trace.h"

#include <cstdarg>

void trace_detail::Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    os::TraceWrite(text.c_str(), false);
}

void ReportSystemError(os::DWORD code, CString label) {
    char* message = nullptr;
    os::DWORD length = os::FormatMessageA(
        os::FORMAT_MESSAGE_FROM_SYSTEM | os::FORMAT_MESSAGE_IGNORE_INSERTS | os::FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, os::LANG_USER_DEFAULT, reinterpret_cast<os::LPSTR>(&message), 0, nullptr);
    // A code the system has no text for still gets its line, with the code in place of the text.
    CString text;
    if (length > 0 && message)
        text = message;
    else
        text.Format("Unknown error %lu\n", static_cast<unsigned long>(code));
    CString line;
    line.Format("[%s]%s\n", label.c_str(), text.c_str());
    // The line is plain text: a % in a system message is not a conversion.
    if constexpr (os::kTraceKept) os::TraceWrite(line.c_str(), true);
    if (message) os::LocalFree(message);
}
