#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelp {

// A wide (UTF-32 on this platform) string. Narrow text is UTF-8: it is decoded
// on the way in and encoded by toUtf8 on the way out; malformed bytes become
// U+FFFD rather than failing.
//
//   KLString path("images");
//   path += "/ok.png";
//   draw(static_cast<const wchar_t*>(path));   // valid while `path` lives
class KLString {
public:
    KLString() = default;
    KLString(const char* utf8);     // NOLINT: implicit, as text literals are used everywhere
    KLString(const wchar_t* text);  // NOLINT
    KLString(std::wstring_view text) : m_text(text) {}
    explicit KLString(std::string_view utf8);

    KLString& operator=(const char* utf8);
    KLString& operator=(const wchar_t* text);

    KLString& operator+=(const KLString& other);
    KLString& operator+=(const char* utf8);
    KLString& operator+=(const wchar_t* text);
    KLString& operator+=(wchar_t c);

    int length() const { return static_cast<int>(m_text.size()); }
    bool isEmpty() const { return m_text.empty(); }

    // Also converts to CString, through CString's constructor for wide string classes.
    operator const wchar_t*() const { return m_text.c_str(); }  // NOLINT: Win32-style use
    const wchar_t* c_str() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }
    std::string toUtf8() const;

    static KLString valueOf(int value);

    friend bool operator==(const KLString& a, const KLString& b) { return a.m_text == b.m_text; }
    // Exact overloads keep comparisons with literals away from the pointer conversion.
    friend bool operator==(const KLString& a, const wchar_t* b) { return a == KLString(b); }
    friend bool operator==(const KLString& a, const char* b) { return a == KLString(b); }
    friend auto operator<=>(const KLString& a, const KLString& b) { return a.m_text <=> b.m_text; }
    friend KLString operator+(KLString a, const KLString& b) { return a += b; }

private:
    std::wstring m_text;
};

}  // namespace kelp
