// REGEDIT4 text, the format that the Windows 9x registry editor exports, so
// that a maker's registry can be exported from a real machine and dropped in.
#include <cstdio>
#include <sstream>

#include "platform/sim/json_in.h"
#include "platform/sim/registry.h"

namespace sim {

namespace {

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One logical line: its text (continuations joined) and where it began.
struct Line {
    std::string text;
    int number = 0;
};

std::vector<Line> logicalLines(const std::string& input) {
    std::vector<std::string> physical;
    std::string current;
    for (std::size_t i = 0; i < input.size(); ++i) {
        char c = input[i];
        if (c == '\r' || c == '\n') {
            physical.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) physical.push_back(current);

    std::vector<Line> lines;
    for (std::size_t i = 0; i < physical.size(); ++i) {
        Line line{physical[i], static_cast<int>(i) + 1};
        // A value goes on in the next line after a trailing backslash (the
        // registry editor wraps long hex values so). Joined in place: a long
        // value has thousands of such lines.
        std::string joined = trimmed(line.text);
        auto continues = [&joined] { return !joined.empty() && joined.back() == '\\' && joined[0] != ';'; };
        if (continues() && i + 1 < physical.size()) {
            while (continues() && i + 1 < physical.size()) {
                joined.pop_back();
                joined += trimmed(physical[++i]);
                while (!joined.empty() && isBlank(joined.back())) joined.pop_back();
            }
            line.text = joined;
        }
        lines.push_back(line);
    }
    return lines;
}

class Reader {
public:
    Reader(const std::string& where, Registry& out) : m_where(where), m_out(out) {}

    void read(const std::string& input) {
        std::vector<Line> lines = logicalLines(input);
        std::size_t i = 0;
        // Blank lines before the header are tolerated; a byte-order mark is not REGEDIT4.
        while (i < lines.size() && trimmed(lines[i].text).empty()) ++i;
        if (i == lines.size() || trimmed(lines[i].text) != "REGEDIT4")
            fail(i < lines.size() ? lines[i].number : 1, "the text must begin with the line REGEDIT4");
        for (++i; i < lines.size(); ++i) readLine(lines[i]);
    }

private:
    [[noreturn]] void fail(int line, const std::string& what) const {
        throw MachineFileError(m_where, "line " + std::to_string(line) + ": " + what);
    }

    void readLine(const Line& line) {
        m_line = line.number;
        std::string text = trimmed(line.text);
        if (text.empty() || text[0] == ';') return;
        if (text[0] == '[') return readKey(text);
        if (text[0] == '"' || text[0] == '@') return readValue(text);
        fail(m_line, "expected [key], \"name\"=value or @=value");
    }

    void readKey(const std::string& text) {
        if (text.back() != ']') fail(m_line, "a key line must end with ]");
        std::string path = text.substr(1, text.size() - 2);
        if (!path.empty() && path[0] == '-') fail(m_line, "deleting a key is not supported");
        std::vector<std::string> parts = splitKeyPath(path);
        bool known = false;
        for (const char* root : kRootNames)
            if (!parts.empty() && sameName(parts[0], root)) known = true;
        if (!known)
            fail(m_line, "unknown root key \"" + (parts.empty() ? std::string() : parts[0]) +
                             "\" (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT or HKEY_USERS)");
        m_key = &m_out.ensure(path);
    }

    // A quoted text with \\ and \" escapes, from text[at] (the opening quote);
    // `at` ends just past the closing quote.
    std::string quoted(const std::string& text, std::size_t& at) const {
        std::string out;
        for (++at; at < text.size(); ++at) {
            char c = text[at];
            if (c == '"') {
                ++at;
                return out;
            }
            if (c == '\\') {
                if (at + 1 >= text.size()) break;
                char next = text[++at];
                if (next != '\\' && next != '"')
                    fail(m_line,
                         std::string("unknown escape \\") + next + " (only \\\\ and \\\" are allowed)");
                c = next;
            }
            out += c;
        }
        fail(m_line, "a quoted text has no closing quote");
    }

    void readValue(const std::string& text) {
        if (!m_key) fail(m_line, "a value before the first [key] line");
        std::size_t at = 0;
        std::string name;
        if (text[0] == '@') {
            at = 1;
        } else {
            name = quoted(text, at);
        }
        while (at < text.size() && isBlank(text[at])) ++at;
        if (at >= text.size() || text[at] != '=') fail(m_line, "expected = after the value name");
        ++at;
        while (at < text.size() && isBlank(text[at])) ++at;
        std::string data = text.substr(at);

        if (!data.empty() && data[0] == '"') {
            std::size_t end = 0;
            std::string value = quoted(data, end);
            if (!trimmed(data.substr(end)).empty()) fail(m_line, "text after the closing quote");
            m_key->setString(name, value);
        } else if (data.compare(0, 6, "dword:") == 0) {
            std::string digits = trimmed(data.substr(6));
            if (digits.empty() || digits.size() > 8) fail(m_line, "dword: needs 1 to 8 hexadecimal digits");
            os::DWORD number = 0;
            for (char c : digits) {
                int d = hexDigit(c);
                if (d < 0) fail(m_line, "dword: needs 1 to 8 hexadecimal digits");
                number = number * 16 + static_cast<os::DWORD>(d);
            }
            m_key->setDword(name, number);
        } else if (data.compare(0, 3, "hex") == 0) {
            readHex(name, data);
        } else if (data == "-") {
            fail(m_line, "deleting a value is not supported");
        } else {
            fail(m_line, "expected \"text\", dword:, hex: or hex(n): after =");
        }
    }

    void readHex(const std::string& name, const std::string& data) {
        std::size_t at = 3;
        os::DWORD type = os::REG_BINARY;
        if (at < data.size() && data[at] == '(') {
            std::size_t close = data.find(')', at);
            if (close == std::string::npos || close == at + 1)
                fail(m_line, "hex(n): needs a hexadecimal type");
            type = 0;
            for (std::size_t i = at + 1; i < close; ++i) {
                int d = hexDigit(data[i]);
                if (d < 0 || close - at - 1 > 8) fail(m_line, "hex(n): needs a hexadecimal type");
                type = type * 16 + static_cast<os::DWORD>(d);
            }
            at = close + 1;
        }
        if (at >= data.size() || data[at] != ':') fail(m_line, "expected : after hex");
        std::vector<std::uint8_t> bytes;
        std::string rest = data.substr(at + 1);
        std::size_t start = 0;
        // Asked once: asking on every byte would copy the whole list each time.
        const bool anyBytes = !trimmed(rest).empty();
        while (anyBytes && start <= rest.size()) {
            std::size_t comma = rest.find(',', start);
            std::string item =
                trimmed(rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0)
                fail(m_line, "hex bytes must be two hexadecimal digits each, separated by commas");
            bytes.push_back(static_cast<std::uint8_t>(hexDigit(item[0]) * 16 + hexDigit(item[1])));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        m_key->setValue(name, type, std::move(bytes));
    }

    std::string m_where;
    Registry& m_out;
    RegKey* m_key = nullptr;
    int m_line = 0;
};

std::string escapedText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A REG_SZ that is one text with its zero can be written as "text".
bool isPlainText(const RegValue& v) {
    if (v.type != os::REG_SZ || v.data.empty() || v.data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i)
        if (v.data[i] == 0 || v.data[i] == '\r' || v.data[i] == '\n') return false;
    return true;
}

void writeValue(std::ostringstream& out, const RegValue& v) {
    std::string head = v.name.empty() ? "@=" : escapedText(v.name) + "=";
    if (isPlainText(v)) {
        out << head << escapedText(std::string(v.data.begin(), v.data.end() - 1)) << "\n";
        return;
    }
    char buffer[32];
    if (v.type == os::REG_DWORD && v.data.size() == 4) {
        unsigned number = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (unsigned(v.data[3]) << 24);
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        out << head << buffer << "\n";
        return;
    }
    std::string line = head;
    if (v.type == os::REG_BINARY) {
        line += "hex:";
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(v.type));
        line += buffer;
    }
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", v.data[i]);
        line += buffer;
        if (i + 1 < v.data.size()) {
            line += ',';
            // Long values are wrapped as the registry editor does.
            if (line.size() > 74) {
                out << line << "\\\n";
                line = "  ";
            }
        }
    }
    out << line << "\n";
}

void writeKey(std::ostringstream& out, const RegKey& key, const std::string& path) {
    out << "[" << path << "]\n";
    for (const RegValue& v : key.values) writeValue(out, v);
    out << "\n";
    for (const auto& child : key.subkeys) writeKey(out, *child, path + "\\" + child->name);
}

}  // namespace

void readRegistry(const std::string& regedit4, const std::string& where, Registry& out) {
    Reader(where, out).read(regedit4);
}

std::string writeRegistry(const Registry& in) {
    std::ostringstream out;
    bool any = false;
    for (const auto& root : in.roots) {
        if (root->values.empty() && root->subkeys.empty()) continue;
        if (!any) out << "REGEDIT4\n\n";
        any = true;
        if (!root->values.empty()) {
            writeKey(out, *root, root->name);
            continue;
        }
        for (const auto& child : root->subkeys) writeKey(out, *child, root->name + "\\" + child->name);
    }
    return out.str();
}

}  // namespace sim
