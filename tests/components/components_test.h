// What the component suites share: an application window that records the
// commands reaching it, a host that counts its paints, a
// coloured button that records what the host routes to it, and the input
// helpers of a test that acts as a user with a mouse.
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
#include <tessel/windows/YBChildWnd.h>

#include "sequence.h"
#include "toolkit_windows.h"

// Rectangles print as (left,top,right,bottom) in failure messages, points
// and sizes as (x,y) and (cx,cy).
inline void PrintTo(const CRect& r, std::ostream* out) {
    *out << '(' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ')';
}
inline void PrintTo(const CPoint& p, std::ostream* out) {
    *out << '(' << p.x << ',' << p.y << ')';
}
inline void PrintTo(const CSize& s, std::ostream* out) {
    *out << '(' << s.cx << ',' << s.cy << ')';
}

namespace components_test {

// What probes record ("enter", "close 3"), checked with EXPECT_SEQ.
using Strings = test_support::Names;

// The application's top-level window: commands climb to it from the host.
using AppWnd = test_support::CommandFrame;

// A host that counts its paints and shows its line height and scale.
class TestHost : public YBComponentWnd {
public:
    explicit TestHost(DWORD bg = RGB(0, 0, 128)) : YBComponentWnd(bg) {}
    int draws = 0;

    int lineHeight() const { return m_lineHeight; }
    int vScale() const { return m_vScrollScale; }

    void onDraw(XDC& dc) override {
        ++draws;
        YBComponentWnd::onDraw(dc);
    }
};

// A button filling its rectangle with one colour, recording what reaches it:
// `events` its own mouse events; `log`, when given, "close <id>" and
// "delete <id>"; `trace`, when given, "<id> enter|move|leave" in the order the
// host routes them to all probes sharing it. Both outlive the probe.
class Probe : public YBButton {
public:
    Probe(unsigned id, CWnd* owner, CSize size, COLORREF fill = RGB(200, 0, 0),
          Strings* log = nullptr, Strings* trace = nullptr)
        : YBButton(id, owner), colour(fill), m_log(log), m_trace(trace) {
        setInitialSize(size);
    }
    ~Probe() override { note(m_log, "delete", true); }
    COLORREF colour;
    Strings events;
    std::function<void()> onEnter;  // runs once the pointer has entered

    void forceMouseOver() { setFlags(mouseOver); }
    void onDraw(XDC& dc) override { dc.FillRect(m_rect, colour); }
    void onClose() override {
        note(m_log, "close", true);
        YBButton::onClose();
    }
    void onMouseEnter() override {
        events.push_back("enter");
        note(m_trace, "enter", false);
        YBButton::onMouseEnter();
        if (onEnter) onEnter();
    }
    void onMouseMove(UINT flags, CPoint p) override {
        events.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
        note(m_trace, "move", false);
        YBButton::onMouseMove(flags, p);
    }
    void onMouseLeave() override {
        events.push_back("leave");
        note(m_trace, "leave", false);
        YBButton::onMouseLeave();
    }
    void onLeftMouseButton(int action, CPoint p) override {
        events.push_back(std::string("left ").append(std::to_string(action)));
        YBButton::onLeftMouseButton(action, p);
    }

private:
    // Appended piece by piece: GCC 12 warns falsely on "literal" + string&& at -O3.
    void note(Strings* to, const char* what, bool idLast) const {
        if (!to) return;
        const std::string number = std::to_string(id());
        std::string line = idLast ? what : number;
        line += ' ';
        line += idLast ? number : what;
        to->push_back(std::move(line));
    }
    Strings* m_log;
    Strings* m_trace;
};

inline void mouse(DWORD flags, int data = 0) {
    tessel::sendMouseInput(flags, data);
    tessel::testing::pump();
}
inline void press() {
    mouse(MOUSEEVENTF_LEFTDOWN);
}
inline void release() {
    mouse(MOUSEEVENTF_LEFTUP);
}
inline void wheel(int delta) {
    mouse(MOUSEEVENTF_WHEEL, delta);
}

// Moves the pointer to a point in window coordinates of `w` (its client
// coordinates when it has no frame).
inline void moveTo(CWnd& w, CPoint windowPt) {
    CRect r;
    w.GetWindowRect(&r);
    SetCursorPos(r.left + windowPt.x, r.top + windowPt.y);
    tessel::testing::pump();
}
inline void clickAt(CWnd& w, CPoint windowPt) {
    moveTo(w, windowPt);
    press();
    release();
}

inline COLORREF pixel(HWND w, int x, int y) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}
// Each channel within `tolerance` (scaled images and anti-aliased text).
inline bool near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
inline CRect updateRect(HWND w) {
    CRect r(0, 0, 0, 0);
    GetUpdateRect(w, &r, FALSE);
    return r;
}
inline SCROLLINFO scrollBar(HWND w, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(w, bar, &info);
    return info;
}
inline SCROLLINFO vbar(HWND w) {
    return scrollBar(w, SB_VERT);
}
inline SCROLLINFO hbar(HWND w) {
    return scrollBar(w, SB_HORZ);
}
inline CRect clientRect(HWND w) {
    CRect r;
    GetClientRect(w, &r);
    return r;
}

// A 400x300 application window at (100, 100), its hosts made on demand.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        SetCursorPos(0, 0);
        tessel::testing::pump();
        app.setInitialSize(400, 300);
        ASSERT_TRUE(app.createAt(100, 100, nullptr));
        tessel::testing::pump();
    }
    void TearDown() override {
        SetCursorPos(0, 0);
        tessel::testing::advanceClock(1000);  // no double click carries over
        tessel::testing::pump();
    }
    // `host` at (x, y) in the application window, a vertical bar when `vertical`.
    void makeHost(YBComponentWnd& host, int x, int y, int cx, int cy, bool vertical = false) {
        host.setFlag(YBBaseWnd::verticalScrollBar, vertical);
        host.setInitialSize(cx, cy);
        ASSERT_TRUE(host.createAt(x, y, &app));
        tessel::testing::pump();
    }

    AppWnd app;
};

}  // namespace components_test
