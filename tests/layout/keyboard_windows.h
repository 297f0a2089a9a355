// What the keyboard suites of the layout windows share: a top-level frame
// that collects the commands reaching it and a focusable child.
// Keys are struck with the helpers of key_strokes.h.
#pragma once

#include <vector>

#include <tessel/platform/testing.h>
#include <tessel/windows/YBKeyboardItem.h>

#include "key_strokes.h"
#include "toolkit_windows.h"

namespace keyboard_test {

using namespace test_support;
using tessel::testing::pump;

using Frame = test_support::CommandFrame;

// A tab stop in one colour whose contents need the size it was made with;
// `dlgCode` may keep keys from navigation and from the managers around it.
class Stop : public YBChildWnd, public YBKeyboardItem {
public:
    Stop(int width, int height) : m_contents(width, height) { setInitialSize(width, height); }
    DWORD keyboardStyle() const override { return WS_TABSTOP; }
    UINT keyboardDlgCode(const MSG*) override { return dlgCode; }
    CSize getContentsSize() const override { return m_contents; }
    void onKey(int down, int key, int, int) override {
        if (down) keys.push_back(key);
    }
    void onDraw(XDC& dc) override {
        CRect client;
        getClientRect(client);
        dc.FillRect(client, RGB(40, 90, 200));
    }

    UINT dlgCode = 0;
    std::vector<int> keys;

private:
    CSize m_contents;
};

}  // namespace keyboard_test
