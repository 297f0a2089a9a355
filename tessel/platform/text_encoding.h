// UTF-8 <-> wide (UTF-32) conversion shared by every string class. Malformed
// input never fails: bad bytes, overlong forms, surrogates and values beyond
// U+10FFFF become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace tessel {

std::wstring decodeUtf8(std::string_view utf8);
std::string encodeUtf8(std::wstring_view text);

}  // namespace tessel
