// Keys as a user strikes them, each event pumped through before the next,
// and what a window shows afterwards, pixel by pixel.
#pragma once

#include <vector>

#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

namespace test_support {

inline void pressKey(WORD vk) {
    tessel::sendKeyInput(vk);
    tessel::testing::pump();
}
inline void liftKey(WORD vk) {
    tessel::sendKeyInput(vk, 0, KEYEVENTF_KEYUP);
    tessel::testing::pump();
}
inline void tapKey(WORD vk) {
    pressKey(vk);
    liftKey(vk);
}
inline void shiftTab() {
    pressKey(VK_SHIFT);
    tapKey(VK_TAB);
    liftKey(VK_SHIFT);
}
inline void altKey(WORD letter) {
    pressKey(VK_MENU);
    tapKey(letter);
    liftKey(VK_MENU);
}

// The pixels of `rect` (client coordinates of `w`), row by row, once everything is painted.
inline std::vector<COLORREF> pixelsOf(HWND w, const CRect& rect) {
    tessel::testing::pump();
    HDC dc = GetDC(w);
    std::vector<COLORREF> out;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            out.push_back(GetPixel(dc, x, y));
    ReleaseDC(w, dc);
    return out;
}

}  // namespace test_support
