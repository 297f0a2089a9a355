#include "KLFilename.h"

#include <string>

namespace kelp {

KLString KLFilename::concatPaths(const KLString& a, const KLString& b, int style) {
    if (style == Detect) {
        const auto slash = a.str().find_last_of(L'/');
        const auto backslash = a.str().find_last_of(L'\\');
        const bool windows =
            backslash != std::wstring::npos && (slash == std::wstring::npos || backslash > slash);
        style = windows ? Windows : Native;
    }
    const wchar_t separator = style == Windows ? L'\\' : L'/';
    const wchar_t* separators = style == Windows ? L"\\/" : L"/";

    std::wstring left = a.str();
    const auto lastKept = left.find_last_not_of(separators);
    left.erase(lastKept == std::wstring::npos ? 0 : lastKept + 1);
    const auto firstKept = b.str().find_first_not_of(separators);
    const std::wstring right = firstKept == std::wstring::npos ? L"" : b.str().substr(firstKept);

    left.push_back(separator);
    left += right;
    return KLString(std::wstring_view(left));
}

}  // namespace kelp
