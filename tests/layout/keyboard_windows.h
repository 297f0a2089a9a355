// What the keyboard suites of the layout windows share: a top-level frame
// that collects the commands reaching it, a focusable child that notes its
// keys, and keys pressed through SendInput.
#pragma once

#include <vector>

#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/windows/YBKeyboardItem.h>

#include "toolkit_windows.h"

namespace keyboard_test {

using tessel::testing::pump;

class Frame : public test_support::PopupFrame {
public:
    void onCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

// A tab stop filled with one colour, whose contents need the size it was
// made with; `dlgCode` may keep keys from navigation and from the managers
// around it.
class Stop : public YBChildWnd, public YBKeyboardItem {
public:
    Stop(int width, int height, COLORREF color = RGB(40, 90, 200))
        : m_contents(width, height), m_color(color) {
        setInitialSize(width, height);
    }
    CSize getContentsSize() const override { return m_contents; }
    DWORD keyboardStyle() const override { return WS_TABSTOP; }
    UINT keyboardDlgCode(const MSG*) override { return dlgCode; }
    void onKey(int down, int key, int, int) override {
        if (down) keys.push_back(key);
    }
    void onDraw(XDC& dc) override {
        CRect client;
        getClientRect(client);
        dc.FillRect(client, m_color);
    }
    CPoint at() {
        CPoint p(-1, -1);
        getPosition(p.x, p.y);
        return p;
    }

    UINT dlgCode = 0;
    std::vector<int> keys;

private:
    CSize m_contents;
    COLORREF m_color;
};

inline void down(WORD vk) {
    tessel::sendKeyInput(vk);
    pump();
}

inline void up(WORD vk) {
    tessel::sendKeyInput(vk, 0, KEYEVENTF_KEYUP);
    pump();
}

inline void press(WORD vk, int times = 1) {
    for (int i = 0; i < times; ++i) {
        down(vk);
        up(vk);
    }
}

inline void pressShifted(WORD vk, int times = 1) {
    down(VK_SHIFT);
    press(vk, times);
    up(VK_SHIFT);
}

inline SCROLLINFO bar(HWND window, int which) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, which, &info);
    return info;
}

// Every pixel of the window's client area, row by row.
inline std::vector<COLORREF> pixels(HWND window, const CRect& area) {
    pump();
    std::vector<COLORREF> out;
    HDC dc = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            out.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return out;
}

inline std::vector<COLORREF> pixels(HWND window) {
    CRect client;
    GetClientRect(window, &client);
    return pixels(window, client);
}

}  // namespace keyboard_test
