// Simulated registry calls. Like Win32, they return their error code and
// leave the thread's last error alone.
#include <algorithm>
#include <cstring>

#include "platform/sim/machine.h"

namespace {

sim::RegKey* keyOf(os::HKEY handle) {
    return sim::machine().registry.fromHandle(handle);
}

}  // namespace

namespace os {

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, HKEY* result) {
    DWORD code = 0;
    if (sim::failCall("RegOpenKeyExA", &code)) return static_cast<LONG>(code);
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    sim::RegKey* at = keyOf(key);
    if (!at) return ERROR_INVALID_HANDLE;
    for (const std::string& name : sim::splitKeyPath(subKey ? subKey : "")) {
        at = at->child(name);
        if (!at) return ERROR_FILE_NOT_FOUND;
    }
    *result = sim::machine().registry.openHandle(*at);
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptorSize,
                      void* lastWriteTime) {
    DWORD code = 0;
    if (sim::failCall("RegQueryInfoKeyA", &code)) return static_cast<LONG>(code);
    if (reserved) return ERROR_INVALID_PARAMETER;
    sim::RegKey* at = keyOf(key);
    if (!at) return ERROR_INVALID_HANDLE;
    // Keys of this registry have no class; only the outputs asked for are written.
    if (className && classSize && *classSize > 0) className[0] = '\0';
    if (classSize) *classSize = 0;
    if (subKeys) *subKeys = static_cast<DWORD>(at->subkeys.size());
    if (maxSubKeyLength) {
        std::size_t longest = 0;
        for (const auto& child : at->subkeys) longest = std::max(longest, child->name.size());
        *maxSubKeyLength = static_cast<DWORD>(longest);
    }
    if (maxClassLength) *maxClassLength = 0;
    if (values) *values = static_cast<DWORD>(at->values.size());
    if (maxValueNameLength) {
        std::size_t longest = 0;
        for (const auto& v : at->values) longest = std::max(longest, v.name.size());
        *maxValueNameLength = static_cast<DWORD>(longest);
    }
    if (maxValueLength) {
        std::size_t longest = 0;
        for (const auto& v : at->values) longest = std::max(longest, v.data.size());
        *maxValueLength = static_cast<DWORD>(longest);
    }
    if (securityDescriptorSize) *securityDescriptorSize = 0;
    if (lastWriteTime) std::memset(lastWriteTime, 0, sizeof(FILETIME));
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR className,
                   LPDWORD classSize, void* lastWriteTime) {
    DWORD code = 0;
    if (sim::failCall("RegEnumKeyExA", &code)) return static_cast<LONG>(code);
    if (reserved || !name || !nameSize) return ERROR_INVALID_PARAMETER;
    sim::RegKey* at = keyOf(key);
    if (!at) return ERROR_INVALID_HANDLE;
    if (index >= at->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& found = at->subkeys[index]->name;
    // The size is in characters with the terminating zero going in; the
    // length without it coming out. Too small: nothing is written.
    if (found.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameSize = static_cast<DWORD>(found.size());
    if (className && classSize && *classSize > 0) className[0] = '\0';
    if (classSize) *classSize = 0;
    if (lastWriteTime) std::memset(lastWriteTime, 0, sizeof(FILETIME));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    DWORD code = 0;
    if (sim::failCall("RegQueryValueExA", &code)) return static_cast<LONG>(code);
    if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    sim::RegKey* at = keyOf(key);
    if (!at) return ERROR_INVALID_HANDLE;
    const sim::RegValue* value = at->value(valueName ? valueName : "");
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    const auto size = static_cast<DWORD>(value->data.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data && size > 0) std::memcpy(data, value->data.data(), size);
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    DWORD code = 0;
    if (sim::failCall("RegCloseKey", &code)) return static_cast<LONG>(code);
    sim::Registry& registry = sim::machine().registry;
    // Closing a predefined root is allowed and changes nothing.
    if (registry.rootOf(key)) return ERROR_SUCCESS;
    return registry.closeHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace os
