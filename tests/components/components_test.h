// What the component suites share: an application window that records the
// commands reaching it, a host that counts its paints, a coloured button
// that logs what reaches it, and a user's mouse and eyes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

#include "key_strokes.h"
#include "sequence.h"
#include "toolkit_windows.h"

inline void PrintTo(const CRect& r, std::ostream* out) {
    *out << '(' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ')';
}

namespace components_test {

using Strings = test_support::Names;
using AppWnd = test_support::CommandFrame;
using tessel::testing::pump;
using test_support::pixelsOf;

class TestHost : public YBComponentWnd {
public:
    explicit TestHost(DWORD bg = RGB(0, 0, 128)) : YBComponentWnd(bg) {}
    int draws = 0;
    int lineHeight() const { return m_lineHeight; }
    int vScale() const { return m_vScrollScale; }
    void onDraw(XDC& dc) override { ++draws, YBComponentWnd::onDraw(dc); }
};

// A button filling its rectangle with one colour that logs, when given a log
// outliving it, "<id> enter", "<id> move x,y", "<id> leave", "<id> left
// <action>", "<id> close" and "<id> delete" in the order they happen.
class Probe : public YBButton {
public:
    Probe(unsigned id, CWnd* owner, CSize size, COLORREF fill = RGB(200, 0, 0),
          Strings* log = nullptr)
        : YBButton(id, owner), colour(fill), m_log(log) {
        setInitialSize(size);
    }
    ~Probe() override { note("delete"); }
    COLORREF colour;
    std::function<void()> onEnter;  // runs once the pointer has entered

    void forceMouseOver() { setFlags(mouseOver); }
    void onDraw(XDC& dc) override { dc.FillRect(m_rect, colour); }
    void onClose() override { note("close"), YBButton::onClose(); }
    void onMouseEnter() override {
        note("enter"), YBButton::onMouseEnter();
        if (onEnter) onEnter();
    }
    void onMouseMove(UINT flags, CPoint p) override {
        note("move " + std::to_string(p.x) + "," + std::to_string(p.y));
        YBButton::onMouseMove(flags, p);
    }
    void onMouseLeave() override { note("leave"), YBButton::onMouseLeave(); }
    void onLeftMouseButton(int action, CPoint p) override {
        note("left " + std::to_string(action)), YBButton::onLeftMouseButton(action, p);
    }

private:
    void note(const std::string& what) const {
        if (m_log) m_log->push_back(std::to_string(id()).append(" ").append(what));
    }
    Strings* m_log;
};

// A 400x300 application window at (100, 100) to put hosts in.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        SetCursorPos(0, 0);
        app.setInitialSize(400, 300);
        ASSERT_TRUE(app.createAt(100, 100, nullptr));
        pump();
    }
    void TearDown() override {
        SetCursorPos(0, 0);
        tessel::testing::advanceClock(1000);  // no double click carries over
        pump();
    }
    // `host` at (x, y) in the application window, a vertical bar when `vertical`.
    void makeHost(YBComponentWnd& host, int x, int y, int cx, int cy, bool vertical = false) {
        host.setFlag(YBBaseWnd::verticalScrollBar, vertical);
        host.setInitialSize(cx, cy);
        ASSERT_TRUE(host.createAt(x, y, &app));
        pump();
    }

    static void press() { tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN), pump(); }
    static void release() { tessel::sendMouseInput(MOUSEEVENTF_LEFTUP), pump(); }
    static void wheel(int delta) { tessel::sendMouseInput(MOUSEEVENTF_WHEEL, delta), pump(); }
    static void moveTo(CWnd& w, CPoint at) {
        w.ClientToScreen(&at);
        SetCursorPos(at.x, at.y);
        pump();
    }
    static void clickAt(CWnd& w, CPoint at) { moveTo(w, at), press(), release(); }
    static COLORREF pixel(HWND w, int x, int y) { return pixelsOf(w, {x, y, x + 1, y + 1})[0]; }
    // Whether some pixel of `area` has each channel within `tolerance` of `colour`.
    static bool shows(HWND w, const CRect& area, COLORREF colour, int tolerance = 40) {
        return std::ranges::any_of(pixelsOf(w, area), [&](COLORREF c) {
            return std::abs(GetRValue(c) - GetRValue(colour)) <= tolerance &&
                   std::abs(GetGValue(c) - GetGValue(colour)) <= tolerance &&
                   std::abs(GetBValue(c) - GetBValue(colour)) <= tolerance;
        });
    }
    static CRect updateRect(HWND w) {
        CRect r(0, 0, 0, 0);
        return GetUpdateRect(w, &r, FALSE), r;
    }
    static SCROLLINFO bar(HWND w, int which = SB_VERT) {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        return GetScrollInfo(w, which, &info), info;
    }
    static CRect clientRect(HWND w) {
        CRect r;
        return GetClientRect(w, &r), r;
    }

    AppWnd app;
};

}  // namespace components_test
