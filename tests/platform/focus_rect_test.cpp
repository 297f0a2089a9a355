#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {
using namespace recording;

constexpr int kWidth = 40, kHeight = 30;

class FocusRectTest : public RecorderTest {
protected:
    void SetUp() override {
        RecorderTest::SetUp();
        window = child(13, 8, kWidth, kHeight);  // odd: surface and device grids differ
        tessel::testing::pump();
        dc = GetDC(window);
        // Every pixel its own colour, so a pixel moved or hit twice shows.
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                SetPixel(dc, x, y, RGB(x * 6, y * 8, (x * 7 + y * 3) & 0xFF));
        original = pixels();
    }
    void TearDown() override {
        ReleaseDC(window, dc);
        RecorderTest::TearDown();
    }
    std::vector<COLORREF> pixels() const {
        std::vector<COLORREF> out;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                out.push_back(GetPixel(dc, x, y));
        return out;
    }
    // The original with the dotted frame of `r` (client pixels) inverted on
    // the pixels of even x + y that `visible` lets through.
    template <class Visible>
    std::vector<COLORREF> framed(RECT r, Visible visible) const {
        std::vector<COLORREF> out = original;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const bool edge =
                    x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
                if (edge && (x + y) % 2 == 0 && visible(x, y)) {
                    COLORREF& p = out[static_cast<std::size_t>(y * kWidth + x)];
                    p = RGB(255 - GetRValue(p), 255 - GetGValue(p), 255 - GetBValue(p));
                }
            }
        }
        return out;
    }
    HWND window = nullptr;
    HDC dc = nullptr;
    std::vector<COLORREF> original;
};

TEST_F(FocusRectTest, DotsInvertOnTheDeviceGridAndASecondDrawingRestores) {
    const auto everywhere = [](int, int) { return true; };
    const RECT r{2, 3, 12, 9};
    ASSERT_TRUE(DrawFocusRect(dc, &r));
    EXPECT_EQ(pixels(), framed(r, everywhere));
    EXPECT_NE(GetPixel(dc, 2, 4), original[4 * kWidth + 2]);  // on the left edge, even
    EXPECT_EQ(GetPixel(dc, 4, 3), original[3 * kWidth + 4]);  // on the top edge, odd
    DrawFocusRect(dc, &r);
    EXPECT_EQ(pixels(), original);

    // The viewport moves the frame; the dots stay where the device grid has them.
    auto drawMoved = [&] {
        SetViewportOrgEx(dc, 1, 2, nullptr);
        DrawFocusRect(dc, &r);
        SetViewportOrgEx(dc, 0, 0, nullptr);
    };
    drawMoved();
    EXPECT_EQ(pixels(), framed({3, 5, 13, 11}, everywhere));
    drawMoved();
    EXPECT_EQ(pixels(), original);

    // Clipping keeps the rest.
    auto drawClipped = [&] {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, 0, 0, 6, kHeight);
        DrawFocusRect(dc, &r);
        RestoreDC(dc, saved);
    };
    drawClipped();
    EXPECT_EQ(pixels(), framed(r, [](int x, int) { return x < 6; }));
    drawClipped();
    EXPECT_EQ(pixels(), original);
}

TEST_F(FocusRectTest, OddRectanglesAreSafeAndUndoThemselves) {
    HDC parentDC = GetDC(top);
    const COLORREF besideChild = GetPixel(parentDC, 12, 8);
    // Frames outside the client area touch nothing, the parent included.
    for (const RECT r : {RECT{-2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000},
                         RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RECT{-1, -1, 41, 31}}) {
        EXPECT_TRUE(DrawFocusRect(dc, &r));
        EXPECT_EQ(pixels(), original);
    }
    EXPECT_EQ(GetPixel(parentDC, 12, 8), besideChild);
    ReleaseDC(top, parentDC);
    // Inverted, empty, one pixel high: drawn somewhere or not at all, and
    // gone again after the second drawing.
    for (const RECT r : {RECT{12, 9, 2, 3}, RECT{5, 5, 5, 5}, RECT{4, 6, 20, 7}, RECT{4, 6, 5, 20},
                         RECT{INT_MAX - 1, 3, INT_MIN, 9}}) {
        EXPECT_TRUE(DrawFocusRect(dc, &r));
        DrawFocusRect(dc, &r);
        EXPECT_EQ(pixels(), original)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // A frame one pixel high cancels itself where its edges meet.
    const RECT line{4, 6, 20, 7};
    DrawFocusRect(dc, &line);
    EXPECT_EQ(GetPixel(dc, 6, 6), original[6 * kWidth + 6]);
    DrawFocusRect(dc, &line);
    EXPECT_FALSE(DrawFocusRect(nullptr, &line));
    EXPECT_FALSE(DrawFocusRect(dc, nullptr));
}

}  // namespace
