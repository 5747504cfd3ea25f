// Strict reading of one JSON object of a machine file: every key must be
// known, every value of the right type, or the file is refused with the place.
#pragma once

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

using json = nlohmann::ordered_json;

// A machine file that cannot be used: `where` is the JSON path of the fault
// ("spooler.printers[0].port"), `what()` says what is wrong.
class MachineFileError : public std::runtime_error {
public:
    MachineFileError(std::string where, const std::string& message)
        : std::runtime_error(message), m_where(std::move(where)) {}
    const std::string& where() const { return m_where; }

private:
    std::string m_where;
};

class JsonIn {
public:
    JsonIn(const json& value, std::string path) : m_value(value), m_path(std::move(path)) {
        if (!m_value.is_object()) fail("must be an object");
    }
    ~JsonIn() noexcept(false) = default;

    bool has(const char* key) const { return m_value.contains(key) && !m_value.at(key).is_null(); }

    std::string str(const char* key, const std::string& fallback = "") {
        return take<std::string>(key, fallback, "a string", &json::is_string);
    }
    long long integer(const char* key, long long fallback = 0) {
        return take<long long>(key, fallback, "an integer", &json::is_number_integer);
    }
    bool boolean(const char* key, bool fallback = false) {
        return take<bool>(key, fallback, "true or false", &json::is_boolean);
    }
    std::vector<std::string> strings(const char* key) {
        std::vector<std::string> out;
        if (!mark(key)) return out;
        const json& list = m_value.at(key);
        if (!list.is_array()) failAt(key, "must be an array of strings");
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!list[i].is_string())
                throw MachineFileError(itemPath(key, i), "must be a string");
            out.push_back(list[i].get<std::string>());
        }
        return out;
    }
    // An object member; null when absent.
    const json* object(const char* key) {
        if (!mark(key)) return nullptr;
        if (!m_value.at(key).is_object()) failAt(key, "must be an object");
        return &m_value.at(key);
    }
    // An array member; null when absent.
    const json* array(const char* key) {
        if (!mark(key)) return nullptr;
        if (!m_value.at(key).is_array()) failAt(key, "must be an array");
        return &m_value.at(key);
    }
    // Any value; null when absent.
    const json* raw(const char* key) { return mark(key) ? &m_value.at(key) : nullptr; }

    std::string childPath(const char* key) const {
        return m_path.empty() ? std::string(key) : m_path + "." + key;
    }
    std::string itemPath(const char* key, std::size_t i) const {
        return childPath(key) + "[" + std::to_string(i) + "]";
    }
    const std::string& path() const { return m_path; }

    // Refuses keys that nothing asked for.
    void done() const {
        for (auto it = m_value.begin(); it != m_value.end(); ++it)
            if (!m_seen.count(it.key()))
                throw MachineFileError(childPath(it.key().c_str()),
                                       "unknown key \"" + it.key() + "\"");
    }
    [[noreturn]] void fail(const std::string& message) const { throw MachineFileError(m_path, message); }
    [[noreturn]] void failAt(const char* key, const std::string& message) const {
        throw MachineFileError(childPath(key), message);
    }

private:
    bool mark(const char* key) {
        m_seen.insert(key);
        return has(key);
    }
    template <class T>
    T take(const char* key, const T& fallback, const char* kind, bool (json::*test)() const noexcept) {
        if (!mark(key)) return fallback;
        const json& v = m_value.at(key);
        if (!(v.*test)()) failAt(key, std::string("must be ") + kind);
        return v.get<T>();
    }

    const json& m_value;
    std::string m_path;
    std::set<std::string> m_seen;
};

}  // namespace sim
