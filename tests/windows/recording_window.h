// A toolkit window that records every virtual handler call as one line of
// text ("onKey(1,65,1,30)") for the sequence matcher, a fixture with a
// top-level recording window, and the input helpers of a test that acts as a
// user with a mouse and keyboard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/module/Tessel.h>
#include <tessel/platform/afx_app.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/windows/YBChildWnd.h>

#include "sequence.h"

namespace windows_test {

using test_support::call;
using test_support::Names;

class RecordingWnd : public YBChildWnd {
public:
    Names calls;
    // Handlers that ran while another module's application was current.
    int handlersOutsideModule = 0;
    std::optional<DWORD> style;  // replaces the style getCreateStyle gives
    DWORD exStyle = 0;
    std::optional<CSize> minSize;  // what getMinSize answers instead of the stored one
    CRect lastClip;                // the clip box of the last onDraw
    bool visibleInOnCreate = true;
    std::vector<UINT> dispatched;  // application-range messages that reached the window procedure

    // The calls since the last take that start with one of the prefixes (an
    // empty prefix: all); forgets every call.
    Names take(std::initializer_list<std::string_view> prefixes) {
        Names out;
        std::ranges::copy_if(calls, std::back_inserter(out), [&](const std::string& c) {
            return std::ranges::any_of(prefixes, [&](auto p) { return c.starts_with(p); });
        });
        calls.clear();
        return out;
    }
    Names take(std::string_view prefix = "") { return take({prefix}); }

    void getCreateStyle(DWORD& s, DWORD& ex, CSize& size) override {
        calls.push_back("getCreateStyle()");
        YBChildWnd::getCreateStyle(s, ex, size);
        if (style) s = *style;
        ex |= exStyle;
    }
    void onPreCreate() override { calls.push_back("onPreCreate()"); }
    CSize getMinSize() const override { return minSize ? *minSize : YBChildWnd::getMinSize(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= 0x7FFF && message <= 0xC000) dispatched.push_back(message);
        return YBChildWnd::WindowProc(message, wParam, lParam);
    }

    void onCreate() override {
        handler("onCreate()");
        visibleInOnCreate = IsWindowVisible();
    }
    void onEraseBackground(XDC& dc) override {
        handler("onEraseBackground()");
        YBChildWnd::onEraseBackground(dc);
    }
    void onDraw(XDC& dc) override {
        handler("onDraw()");
        GetClipBox(dc, &lastClip);
        YBChildWnd::onDraw(dc);
    }
    // clang-format off
#define RECORDED(name, params, ...) void name params override { handler(call(#name __VA_OPT__(,) __VA_ARGS__)); }
    RECORDED(onSize, (UINT type, int width, int height), type, width, height)
    RECORDED(onCommand, (int id), id)
    RECORDED(onTimer, (int id), id)
    RECORDED(onKey, (int down, int key, int repeat, int flags), down, key, repeat, flags)
    RECORDED(onChar, (int ch, int repeat), ch, repeat)
    RECORDED(onLeftMouseButton, (int action, CPoint p), action, p.x, p.y)
    RECORDED(onRightMouseButton, (int action, CPoint p), action, p.x, p.y)
    RECORDED(onMiddleMouseButton, (int action, CPoint p), action, p.x, p.y)
    RECORDED(onMouseMove, (UINT flags, CPoint p), flags, p.x, p.y)
    RECORDED(onMouseWheel, (UINT flags, int delta, CPoint screenPt), flags, delta, screenPt.x, screenPt.y)
    RECORDED(onHScroll, (int position), position)
    RECORDED(onVScroll, (int position), position)
    RECORDED(onScrollUp, ()) RECORDED(onScrollDown, ()) RECORDED(onScrollLeft, ())
    RECORDED(onScrollRight, ()) RECORDED(onScrollHome, ()) RECORDED(onScrollEnd, ())
    RECORDED(onScrollPageUp, ()) RECORDED(onScrollPageDown, ()) RECORDED(onScrollPageHome, ())
    RECORDED(onScrollPageEnd, ()) RECORDED(onScrollPageLeft, ()) RECORDED(onScrollPageRight, ())
#undef RECORDED
    // clang-format on
    bool onSetCursor(UINT hitTest, UINT message) override {
        const bool result = YBChildWnd::onSetCursor(hitTest, message);
        handler(call("onSetCursor", hitTest, message, result));
        return result;
    }
    // Reached from the message loop's pre-translation, not a window procedure.
    void onAppMessage(int message, WPARAM wParam, LPARAM lParam) override {
        calls.push_back(call("onAppMessage", message, wParam, lParam));
    }

private:
    void handler(std::string c) {
        if (AfxGetApp() != &theTessel) ++handlersOutsideModule;
        calls.push_back(std::move(c));
    }
};

inline void input(DWORD flags, DWORD data = 0) {
    tessel::sendMouseInput(flags, static_cast<LONG>(data));
    tessel::testing::pump();
}

inline void key(WORD vk, WORD scan, DWORD flags = 0) {
    tessel::sendKeyInput(vk, scan, flags);
}

inline void moveTo(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    tessel::testing::pump();
}

// A top-level popup toolkit window at (100, 100), 400x300, shown and painted.
class WindowTest : public ::testing::Test {
protected:
    static constexpr int kTopX = 100, kTopY = 100;

    void SetUp() override {
        tessel::testing::useVirtualClock();
        moveTo(0, 0);
        top.style = WS_POPUP | WS_VISIBLE;
        top.setInitialSize(400, 300);
        ASSERT_TRUE(top.createAt(kTopX, kTopY, nullptr));
        tessel::testing::pump();
        top.calls.clear();
    }
    void TearDown() override {
        EXPECT_EQ(top.handlersOutsideModule, 0);
        tessel::testing::advanceClock(1000);  // no double click carries over
    }
    // A child of `parent` (the top window by default), created and painted.
    static void makeChild(RecordingWnd& child, CWnd& parent, int x, int y, int width, int height) {
        child.setInitialSize(width, height);
        ASSERT_TRUE(child.createAt(x, y, &parent));
        tessel::testing::pump();
        child.calls.clear();
    }

    RecordingWnd top;
};

}  // namespace windows_test
