// The simulated registry's key tree and its handles.
#include "platform/sim/registry.h"

#include "platform/sim/machine.h"

namespace sim {

namespace {

// The predefined roots, in the order of their handle values (0x80000000 + index).
const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS"};
constexpr std::uintptr_t kFirstRootHandle = 0x80000000;

// Held resources are counted on the machine that owns this registry; a
// registry standing alone (a test of the tree) counts nothing.
Held* heldOf(const Registry* registry) {
    if (!hasMachine() || &machine().registry != registry) return nullptr;
    return &machine().held;
}

}  // namespace

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 0x20);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 0x20);
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> splitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        // Doubled or trailing backslashes name no key of their own.
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

RegKey* RegKey::child(const std::string& childName) const {
    for (const auto& key : subkeys)
        if (sameName(key->name, childName)) return key.get();
    return nullptr;
}

RegKey& RegKey::ensureChild(const std::string& childName) {
    if (RegKey* existing = child(childName)) return *existing;
    subkeys.push_back(std::make_unique<RegKey>());
    subkeys.back()->name = childName;
    return *subkeys.back();
}

const RegValue* RegKey::value(const std::string& valueName) const {
    for (const RegValue& v : values)
        if (sameName(v.name, valueName)) return &v;
    return nullptr;
}

void RegKey::setValue(const std::string& valueName, os::DWORD type, std::vector<std::uint8_t> data) {
    for (RegValue& v : values)
        if (sameName(v.name, valueName)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    values.push_back({valueName, type, std::move(data)});
}

void RegKey::setString(const std::string& valueName, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    setValue(valueName, os::REG_SZ, std::move(data));
}

void RegKey::setDword(const std::string& valueName, os::DWORD number) {
    setValue(valueName, os::REG_DWORD,
             {std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
              std::uint8_t(number >> 24)});
}

Registry::Registry() {
    for (const char* name : kRootNames) {
        roots.push_back(std::make_unique<RegKey>());
        roots.back()->name = name;
    }
}

RegKey* Registry::find(const std::string& fullPath) const {
    std::vector<std::string> parts = splitKeyPath(fullPath);
    if (parts.empty()) return nullptr;
    RegKey* key = nullptr;
    for (const auto& root : roots)
        if (sameName(root->name, parts[0])) key = root.get();
    for (std::size_t i = 1; key && i < parts.size(); ++i) key = key->child(parts[i]);
    return key;
}

RegKey& Registry::ensure(const std::string& fullPath) {
    std::vector<std::string> parts = splitKeyPath(fullPath);
    RegKey* key = nullptr;
    if (!parts.empty())
        for (const auto& root : roots)
            if (sameName(root->name, parts[0])) key = root.get();
    // Callers check the root first; an unknown one is a fault of the caller.
    if (!key) key = roots[2].get();
    for (std::size_t i = 1; i < parts.size(); ++i) key = &key->ensureChild(parts[i]);
    return *key;
}

RegKey* Registry::rootOf(os::HKEY predefined) const {
    auto value = reinterpret_cast<std::uintptr_t>(predefined);
    if (value < kFirstRootHandle || value >= kFirstRootHandle + roots.size()) return nullptr;
    return roots[value - kFirstRootHandle].get();
}

os::HKEY Registry::openHandle(RegKey& key) {
    auto handle = reinterpret_cast<os::HKEY>(m_nextHandle);
    m_nextHandle += 4;
    m_open[handle] = &key;
    if (Held* held = heldOf(this)) held->acquire("registryKeys");
    return handle;
}

RegKey* Registry::fromHandle(os::HKEY handle) const {
    if (RegKey* root = rootOf(handle)) return root;
    auto it = m_open.find(handle);
    return it == m_open.end() ? nullptr : it->second;
}

bool Registry::closeHandle(os::HKEY handle) {
    auto it = m_open.find(handle);
    if (it == m_open.end()) return false;
    m_open.erase(it);
    if (Held* held = heldOf(this)) held->release("registryKeys");
    return true;
}

}  // namespace sim
