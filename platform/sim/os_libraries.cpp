// Simulated run-time binding: LoadLibraryA, GetProcAddress, FreeLibrary.
//
// The machine has four optional system libraries; each exports the entry
// points the program looks up. The five SetupAPI functions the program calls
// are the machine's own; every other export is a stub that nobody calls.
#include <cstring>
#include <strings.h>

#include "platform/sim/machine.h"

namespace {

os::LONG_PTR OS_WINAPI unusedEntryPoint() { return 0; }

struct Library {
    const char* name;
    std::uintptr_t base;  // the module handle: where the image would be mapped
    std::vector<const char*> exports;
};

const std::vector<Library>& libraries() {
    static const std::vector<Library> all = {
        {"Kernel32.dll", 0xBFF70000, {"GetDiskFreeSpaceExA"}},
        {"User32.dll",
         0xBFF50000,
         {"RegisterDeviceNotificationA", "UnregisterDeviceNotification", "GetWindowModuleFileNameA"}},
        {"SetupAPI.dll",
         0x7FD00000,
         {"SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailA", "SetupDiOpenDeviceInterfaceRegKey",
          "SetupDiGetClassDevsA", "SetupDiDestroyDeviceInfoList", "SetupDiEnumDeviceInfo",
          "SetupDiGetDeviceRegistryPropertyA", "SetupDiSetDeviceRegistryPropertyA", "SetupDiRemoveDevice",
          "SetupOpenInfFileA", "SetupGetLineByIndexA", "SetupGetStringFieldA", "SetupCloseInfFile",
          "SetupGetLineCountA", "SetupGetInfFileListA", "SetupGetInfInformationA",
          "SetupQueryInfFileInformationA"}},
        {"Cfgmgr32.dll", 0x7FE00000, {"CM_Locate_DevNode_ExA", "CM_Reenumerate_DevNode_Ex", "CM_Get_Device_IDA"}},
    };
    return all;
}

// A name without an extension means a ".dll", as LoadLibrary takes it.
std::string withExtension(const std::string& name) {
    auto slash = name.find_last_of("\\/");
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    return file.find('.') == std::string::npos ? file + ".dll" : file;
}

bool listed(const std::vector<std::string>& names, const std::string& name, bool ignoreCase) {
    for (const std::string& entry : names)
        if (ignoreCase ? strcasecmp(entry.c_str(), name.c_str()) == 0 : entry == name) return true;
    return false;
}

const Library* libraryOf(os::HMODULE module) {
    for (const Library& library : libraries())
        if (reinterpret_cast<os::HMODULE>(library.base) == module) return &library;
    return nullptr;
}

// Any function pointer type converts through the generic `void (*)()`.
template <class Function>
os::FARPROC asFarProc(Function* function) {
    return reinterpret_cast<os::FARPROC>(reinterpret_cast<void (*)()>(function));
}

os::FARPROC entryPoint(const char* name) {
    if (std::strcmp(name, "SetupDiGetClassDevsA") == 0)
        return asFarProc(&sim::SetupDiGetClassDevsA);
    if (std::strcmp(name, "SetupDiEnumDeviceInterfaces") == 0)
        return asFarProc(&sim::SetupDiEnumDeviceInterfaces);
    if (std::strcmp(name, "SetupDiGetDeviceInterfaceDetailA") == 0)
        return asFarProc(&sim::SetupDiGetDeviceInterfaceDetailA);
    if (std::strcmp(name, "SetupDiOpenDeviceInterfaceRegKey") == 0)
        return asFarProc(&sim::SetupDiOpenDeviceInterfaceRegKey);
    if (std::strcmp(name, "SetupDiDestroyDeviceInfoList") == 0)
        return asFarProc(&sim::SetupDiDestroyDeviceInfoList);
    return &unusedEntryPoint;
}

}  // namespace

namespace os {

HMODULE LoadLibraryA(LPCSTR name) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("LoadLibraryA")) return nullptr;
    if (!name) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    std::string file = withExtension(name);
    for (const Library& library : libraries()) {
        if (strcasecmp(library.name, file.c_str()) != 0) continue;
        if (listed(m.libraries.missingLibraries, library.name, true)) break;
        auto module = reinterpret_cast<HMODULE>(library.base);
        auto& entry = m.libraries.loaded[module];
        entry.first = library.name;
        ++entry.second;
        m.held.acquire("libraries");
        return module;
    }
    m.lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("GetProcAddress")) return nullptr;
    const Library* library = m.libraries.loaded.count(module) ? libraryOf(module) : nullptr;
    if (!library) {
        m.lastError = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    // Export names are matched exactly, as the loader does.
    bool exported = false;
    for (const char* entry : library->exports)
        if (name && std::strcmp(entry, name) == 0) exported = true;
    if (!exported || listed(m.libraries.missingEntryPoints, name, false)) {
        m.lastError = ERROR_PROC_NOT_FOUND;
        return nullptr;
    }
    return entryPoint(name);
}

BOOL FreeLibrary(HMODULE module) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("FreeLibrary")) return FALSE;
    auto it = m.libraries.loaded.find(module);
    if (it == m.libraries.loaded.end()) {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (--it->second.second == 0) m.libraries.loaded.erase(it);
    m.held.release("libraries");
    return TRUE;
}

}  // namespace os
