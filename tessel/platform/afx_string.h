// MFC's CString: a wide string with the members Win32-style code uses.
// Narrow text given to it is UTF-8. Positions and lengths are in characters;
// positions outside the string are clamped, never undefined.
#pragma once

#include <concepts>
#include <cstdarg>
#include <string>
#include <string_view>

#include <tessel/platform/win_types.h>

// Wide string classes (std::wstring, kelp::KLString) convert implicitly.
template <class S>
concept WideStringClass = requires(const S& s) {
    { s.c_str() } -> std::convertible_to<const wchar_t*>;
};

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}  // NOLINT: as in MFC
    CString(const wchar_t* text, int length);
    CString(const char* utf8);  // NOLINT: as in MFC's converting constructor
    CString(wchar_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}  // NOLINT
    CString(std::wstring_view text) : m_text(text) {}                             // NOLINT
    template <WideStringClass S>
    CString(const S& text) : m_text(text.c_str()) {}  // NOLINT

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const { return m_text.c_str(); }  // NOLINT: as in MFC
    const std::wstring& str() const { return m_text; }

    wchar_t GetAt(int index) const;
    void SetAt(int index, wchar_t ch);

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Index of the first match at or after `start`, or -1.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Number of replacements made.
    int Replace(wchar_t from, wchar_t to);
    int Replace(const wchar_t* from, const wchar_t* to);
    int Remove(wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    CString& MakeLower();

    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;

    void Format(const wchar_t* format, ...);
    void AppendFormat(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    void Append(const wchar_t* text) { *this += text; }
    CString& operator=(const wchar_t* text) { return m_text = text ? text : L"", *this; }
    template <WideStringClass S>
    CString& operator=(const S& text) {
        return m_text = text.c_str(), *this;
    }
    CString& operator+=(const CString& other) { return m_text += other.m_text, *this; }
    CString& operator+=(const wchar_t* text) { return m_text += text ? text : L"", *this; }
    CString& operator+=(wchar_t ch) { return m_text += ch, *this; }

    // A writable buffer of at least minLength characters; ReleaseBuffer ends
    // it at `length`, or at the first null character when length is -1.
    wchar_t* GetBuffer(int minLength = 0);
    void ReleaseBuffer(int length = -1);

    std::string toUtf8() const;

    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const wchar_t* b) { return a += b; }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, wchar_t b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

private:
    std::wstring m_text;
};
