#include <gtest/gtest.h>

#include <functional>

#include <tessel/drawing/GFont.h>
#include <tessel/drawing/XDC.h>
#include <tessel/drawing/XMemDC.h>

#include "canvas.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kBlack = RGB(0, 0, 0);

// The drawing classes take a CDC: a canvas seen as one.
CDC* cdcOf(const Canvas& canvas) {
    return CDC::FromHandle(canvas.dc());
}

TEST(XDC, BoxesHaveTheirBorderInsideAndNoColourMeansNothing) {
    for (int width : {1, 6}) {
        Canvas s(200, 100);
        XDC(cdcOf(s)).drawBox(CRect(10, 10, 60, 40), kRed, width, kBlue, 0);
        SCOPED_TRACE(width);
        s.expectPixels({{10 + width - 1, 25, kRed}, {10 + width, 25, kBlue}, {59, 39, kRed}});
        EXPECT_EQ(CRect(s.ink()), CRect(10, 10, 60, 40));
    }
    Canvas s(200, 100);
    XDC dc(cdcOf(s));
    dc.drawBox(CRect(10, 10, 60, 40), XDC::kNoColor, 4, XDC::kNoColor, 0);
    dc.FillRect(CRect(0, 0, 200, 100), XDC::kNoColor);
    dc.FrameRect(CRect(0, 0, 200, 100), XDC::kNoColor);
    EXPECT_TRUE(CRect(s.ink()).IsRectEmpty());
    dc.drawBox(CRect(10, 10, 60, 40), XDC::kNoColor, 4, kGreen, 0);   // fill covers all
    dc.drawBox(CRect(100, 10, 160, 40), kBlack, 2, XDC::kNoColor, 0);  // inside stays
    dc.drawBox(CRect(100, 50, 160, 90), kBlack, 1, RGB(200, 200, 200), 8);  // rounded
    s.expectPixels({{10, 10, kGreen}, {130, 25, kWhite}, {100, 50, kWhite}, {130, 50, kBlack}});
}

// Without DT_SINGLELINE two lines centre as one block (one line: the text
// window's test, which draws this way).
TEST(XDC, TwoLinesCentreAsOneBlockWithoutSingleLine) {
    Canvas s(200, 100);
    GFont("Arial", 10.0, 0, kBlack).select(cdcOf(s));
    CRect r(0, 0, 200, 100);
    XDC(cdcOf(s)).draw(L"first\nsecond", &r, DT_CENTER | DT_VCENTER);
    const CRect ink(s.ink());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 1.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 50, 3.5);  // ink is not symmetric
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(s.dc(), &tm));
    EXPECT_GT(ink.Height(), tm.tmHeight);
}

// A font brings its colour, select gives back what was selected before,
// extents wrap, and drawText uses its own font and colour, leaving the context's.
TEST(XDC, FontsCarryTheirColourSelectGivesTheOldOneBackAndTextWraps) {
    Canvas s(200, 100);
    CDC* cdc = cdcOf(s);
    XDC dc(cdc);
    const HFONT initial = static_cast<HFONT>(::GetCurrentObject(cdc->m_hDC, OBJ_FONT));
    GFont red("Arial", 10.0, GFont::Bold, kRed);
    const GFont caption("Arial", 7.0, 0, kBlue);
    CFont* before = red.select(cdc);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(static_cast<HFONT>(*before), initial);
    EXPECT_EQ(cdc->GetTextColor(), kRed);
    EXPECT_EQ(static_cast<HFONT>(*caption.select(cdc)), red.handle());
    EXPECT_EQ(static_cast<HFONT>(*caption.select(cdc)), caption.handle());  // again: itself
    EXPECT_EQ(static_cast<HFONT>(*red.select(cdc)), caption.handle());
    EXPECT_EQ(red.select(nullptr), nullptr);

    const CSize line = dc.GetTextExtent(L"one two three four");
    const CSize wrapped = dc.getTextExtent(L"one two three four", line.cx / 2, 0);
    EXPECT_LE(wrapped.cx, line.cx / 2 + 1);
    EXPECT_GE(wrapped.cy, 2 * line.cy);
    EXPECT_EQ(dc.getTextExtent(L"", 100, 0), CSize(0, 0));

    cdc->SelectObject(before);
    CRect r(0, 0, 200, 100);
    double height = 0;
    dc.drawText(L"a\tb", r, DT_EXPANDTABS, GFont("Arial", 10.0, 0, kBlue), RGB(0, 128, 0), 4.0,
                &height);
    EXPECT_GT(height, 0);
    EXPECT_EQ(cdc->GetTextColor(), kRed);
    EXPECT_EQ(static_cast<HFONT>(::GetCurrentObject(cdc->m_hDC, OBJ_FONT)), initial);
    int green = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 20; ++y)
            green += s.at(x, y) == RGB(0, 128, 0);
    EXPECT_GT(green, 0);
}

