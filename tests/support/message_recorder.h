// A window class that records every message its windows get, with an
// optional hook per window, and a fixture around a top-level window of it.
// Messages read back by name ("WM_CREATE") for the sequence matcher.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_names.h"
#include "sequence.h"

namespace recording {

using test_support::Names;

struct Record {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Record&) const = default;
};
using Records = std::vector<Record>;
using Messages = std::vector<UINT>;
inline Records g_log;
inline std::map<HWND, std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)>> g_hooks;

inline Names namesOf(const Records& records) {
    Names out;
    for (const Record& r : records)
        out.push_back(messageName(r.message));
    return out;
}

// Records print as {window, message name, wParam, lParam} in failure messages.
inline void PrintTo(const Record& r, std::ostream* out) {
    *out << '{' << r.window << ", " << messageName(r.message) << ", " << r.wParam << ", "
         << r.lParam << '}';
}

inline LRESULT CALLBACK recorder(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    g_log.push_back({w, m, wp, lp});
    if (auto hook = g_hooks.find(w); hook != g_hooks.end()) {
        LRESULT result = 0;
        auto handler = hook->second;  // the hook may erase itself
        if (handler(m, wp, lp, &result)) return result;
    }
    return DefWindowProcW(w, m, wp, lp);
}

// The class "Recorder", registered once per program.
inline bool registerRecorder() {
    static const bool registered = [] {
        WNDCLASSW c{CS_DBLCLKS, recorder, 0,       0,       nullptr,
                    nullptr,    nullptr,  nullptr, nullptr, L"Recorder"};
        return RegisterClassW(&c) != 0;
    }();
    return registered;
}

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        ASSERT_TRUE(registerRecorder());
        top = topLevel(100, 100, 400, 300);
        ASSERT_TRUE(top);
        tessel::testing::pump();
        g_log.clear();
    }
    void TearDown() override {
        g_hooks.clear();  // hooks may refer to the test's locals
        DestroyWindow(top);
        g_log.clear();
        tessel::testing::advanceClock(1000);  // no double click carries over
    }
    static HWND topLevel(int x, int y, int w, int h) {
        return CreateWindowExW(0, L"Recorder", L"", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                               nullptr, nullptr, nullptr);
    }
    HWND child(int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE, HWND parent = {}) {
        return CreateWindowExW(0, L"Recorder", L"", style, x, y, w, h, parent ? parent : top,
                               nullptr, nullptr, nullptr);
    }
    // What the window got, without hit testing, cursor and painting traffic.
    static Names messagesOf(HWND w) {
        return messagesOf(w, {WM_SETCURSOR, WM_NCHITTEST, WM_NCPAINT, WM_PAINT, WM_ERASEBKGND});
    }
    // What the window got, leaving out the listed messages.
    static Names messagesOf(HWND w, const Messages& ignore) {
        Names out;
        for (const Record& r : g_log) {
            if (r.window == w && std::ranges::find(ignore, r.message) == ignore.end())
                out.push_back(messageName(r.message));
        }
        return out;
    }
    static Records calls(const Messages& wanted) {
        Records out;
        std::ranges::copy_if(g_log, std::back_inserter(out), [&](const Record& r) {
            return std::ranges::find(wanted, r.message) != wanted.end();
        });
        return out;
    }
    static Records calls(UINT message) { return calls(Messages{message}); }
    static int count(HWND w, UINT message) {
        return static_cast<int>(std::ranges::count_if(
            g_log, [&](const Record& r) { return r.window == w && r.message == message; }));
    }
    static void input(DWORD type, DWORD flags, DWORD data = 0) {
        INPUT in{};
        in.type = type;
        if (type == INPUT_MOUSE) {
            in.mi.dwFlags = flags, in.mi.mouseData = data;
        } else {
            in.ki.wVk = static_cast<WORD>(data), in.ki.wScan = 0x1E, in.ki.dwFlags = flags;
        }
        SendInput(1, &in, sizeof in);
    }
    // Far enough apart in time to stay single clicks.
    static void click(int x, int y) {
        SetCursorPos(x, y);
        input(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
        input(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
        tessel::testing::advanceClock(600);
    }
    static void mouse(DWORD flags) { input(INPUT_MOUSE, flags); }
    // From now on the window paints what it is asked to in `color`.
    static void paintWith(HWND w, COLORREF color) {
        g_hooks[w] = [w, color](UINT m, WPARAM, LPARAM, LRESULT*) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            HBRUSH brush = CreateSolidBrush(color);
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(w, &ps);
            return true;
        };
    }
    static COLORREF pixelAt(HWND w, int x, int y) {
        HDC dc = GetDC(w);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(w, dc);
        return color;
    }
    HWND top = nullptr;
};

}  // namespace recording
