// What the component suites share: an application window that records the
// commands reaching it, a host that counts its paints, a coloured button
// that logs what reaches it, and a user's mouse.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

#include "sequence.h"
#include "toolkit_windows.h"

// Geometry prints as (left,top,right,bottom), (x,y) and (cx,cy) in failures.
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

using Strings = test_support::Names;
using AppWnd = test_support::CommandFrame;
using tessel::testing::pump;

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
    void onClose() override {
        note("close");
        YBButton::onClose();
    }
    void onMouseEnter() override {
        note("enter");
        YBButton::onMouseEnter();
        if (onEnter) onEnter();
    }
    void onMouseMove(UINT flags, CPoint p) override {
        note("move " + std::to_string(p.x) + "," + std::to_string(p.y));
        YBButton::onMouseMove(flags, p);
    }
    void onMouseLeave() override {
        note("leave");
        YBButton::onMouseLeave();
    }
    void onLeftMouseButton(int action, CPoint p) override {
        note("left " + std::to_string(action));
        YBButton::onLeftMouseButton(action, p);
    }

private:
    // Appended piece by piece: GCC 12 warns falsely on "literal" + string&& at -O3.
    void note(const std::string& what) const {
        if (!m_log) return;
        std::string line = std::to_string(id());
        line += ' ';
        line += what;
        m_log->push_back(std::move(line));
    }
    Strings* m_log;
};

inline void mouse(DWORD flags, int data = 0) {
    tessel::sendMouseInput(flags, data);
    pump();
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
// To a point in window coordinates of `w` (its client's when it has no frame).
inline void moveTo(CWnd& w, CPoint windowPt) {
    CRect r;
    w.GetWindowRect(&r);
    SetCursorPos(r.left + windowPt.x, r.top + windowPt.y);
    pump();
}
inline void clickAt(CWnd& w, CPoint windowPt) {
    moveTo(w, windowPt);
    press();
    release();
}

// Once everything is painted.
inline COLORREF pixel(HWND w, int x, int y) {
    pump();
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
// Whether some pixel of `area` is near `colour`.
inline bool shows(HWND w, const CRect& area, COLORREF colour, int tolerance = 40) {
    pump();
    HDC dc = GetDC(w);
    bool found = false;
    for (int y = area.top; y < area.bottom && !found; ++y)
        for (int x = area.left; x < area.right && !found; ++x)
            found = near(GetPixel(dc, x, y), colour, tolerance);
    ReleaseDC(w, dc);
    return found;
}
inline CRect updateRect(HWND w) {
    CRect r(0, 0, 0, 0);
    GetUpdateRect(w, &r, FALSE);
    return r;
}
inline SCROLLINFO bar(HWND w, int which = SB_VERT) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(w, which, &info);
    return info;
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
        pump();
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

    AppWnd app;
};

}  // namespace components_test
