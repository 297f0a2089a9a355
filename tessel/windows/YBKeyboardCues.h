// What keyboard operation shows: the focus ring once the keyboard was used,
// and the underlined mnemonic letter of a caption with '&' once Alt was
// pressed (YBKeyboardItem). A window without keyboard operation draws its
// captions exactly as it always did.
//
//   const UINT prefix = YBKeyboardCues::prefixFormat(m_owner, m_text);
//   dc.drawText(m_text, textRect, DT_CENTER | prefix);
//   if (YBKeyboardCues::showsFocus(m_hWnd)) YBKeyboardCues::drawFocusRing(dc, client);
#pragma once

#include <tessel/foundation/KLString.h>
#include <tessel/platform/afx_wnd.h>

class YBKeyboardCues {
public:
    // DT_HIDEPREFIX for a caption with '&' drawn in `window` (a toolkit
    // window) while it runs keyboard operation and hides its accelerator
    // cues; 0 otherwise.
    static UINT prefixFormat(const CWnd* window, const kelp::KLString& caption);
    // `window` has the focus and its focus cues are shown.
    static bool showsFocus(HWND window);
    // The dotted ring a little inside `rect` (on `rect` itself when that is too small).
    static void drawFocusRing(HDC dc, const CRect& rect);
    // The letter after the caption's first single '&', upper case; 0 when none.
    static wchar_t mnemonic(const kelp::KLString& caption);
    static bool hasMnemonic(const kelp::KLString& caption, wchar_t letter);
};
