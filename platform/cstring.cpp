#include "platform/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/os.h"

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, std::va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_text.assign(buffer.data(), static_cast<std::size_t>(length));
}

CString& CString::MakeUpper() {
    if (!m_text.empty())
        os::CharUpperBuffA(&m_text[0], static_cast<os::DWORD>(m_text.size()));
    return *this;
}

int CString::Compare(const char* other) const { return m_text.compare(other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
    CString a(*this), b(other);
    a.MakeUpper();
    b.MakeUpper();
    return a.Compare(b.c_str());
}

int CString::Find(char c, int start) const {
    if (start < 0) start = 0;
    // Walk from the beginning so that character boundaries are known.
    int i = 0;
    const int n = GetLength();
    while (i < n) {
        auto byte = static_cast<os::BYTE>(m_text[static_cast<std::size_t>(i)]);
        bool lead = os::IsDBCSLeadByte(byte) && i + 1 < n;
        if (i >= start && !lead && m_text[static_cast<std::size_t>(i)] == c) return i;
        i += lead ? 2 : 1;
    }
    return -1;
}

int CString::Find(const char* text, int start) const {
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    auto at = m_text.find(text ? text : "", static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_text.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count <= 0 || first >= GetLength()) return CString();
    return CString(m_text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength() - (first < 0 ? 0 : first)); }

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : m_text)
        if (c == from) {
            c = to;
            ++count;
        }
    return count;
}
