#include "platform/sim/ini.h"

#include <algorithm>
#include <cstring>

namespace sim::ini {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string upper(std::string name) {
    if (!name.empty()) os::CharUpperBuffA(&name[0], static_cast<os::DWORD>(name.size()));
    return name;
}

// Copies at most size-1 characters and the terminating zero; the count copied.
os::DWORD copyOut(const std::string& text, char* buffer, os::DWORD size) {
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<os::DWORD>(n);
}

}  // namespace

std::vector<Section> parse(const std::string& text) {
    std::vector<Section> file(1);  // the nameless section before the first header
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string line = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty()) continue;
        if (line[0] == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string::npos) {
                file.push_back(Section{line.substr(1, close - 1), {}});
                continue;
            }
            // A header without "]" is read as a key line, like Windows does.
        }
        Key key;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            key.name = line;
        } else {
            key.name = trimmed(line.substr(0, equals));
            key.hasValue = true;
            key.value = trimmed(line.substr(equals + 1));
        }
        file.back().keys.push_back(std::move(key));
    }
    return file;
}

const std::string* find(const std::vector<Section>& file, const std::string& section,
                        const std::string& key) {
    const std::string wantedSection = upper(trimmed(section));
    const std::string wantedKey = upper(trimmed(key));
    if (wantedSection.empty() || wantedKey.empty()) return nullptr;
    for (std::size_t s = 1; s < file.size(); ++s) {
        if (upper(file[s].name) != wantedSection) continue;
        for (const Key& k : file[s].keys)
            if (upper(k.name) == wantedKey) return k.hasValue ? &k.value : nullptr;
        return nullptr;  // only the first section of a name is searched
    }
    return nullptr;
}

os::DWORD profileString(const std::string* text, const char* section, const char* key,
                        const char* defaultValue, char* buffer, os::DWORD size) {
    if (!buffer || size == 0) return 0;
    std::string fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();

    const std::string* value = nullptr;
    if (text && section && key) {
        std::vector<Section> file = parse(*text);
        value = find(file, section, key);
        if (value) {
            std::string v = *value;
            // Matching quotes around the whole value are dropped; a cut value
            // keeps what is left after the opening one.
            if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
                v = v.substr(1, v.size() - 2);
            return copyOut(v, buffer, size);
        }
    }
    return copyOut(fallback, buffer, size);
}

}  // namespace sim::ini
