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
inline void tapKey(WORD vk, int times = 1) {
    for (int i = 0; i < times; ++i) {
        pressKey(vk);
        liftKey(vk);
    }
}
// Held through `repeats` auto-repeats, then lifted.
inline void holdKey(WORD vk, int repeats) {
    for (int i = 0; i <= repeats; ++i)
        pressKey(vk);
    liftKey(vk);
}
inline void shifted(WORD vk) {
    pressKey(VK_SHIFT);
    tapKey(vk);
    liftKey(VK_SHIFT);
}
inline void shiftTab() {
    shifted(VK_TAB);
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
inline std::vector<COLORREF> pixelsOf(HWND w) {
    CRect client;
    GetClientRect(w, &client);
    return pixelsOf(w, client);
}

}  // namespace test_support
