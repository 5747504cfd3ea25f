// The simulated machine's registry: a tree of keys with typed values, names
// compared without regard to case, read from and written as REGEDIT4 text.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os.h"

namespace sim {

struct RegValue {
    std::string name;  // "" is the key's default value (@ in REGEDIT4)
    os::DWORD type = os::REG_SZ;
    std::vector<std::uint8_t> data;  // REG_SZ includes its terminating zero
};

struct RegKey {
    std::string name;
    std::vector<RegValue> values;  // in the order they were written
    std::vector<std::unique_ptr<RegKey>> subkeys;

    RegKey* child(const std::string& name) const;
    RegKey& ensureChild(const std::string& name);
    const RegValue* value(const std::string& name) const;
    void setValue(const std::string& name, os::DWORD type, std::vector<std::uint8_t> data);
    void setString(const std::string& name, const std::string& text);
    void setDword(const std::string& name, os::DWORD number);
};

class Registry {
public:
    Registry();

    // A key by its full path ("HKEY_LOCAL_MACHINE\\Software\\ACME"); null when absent.
    RegKey* find(const std::string& fullPath) const;
    // The same, creating what is missing.
    RegKey& ensure(const std::string& fullPath);
    // The key below one of the predefined root handles (HKEY_LOCAL_MACHINE, ...).
    RegKey* rootOf(os::HKEY predefined) const;

    // Handles for the Reg* calls; each one open is counted as a held "registryKeys".
    os::HKEY openHandle(RegKey& key);
    // The key behind a handle: an open handle or a predefined root; null otherwise.
    RegKey* fromHandle(os::HKEY handle) const;
    bool closeHandle(os::HKEY handle);

    std::vector<std::unique_ptr<RegKey>> roots;  // HKEY_CLASSES_ROOT ... HKEY_USERS

private:
    std::map<os::HKEY, RegKey*> m_open;
    std::uintptr_t m_nextHandle = 0x1000;
};

// Registry names are compared without regard to letter case.
bool sameName(const std::string& a, const std::string& b);
// The names of a key path ("Software\\ACME\\ZervPrinter"); empty parts are dropped.
std::vector<std::string> splitKeyPath(const std::string& path);

// Adds the keys and values of a REGEDIT4 text; `where` names it in errors
// (MachineFileError "where: line N: what is wrong").
void readRegistry(const std::string& regedit4, const std::string& where, Registry& out);
// The whole registry as REGEDIT4 text ("" when it holds no key below the roots).
std::string writeRegistry(const Registry& in);

}  // namespace sim
