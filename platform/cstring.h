// The program's string: a counted ANSI byte string with value semantics.
//
// Character-wise work (upper-casing, searching for a character) goes through
// the system's code page, so a double-byte character is always kept whole.
#pragma once

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text, length > 0 ? length : 0) {}
    CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* c_str() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    char GetAt(int index) const { return m_text[static_cast<std::size_t>(index)]; }

    // printf-style formatting (%s takes const char*, so pass strings with c_str()).
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // The same with the values in a va_list.
    void FormatV(const char* format, std::va_list args);

    // Upper-cases in place in the system's ANSI code page.
    CString& MakeUpper();
    // 0 when both are equal after upper-casing each, like the system's own
    // case-insensitive comparison; otherwise the sign of the byte difference.
    int CompareNoCase(const char* other) const;
    int Compare(const char* other) const;

    // Index of the first `c` at or after `start`, stepping over double-byte
    // characters (a trail byte is never matched); -1 when absent.
    int Find(char c, int start = 0) const;
    // Index of the first occurrence of `text` at or after `start`; -1 when absent.
    int Find(const char* text, int start = 0) const;
    CString Left(int count) const;
    // `count` characters from `first`; a negative count gives the empty string.
    CString Mid(int first, int count) const;
    CString Mid(int first) const;
    // Replaces every single-byte character `from` by `to`; returns how many.
    int Replace(char from, char to);

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }

private:
    std::string m_text;
};
