#include "YBKeyboardCues.h"

#include <cwchar>
#include <cwctype>

#include <tessel/platform/gdi.h>
#include <tessel/windows/YBBaseWnd.h>

namespace {
constexpr int kRingInset = 3;  // clear of a button's border
}

UINT YBKeyboardCues::prefixFormat(const CWnd* window, const kelp::KLString& caption) {
    // Without a prefix the flag changes nothing: most captions cost no lookup.
    if (!std::wcschr(caption.c_str(), L'&')) return 0;
    const auto* toolkit = dynamic_cast<const YBBaseWnd*>(window);
    if (!toolkit || !toolkit->m_hWnd || !toolkit->keyboardEnabled()) return 0;
    const auto state = static_cast<UINT>(::SendMessageW(toolkit->m_hWnd, WM_QUERYUISTATE, 0, 0));
    return (state & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
}

bool YBKeyboardCues::showsFocus(HWND window) {
    if (!window || ::GetFocus() != window) return false;
    return !(::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void YBKeyboardCues::drawFocusRing(HDC dc, const CRect& rect) {
    CRect ring = rect;
    if (ring.Width() > 2 * kRingInset + 2 && ring.Height() > 2 * kRingInset + 2)
        ring.DeflateRect(kRingInset, kRingInset);
    ::DrawFocusRect(dc, &ring);
}

wchar_t YBKeyboardCues::mnemonic(const kelp::KLString& caption) {
    const wchar_t* text = caption.c_str();
    for (int i = 0; i + 1 < caption.length(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
        ++i;  // "&&" is a literal '&'
    }
    return 0;
}

bool YBKeyboardCues::hasMnemonic(const kelp::KLString& caption, wchar_t letter) {
    const wchar_t own = mnemonic(caption);
    return own != 0 && own == static_cast<wchar_t>(std::towupper(letter));
}
