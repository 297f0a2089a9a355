#include "KLString.h"

#include <tessel/platform/text_encoding.h>

namespace kelp {

KLString::KLString(const char* utf8) : m_text(utf8 ? tessel::decodeUtf8(utf8) : std::wstring()) {}
KLString::KLString(const wchar_t* text) : m_text(text ? text : L"") {}
KLString::KLString(std::string_view utf8) : m_text(tessel::decodeUtf8(utf8)) {}

KLString& KLString::operator=(const char* utf8) {
    return *this = KLString(utf8);
}
KLString& KLString::operator=(const wchar_t* text) {
    return *this = KLString(text);
}

KLString& KLString::operator+=(const KLString& other) {
    m_text += other.m_text;
    return *this;
}
KLString& KLString::operator+=(const char* utf8) {
    if (utf8) m_text += tessel::decodeUtf8(utf8);
    return *this;
}
KLString& KLString::operator+=(const wchar_t* text) {
    if (text) m_text += text;
    return *this;
}
KLString& KLString::operator+=(wchar_t c) {
    m_text.push_back(c);
    return *this;
}

std::string KLString::toUtf8() const {
    return tessel::encodeUtf8(m_text);
}

KLString KLString::valueOf(int value) {
    return KLString(std::to_wstring(value));
}

}  // namespace kelp
