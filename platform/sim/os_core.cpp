// Simulated system information, errors, heap, time, command line and code page.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/sim/machine.h"

namespace {

// The machine's message table: our own wording of the system's texts.
const std::map<os::DWORD, const char*>& messageTable() {
    static const std::map<os::DWORD, const char*> table = {
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {8, "Not enough storage is available to process this command.\r\n"},
        {21, "The device is not ready.\r\n"},
        {31, "A device attached to the system is not functioning.\r\n"},
        {50, "The request is not supported.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {122, "The data area passed to a system call is too small.\r\n"},
        {126, "The specified module could not be found.\r\n"},
        {127, "The specified procedure could not be found.\r\n"},
        {234, "More data is available.\r\n"},
        {259, "No more data is available.\r\n"},
        {1167, "The device is not connected.\r\n"},
        {1796, "The specified port is unknown.\r\n"},
        {1797, "The printer driver is unknown.\r\n"},
        {1801, "The printer name is invalid.\r\n"},
        {1802, "The printer already exists.\r\n"},
        {1803, "The printer command is invalid.\r\n"},
        {1804, "The specified datatype is invalid.\r\n"},
        {1805, "The environment specified is invalid.\r\n"},
        {3001, "The specified printer driver is currently in use.\r\n"},
        // A system text may hold insert markers; they are left in with IGNORE_INSERTS.
        {0x20000001, "The file %1 could not be opened: %s.\r\n"},
    };
    return table;
}

void* heapAlloc(const char* kind, std::size_t bytes) {
    sim::Machine& m = sim::machine();
    void* block = std::calloc(bytes ? bytes : 1, 1);
    m.heapBlocks[block] = bytes;
    m.held.acquire(kind);
    return block;
}

bool heapFree(const char* kind, void* block) {
    sim::Machine& m = sim::machine();
    auto it = m.heapBlocks.find(block);
    if (it == m.heapBlocks.end()) return false;
    m.heapBlocks.erase(it);
    m.held.release(kind);
    std::free(block);
    return true;
}

bool isLeadByte(int codePage, os::BYTE c) {
    switch (codePage) {
    case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:
    case 949:
    case 950: return c >= 0x81 && c <= 0xFE;
    default: return false;
    }
}

os::BYTE upperByte(int codePage, os::BYTE c) {
    if (c >= 'a' && c <= 'z') return static_cast<os::BYTE>(c - 0x20);
    if (codePage != 1252) return c;
    // Windows-1252 letters beyond ASCII.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<os::BYTE>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

}  // namespace

namespace os {

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    sim::Machine& m = sim::machine();
    m.versionQueried = true;
    if (sim::failCall("GetVersionExA")) return FALSE;
    const sim::OsInfo& o = m.os;
    bool ex = info && info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
    bool plain = info && info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA);
    if (o.refusesVersionQuery || !(plain || (ex && o.acceptsVersionInfoEx))) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    info->dwMajorVersion = o.major;
    info->dwMinorVersion = o.minor;
    info->dwBuildNumber = o.build;
    info->dwPlatformId = o.platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::strncpy(info->szCSDVersion, o.csd.c_str(), sizeof info->szCSDVersion - 1);
    if (ex) {
        auto* full = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        full->wServicePackMajor = full->wServicePackMinor = full->wSuiteMask = 0;
        full->wProductType = full->wReserved = 0;
    }
    return TRUE;
}

DWORD GetLastError() { return sim::machine().lastError; }
void SetLastError(DWORD code) { sim::machine().lastError = code; }

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("FormatMessageA")) return 0;
    auto it = messageTable().find(messageId);
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || it == messageTable().end()) {
        m.lastError = 317;  // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    std::string text = it->second;
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        *reinterpret_cast<char**>(buffer) = m.allocText(text);
        return static_cast<DWORD>(text.size());
    }
    if (!buffer || size <= text.size()) {
        m.lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

HLOCAL LocalFree(HLOCAL mem) {
    if (!mem) return nullptr;
    if (sim::failCall("LocalFree")) return mem;
    if (!heapFree("localHeap", mem)) {
        sim::machine().lastError = ERROR_INVALID_HANDLE;
        return mem;
    }
    return nullptr;
}

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
    if (sim::failCall("GlobalAlloc")) return nullptr;
    // Every block is handed out zero-filled; GMEM_ZEROINIT is what callers rely on.
    return heapAlloc("heap", bytes);
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    if (!mem) return nullptr;
    if (sim::failCall("GlobalFree")) return mem;
    if (!heapFree("heap", mem)) {
        sim::machine().lastError = ERROR_INVALID_HANDLE;
        return mem;
    }
    return nullptr;
}

void Sleep(DWORD ms) {
    sim::machine().faults.fail("Sleep", &sim::machine().lastError);  // counted, never fails
    sim::machine().nowMs += ms;
}

LPSTR GetCommandLineA() { return &sim::machine().commandLine[0]; }

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    const std::string& path = sim::machine().modulePath;
    if (!buffer || size == 0) return 0;
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(path.size(), size - 1));
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return n;
}

BOOL IsDBCSLeadByte(BYTE c) { return isLeadByte(sim::machine().codePage, c) ? TRUE : FALSE; }

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    int cp = sim::machine().codePage;
    for (DWORD i = 0; i < length; ++i) {
        auto c = static_cast<BYTE>(text[i]);
        if (isLeadByte(cp, c) && i + 1 < length) {
            ++i;  // a double-byte character stays as it is
            continue;
        }
        text[i] = static_cast<char>(upperByte(cp, c));
    }
    return length;
}

int CompareStringA(LCID, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength) {
    if (sim::failCall("CompareStringA")) return 0;
    if (!a || !b) {
        sim::machine().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::string x(a, aLength < 0 ? std::strlen(a) : static_cast<std::size_t>(aLength));
    std::string y(b, bLength < 0 ? std::strlen(b) : static_cast<std::size_t>(bLength));
    if (flags & NORM_IGNORECASE) {
        if (!x.empty()) CharUpperBuffA(&x[0], static_cast<DWORD>(x.size()));
        if (!y.empty()) CharUpperBuffA(&y[0], static_cast<DWORD>(y.size()));
    }
    int c = x.compare(y);
    return c < 0 ? CSTR_LESS_THAN : c > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

BOOL CloseHandle(HANDLE handle) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("CloseHandle")) return FALSE;
    const auto* object = m.kernelObject(handle);
    // Find handles are closed with FindClose, not CloseHandle.
    if (!object || object->kind == "findHandles") {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    m.closeKernelHandle(handle);
    return TRUE;
}

void TraceWrite(const char* text, bool isErrorReport) {
    sim::Machine& m = sim::machine();
    m.records.trace.emplace_back(text);
    if (isErrorReport) m.records.reports.emplace_back(text);
}

}  // namespace os
