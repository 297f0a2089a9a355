#include <tessel/platform/afx_string.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include <tessel/platform/text_encoding.h>

namespace {
int clampIndex(int index, int length) {
    return std::clamp(index, 0, length);
}
}  // namespace

CString::CString(const wchar_t* text, int length) {
    if (text && length > 0) m_text.assign(text, static_cast<std::size_t>(length));
}

CString::CString(const char* utf8) : m_text(utf8 ? tessel::decodeUtf8(utf8) : std::wstring()) {}

wchar_t CString::GetAt(int index) const {
    return index >= 0 && index < GetLength() ? m_text[index] : L'\0';
}

void CString::SetAt(int index, wchar_t ch) {
    if (index >= 0 && index < GetLength()) m_text[index] = ch;
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Right(int count) const {
    const int n = clampIndex(count, GetLength());
    return Mid(GetLength() - n, n);
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    const int start = clampIndex(first, GetLength());
    const int n = std::clamp(count, 0, GetLength() - start);
    return CString(std::wstring_view(m_text).substr(start, n));
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    const auto at = m_text.find(ch, start);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    const auto at = m_text.find(sub, start);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    const auto at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(wchar_t from, wchar_t to) {
    int count = 0;
    for (auto& c : m_text) {
        if (c == from) c = to, ++count;
    }
    return count;
}

int CString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    const std::wstring_view needle(from);
    const std::wstring_view replacement(to ? to : L"");
    int count = 0;
    for (std::size_t at = m_text.find(needle); at != std::wstring::npos;
         at = m_text.find(needle, at + replacement.size())) {
        m_text.replace(at, needle.size(), replacement);
        ++count;
    }
    return count;
}

int CString::Remove(wchar_t ch) {
    const auto before = m_text.size();
    std::erase(m_text, ch);
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const wchar_t* text) {
    if (text) m_text.insert(clampIndex(index, GetLength()), text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) m_text.erase(index, count);
    return GetLength();
}

CString& CString::TrimLeft() {
    const auto first =
        std::find_if(m_text.begin(), m_text.end(), [](wchar_t c) { return !std::iswspace(c); });
    m_text.erase(m_text.begin(), first);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && std::iswspace(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::MakeUpper() {
    for (auto& c : m_text)
        c = static_cast<wchar_t>(std::towupper(c));
    return *this;
}

CString& CString::MakeLower() {
    for (auto& c : m_text)
        c = static_cast<wchar_t>(std::towlower(c));
    return *this;
}

int CString::Compare(const wchar_t* other) const {
    const int result = m_text.compare(other ? other : L"");
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

int CString::CompareNoCase(const wchar_t* other) const {
    CString a(*this), b(other);
    return a.MakeLower().Compare(b.MakeLower());
}

void CString::FormatV(const wchar_t* format, va_list args) {
    if (!format) return Empty();
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (written >= 0) {
            m_text.assign(buffer.data(), static_cast<std::size_t>(written));
            return;
        }
        // vswprintf reports only failure; grow until it fits or becomes absurd.
        if (buffer.size() >= (std::size_t{1} << 24)) return Empty();
        buffer.resize(buffer.size() * 4);
    }
}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...) {
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    *this += tail;
}

wchar_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(minLength);
    return m_text.data();
}

void CString::ReleaseBuffer(int length) {
    if (length < 0) {
        m_text.resize(std::wcslen(m_text.c_str()));
    } else {
        m_text.resize(std::min<std::size_t>(length, m_text.size()));
    }
}

std::string CString::toUtf8() const {
    return tessel::encodeUtf8(m_text);
}