// A tall paint after a wide one gets a buffer of its own size: one covering
// both would be 30000 x 30000, more than any bitmap can hold.
TEST(XMemDC, ATallPaintAfterAWideOneStillReachesTheTarget) {
    Canvas wide(30000, 4), tall(4, 30000);
    XDC wideDC(cdcOf(wide)), tallDC(cdcOf(tall));
    XMemDC(wideDC).FillRect(CRect(0, 0, 30000, 4), kRed);
    EXPECT_EQ(wide.at(29999, 3), kRed);
    XMemDC(tallDC).FillRect(CRect(0, 0, 4, 30000), kBlue);
    EXPECT_EQ(tall.at(3, 29999), kBlue);
}

// The buffer reaches the target when destroyed, inside the target's clip. It
// is reused between paints and starts with the last paint's pixels (red
// here): whatever a paint does not cover must come out as the target was.
// Only a solid brush covers what it fills; a null or hollow one paints nothing.
TEST(XMemDC, PixelsNotPaintedOverAreTheTargetsWhateverTheDrawing) {
    Canvas s(200, 100);
    XDC target(cdcOf(s));
    CBrush noHandle, hollow, green(kGreen);
    LOGBRUSH hollowStyle{BS_NULL, kGreen, 0};
    ASSERT_TRUE(hollow.Attach(::CreateBrushIndirect(&hollowStyle)));
    CBrush* stockNull = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    const auto paint = [&](const std::function<void(XMemDC&)>& draw) {
        XMemDC(target).FillRect(CRect(0, 0, 200, 100), kRed);
        s.clear(kWhite);
        XMemDC buffer(target);
        draw(buffer);
    };

    paint([&](XMemDC& b) {  // fills in a row, text on one, a frame inside no fill
        b.FillRect(CRect(0, 0, 50, 20), kBlue);
        b.FillRect(CRect(50, 0, 100, 20), kGreen);
        CRect label(0, 0, 50, 20);
        b.drawText(L"ab", label, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                   GFont("Arial", 10.0, 0, kBlack), 0, 4.0, nullptr);
        b.FrameRect(CRect(120, 40, 160, 80), kBlack);
        EXPECT_EQ(s.at(1, 1), kWhite);  // nothing before the buffer goes
    });
    s.expectPixels({{1, 1, kBlue}, {120, 40, kBlack}, {140, 60, kWhite}, {199, 99, kWhite}});
    paint([&](XMemDC& b) {  // a clip on the buffer keeps a fill from most of its rectangle
        b.FillRect(CRect(10, 10, 20, 20), kBlue);
        b.cdc()->IntersectClipRect(30, 30, 40, 40);
        b.FillRect(CRect(0, 0, 200, 100), kGreen);
    });
    s.expectPixels({{15, 15, kBlue}, {35, 35, kGreen}, {50, 50, kWhite}, {5, 5, kWhite}});
    for (CBrush* brush : {static_cast<CBrush*>(nullptr), &noHandle, &hollow, stockNull}) {
        paint([&](XMemDC& b) {
            b.FillRect(CRect(0, 0, 200, 100), brush);  // the whole buffer, yet nothing
            b.FillRect(CRect(10, 10, 20, 20), kBlue);
        });
        SCOPED_TRACE(brush ? brush->m_hObject : nullptr);
        s.expectPixels({{15, 15, kBlue}, {50, 50, kWhite}});
    }
    paint([&](XMemDC& b) { b.FillRect(CRect(0, 0, 100, 100), &green); });
    s.expectPixels({{50, 50, kGreen}, {120, 50, kWhite}});

    cdcOf(s)->IntersectClipRect(20, 20, 120, 80);
    XMemDC(target).FillRect(CRect(0, 0, 200, 100), kBlue);
    s.expectPixels({{20, 20, kBlue}, {119, 79, kBlue}, {19, 50, kGreen}, {120, 50, kWhite}});
}

}  // namespace
