// Placeholder: the REGEDIT4 reader and writer and the key tree come with the
// registry work; until then the tree is kept minimal.
#include "platform/sim/registry.h"

#include "platform/sim/json_in.h"

namespace sim {

RegKey* RegKey::child(const std::string&) const { return nullptr; }
RegKey& RegKey::ensureChild(const std::string& name) {
    subkeys.push_back(std::make_unique<RegKey>());
    subkeys.back()->name = name;
    return *subkeys.back();
}
const RegValue* RegKey::value(const std::string&) const { return nullptr; }
void RegKey::setValue(const std::string& name, os::DWORD type, std::vector<std::uint8_t> data) {
    values.push_back({name, type, std::move(data)});
}
void RegKey::setString(const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    setValue(name, os::REG_SZ, data);
}
void RegKey::setDword(const std::string& name, os::DWORD number) {
    setValue(name, os::REG_DWORD,
             {std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16), std::uint8_t(number >> 24)});
}

Registry::Registry() = default;
RegKey* Registry::find(const std::string&) const { return nullptr; }
RegKey& Registry::ensure(const std::string&) {
    if (roots.empty()) roots.push_back(std::make_unique<RegKey>());
    return *roots.front();
}
RegKey* Registry::rootOf(os::HKEY) const { return nullptr; }
os::HKEY Registry::openHandle(RegKey&) { return nullptr; }
RegKey* Registry::fromHandle(os::HKEY) const { return nullptr; }
bool Registry::closeHandle(os::HKEY) { return false; }

void readRegistry(const std::string&, const std::string& where, Registry&) {
    throw MachineFileError(where, "the registry is not simulated yet");
}
std::string writeRegistry(const Registry&) { return ""; }

}  // namespace sim
