#include <gtest/gtest.h>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using WindowSizeTest = RecorderTest;

constexpr COLORREF kFill = RGB(0, 128, 255);

SIZE sizeOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST_F(WindowSizeTest, HugeWindowsPaintTheirSurfaceAndNothingBeyond) {
    HWND wide = topLevel(0, 0, 100, 100);
    paintWith(wide, kFill);
    MoveWindow(wide, 0, 0, 40000, 200, TRUE);
    tessel::testing::pump();
    EXPECT_EQ(sizeOf(wide).cx, 32767);  // a popup may be any size within 16 bits
    EXPECT_EQ(sizeOf(wide).cy, 200);
    EXPECT_EQ(pixelAt(wide, 10, 10), kFill);
    EXPECT_EQ(pixelAt(wide, 16383, 199), kFill);
    EXPECT_EQ(pixelAt(wide, 20000, 10), CLR_INVALID);  // beyond the surface
    RECT update;
    EXPECT_FALSE(GetUpdateRect(wide, &update, FALSE));
    // Invalidating beyond the surface asks for no painting.
    RECT far{20000, 0, 30000, 200};
    InvalidateRect(wide, &far, TRUE);
    EXPECT_FALSE(GetUpdateRect(wide, &update, FALSE));
    DestroyWindow(wide);

    // Both sides at the limit: the surface stays within its pixel budget.
    HWND square = CreateWindowExW(0, L"Recorder", L"", WS_POPUP, 0, 0, 40000, 40000, nullptr,
                                  nullptr, nullptr, nullptr);
    EXPECT_EQ(sizeOf(square).cx, 32767);
    EXPECT_EQ(sizeOf(square).cy, 32767);
    paintWith(square, kFill);
    ShowWindow(square, SW_SHOW);
    tessel::testing::pump();
    EXPECT_EQ(pixelAt(square, 100, 100), kFill);
    EXPECT_EQ(pixelAt(square, 100, 30000), CLR_INVALID);
    DestroyWindow(square);

    // A window DC of a framed top-level window reaches only its surface:
    // the frame and caption are the desktop's.
    HWND framed = CreateWindowExW(0, L"Recorder", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  300, 200, nullptr, nullptr, nullptr, nullptr);
    tessel::testing::pump();
    HDC dc = GetWindowDC(framed);
    RECT all{-100, -100, 1000, 1000};
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(box.top, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));
    ReleaseDC(framed, dc);
    EXPECT_EQ(pixelAt(framed, 0, 0), kFill);
    DestroyWindow(framed);
}

TEST_F(WindowSizeTest, SizableWindowsKeepWithinTheirTrackingLimits) {
    const SIZE maxTrack{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    const SIZE minTrack{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    HWND overlapped = CreateWindowExW(0, L"Recorder", L"", WS_OVERLAPPEDWINDOW, 0, 0, 40000, 40000,
                                      nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(sizeOf(overlapped).cx, maxTrack.cx);
    EXPECT_EQ(sizeOf(overlapped).cy, maxTrack.cy);
    MoveWindow(overlapped, 0, 0, 1, 1, FALSE);
    EXPECT_EQ(sizeOf(overlapped).cx, minTrack.cx);
    EXPECT_EQ(sizeOf(overlapped).cy, minTrack.cy);
    HWND sizable = CreateWindowExW(0, L"Recorder", L"", WS_POPUP | WS_THICKFRAME, 0, 0, 5, 5,
                                   nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(sizeOf(sizable).cx, minTrack.cx);
    SetWindowPos(sizable, nullptr, 0, 0, 9000, 9000, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(sizeOf(sizable).cx, maxTrack.cx);
    EXPECT_EQ(sizeOf(sizable).cy, maxTrack.cy);

    // The window's own limits count, and a handler of WM_WINDOWPOSCHANGING overrides them.
    bool ownChanging = false;
    g_hooks[overlapped] = [&](UINT m, WPARAM, LPARAM l, LRESULT* result) {
        if (m == WM_GETMINMAXINFO) {
            auto* info = reinterpret_cast<MINMAXINFO*>(l);
            info->ptMinTrackSize = {200, 150};
            info->ptMaxTrackSize = {500, 400};
        }
        if (m != WM_WINDOWPOSCHANGING || !ownChanging) return false;
        *result = 0;
        return true;
    };
    MoveWindow(overlapped, 0, 0, 800, 800, TRUE);
    EXPECT_EQ(sizeOf(overlapped).cx, 500);
    EXPECT_EQ(sizeOf(overlapped).cy, 400);
    SetWindowPos(overlapped, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(sizeOf(overlapped).cx, 200);
    EXPECT_EQ(sizeOf(overlapped).cy, 150);
    ownChanging = true;
    MoveWindow(overlapped, 0, 0, 800, 800, TRUE);
    EXPECT_EQ(sizeOf(overlapped).cx, 800);

    // A popup without a thick frame may be larger than the screen; nothing is negative.
    HWND popup = CreateWindowExW(0, L"Recorder", L"", WS_POPUP, 0, 0, -5, -7, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(sizeOf(popup).cx, 0);
    EXPECT_EQ(sizeOf(popup).cy, 0);
    MoveWindow(popup, 0, 0, 5000, 4000, FALSE);
    EXPECT_EQ(sizeOf(popup).cx, 5000);
    MoveWindow(popup, 100000, -100000, -10, -10, FALSE);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 32767);
    EXPECT_EQ(r.top, -32768);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    DestroyWindow(popup);
    DestroyWindow(sizable);
    DestroyWindow(overlapped);
}

}  // namespace
