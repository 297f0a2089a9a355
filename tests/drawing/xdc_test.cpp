#include <gtest/gtest.h>

#include <cwchar>
#include <utility>

#include <tessel/drawing/GFont.h>
#include <tessel/drawing/Shades.h>
#include <tessel/drawing/XDC.h>
#include <tessel/drawing/XMemDC.h>

#include "canvas.h"

namespace {

// The drawing classes take a CDC: a canvas seen as one.
CDC* cdcOf(const Canvas& canvas) {
    return CDC::FromHandle(canvas.dc());
}

// Leaves red in XMemDC's reused buffer, then whitens the target again:
// whatever the next buffer does not paint must not show that red.
void dirtySpareBuffer(Canvas& canvas, XDC& target) {
    {
        XMemDC dirty(target);
        dirty.FillRect(CRect(0, 0, canvas.width(), canvas.height()), RGB(255, 0, 0));
    }
    canvas.clear(kWhite);
}

TEST(XDC, BoxesHaveTheirBorderInsideAndNoColourMeansNothing) {
    for (int width : {1, 6}) {
        Canvas s(200, 100);
        XDC dc(cdcOf(s));
        dc.drawBox(CRect(10, 10, 60, 40), RGB(255, 0, 0), width, RGB(0, 0, 255), 0);
        EXPECT_EQ(s.at(10 + width - 1, 25), RGB(255, 0, 0)) << width;
        EXPECT_EQ(s.at(10 + width, 25), RGB(0, 0, 255)) << width;
        EXPECT_EQ(s.at(59, 39), RGB(255, 0, 0)) << width;
        EXPECT_EQ(CRect(s.ink()), CRect(10, 10, 60, 40)) << width;
    }
    Canvas s(200, 100);
    XDC dc(cdcOf(s));
    dc.drawBox(CRect(10, 10, 60, 40), XDC::kNoColor, 4, XDC::kNoColor, 0);
    dc.FillRect(CRect(0, 0, 200, 100), XDC::kNoColor);
    dc.FrameRect(CRect(0, 0, 200, 100), XDC::kNoColor);
    EXPECT_TRUE(CRect(s.ink()).IsRectEmpty());
    dc.drawBox(CRect(10, 10, 60, 40), XDC::kNoColor, 4, RGB(0, 255, 0), 0);  // fill covers all
    EXPECT_EQ(s.at(10, 10), RGB(0, 255, 0));
    dc.drawBox(CRect(100, 10, 160, 40), RGB(0, 0, 0), 2, XDC::kNoColor, 0);  // inside stays
    EXPECT_EQ(s.at(130, 25), RGB(255, 255, 255));
    dc.drawBox(CRect(100, 50, 160, 90), RGB(0, 0, 0), 1, RGB(200, 200, 200), 8);  // rounded
    EXPECT_EQ(s.at(100, 50), RGB(255, 255, 255));
    EXPECT_EQ(s.at(130, 50), RGB(0, 0, 0));
}

// Centred both ways without DT_SINGLELINE too; two lines centre as one block.
TEST(XDC, TextCentresInBothDirectionsWithoutSingleLine) {
    const std::pair<const wchar_t*, UINT> cases[] = {
        {L"Centred", DT_CENTER | DT_VCENTER},
        {L"Centred", DT_CENTER | DT_VCENTER | DT_EXTERNALLEADING},
        {L"first\nsecond", DT_CENTER | DT_VCENTER}};
    for (const auto& [text, format] : cases) {
        Canvas s(200, 100);
        XDC dc(cdcOf(s));
        GFont("Arial", 10.0, 0, RGB(0, 0, 0)).select(cdcOf(s));
        CRect r(0, 0, 200, 100);
        dc.draw(text, &r, format);
        const CRect ink(s.ink());
        EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 1.5) << format;
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 50, 3.5) << format;  // ink is not symmetric
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(s.dc(), &tm));
        const bool twoLines = std::wcschr(text, L'\n') != nullptr;
        EXPECT_EQ(ink.Height() > tm.tmHeight, twoLines) << format;
    }
}

TEST(XDC, FontsCarryTheirColourAndMeasureWrapped) {
    Canvas s(200, 100);
    XDC dc(cdcOf(s));
    GFont red("Arial", 10.0, GFont::Bold, RGB(255, 0, 0));
    CFont* before = red.select(cdcOf(s));
    EXPECT_EQ(cdcOf(s)->GetTextColor(), RGB(255, 0, 0));
    const CSize line = dc.GetTextExtent(L"one two three four");
    const CSize wrapped = dc.getTextExtent(L"one two three four", line.cx / 2, 0);
    EXPECT_LE(wrapped.cx, line.cx / 2 + 1);
    EXPECT_GE(wrapped.cy, 2 * line.cy);
    EXPECT_EQ(dc.getTextExtent(L"", 100, 0), CSize(0, 0));
    // Own font and colour, the context's left as they were.
    cdcOf(s)->SelectObject(before);
    CRect r(0, 0, 200, 100);
    double height = 0;
    dc.drawText(L"a\tb", r, DT_EXPANDTABS, GFont("Arial", 10.0, 0, RGB(0, 0, 255)), RGB(0, 128, 0),
                4.0, &height);
    EXPECT_GT(height, 0);
    EXPECT_EQ(cdcOf(s)->GetTextColor(), RGB(255, 0, 0));
    bool green = false;
    for (int x = 0; x < 60 && !green; ++x)
        for (int y = 0; y < 20 && !green; ++y)
            green = s.at(x, y) == RGB(0, 128, 0);
    EXPECT_TRUE(green);
}

// A tall paint after a wide one gets a buffer of its own size: one covering
// both would be 30000 x 30000, more than any bitmap can hold.
TEST(XMemDC, ATallPaintAfterAWideOneStillReachesTheTarget) {
    Canvas wide(30000, 4), tall(4, 30000);
    XDC wideDC(cdcOf(wide)), tallDC(cdcOf(tall));
    {
        XMemDC buffer(wideDC);
        buffer.FillRect(CRect(0, 0, 30000, 4), RGB(255, 0, 0));
    }
    EXPECT_EQ(wide.at(29999, 3), RGB(255, 0, 0));
    {
        XMemDC buffer(tallDC);
        buffer.FillRect(CRect(0, 0, 4, 30000), RGB(0, 0, 255));
    }
    EXPECT_EQ(tall.at(3, 29999), RGB(0, 0, 255));
}

TEST(XMemDC, ReachesTheTargetOnlyWhenDestroyedAndOnlyInsideTheClip) {
    Canvas s(200, 100);
    XDC target(cdcOf(s));
    cdcOf(s)->IntersectClipRect(20, 20, 120, 80);
    {
        XMemDC buffer(target);
        buffer.FillRect(CRect(0, 0, 200, 100), RGB(0, 0, 255));
        EXPECT_EQ(s.at(50, 50), RGB(255, 255, 255));  // nothing yet
    }
    EXPECT_EQ(s.at(50, 50), RGB(0, 0, 255));
    EXPECT_EQ(s.at(20, 20), RGB(0, 0, 255));
    EXPECT_EQ(s.at(19, 50), RGB(255, 255, 255));
    EXPECT_EQ(s.at(120, 50), RGB(255, 255, 255));

    // A first drawing that covers only part of the box keeps the target's pixels around it.
    {
        XMemDC buffer(target);
        buffer.FillRect(CRect(30, 30, 40, 40), RGB(0, 255, 0));
    }
    EXPECT_EQ(s.at(35, 35), RGB(0, 255, 0));
    EXPECT_EQ(s.at(50, 50), RGB(0, 0, 255));
    { XMemDC untouched(target); }  // drawing nothing changes nothing
    EXPECT_EQ(s.at(50, 50), RGB(0, 0, 255));
}

// The buffer is reused between paints and starts with the last paint's
// pixels: whatever the drawing does not paint over must still come out as the
// target was, whichever way the drawing goes.
TEST(XMemDC, PixelsNotPaintedOverAreTheTargetsWhateverTheOrderOfDrawing) {
    Canvas s(200, 100);
    XDC target(cdcOf(s));
    const GFont font("Arial", 10.0, 0, RGB(0, 0, 0));
    dirtySpareBuffer(s, target);
    {
        // Fills in a row, text on one of them, then a frame that is not inside any fill.
        XMemDC buffer(target);
        buffer.FillRect(CRect(0, 0, 50, 20), RGB(0, 0, 255));
        buffer.FillRect(CRect(50, 0, 100, 20), RGB(0, 255, 0));
        CRect label(0, 0, 50, 20);
        buffer.drawText(L"ab", label, DT_CENTER | DT_VCENTER | DT_SINGLELINE, font, 0, 4.0,
                        nullptr);
        buffer.FrameRect(CRect(120, 40, 160, 80), RGB(0, 0, 0));
    }
    EXPECT_EQ(s.at(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(s.at(120, 40), RGB(0, 0, 0));
    EXPECT_EQ(s.at(140, 60), RGB(255, 255, 255)) << "inside the frame";
    EXPECT_EQ(s.at(10, 50), RGB(255, 255, 255)) << "never drawn on";
    EXPECT_EQ(s.at(199, 99), RGB(255, 255, 255));

    // Only fills, not covering everything: the rest is still the target's.
    dirtySpareBuffer(s, target);
    {
        XMemDC buffer(target);
        buffer.FillRect(CRect(10, 10, 20, 20), RGB(0, 0, 255));
        // A clip on the buffer keeps this fill from most of its rectangle.
        buffer.cdc()->IntersectClipRect(30, 30, 40, 40);
        buffer.FillRect(CRect(0, 0, 200, 100), RGB(0, 255, 0));
    }
    EXPECT_EQ(s.at(15, 15), RGB(0, 0, 255));
    EXPECT_EQ(s.at(35, 35), RGB(0, 255, 0));
    EXPECT_EQ(s.at(50, 50), RGB(255, 255, 255));
    EXPECT_EQ(s.at(5, 5), RGB(255, 255, 255));
}

// Only a solid brush covers what it fills. A null or hollow brush paints
// nothing, so the reused buffer's old pixels under it must not reach the
// target: there the target's own pixels stay.
TEST(XMemDC, OnlySolidBrushesCountAsOpaqueFills) {
    Canvas s(200, 100);
    XDC target(cdcOf(s));
    CBrush noHandle;
    CBrush hollow;
    LOGBRUSH hollowStyle{BS_NULL, RGB(0, 255, 0), 0};
    ASSERT_TRUE(hollow.Attach(::CreateBrushIndirect(&hollowStyle)));
    CBrush* stockNull = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    const std::pair<const char*, CBrush*> paintNothing[] = {{"no brush", nullptr},
                                                            {"no handle", &noHandle},
                                                            {"BS_NULL", &hollow},
                                                            {"NULL_BRUSH", stockNull}};
    for (const auto& [name, brush] : paintNothing) {
        dirtySpareBuffer(s, target);
        {
            XMemDC buffer(target);
            buffer.FillRect(CRect(0, 0, 200, 100), brush);  // the whole buffer, yet nothing
            buffer.FillRect(CRect(10, 10, 20, 20), RGB(0, 0, 255));
        }
        EXPECT_EQ(s.at(15, 15), RGB(0, 0, 255)) << name;
        EXPECT_EQ(s.at(50, 50), RGB(255, 255, 255)) << name;
    }

    // A solid brush covers its rectangle; around it the target shows.
    CBrush green(RGB(0, 255, 0));
    dirtySpareBuffer(s, target);
    {
        XMemDC buffer(target);
        buffer.FillRect(CRect(0, 0, 100, 100), &green);
        buffer.FrameRect(CRect(150, 40, 160, 50), RGB(0, 0, 0));
    }
    EXPECT_EQ(s.at(50, 50), RGB(0, 255, 0));
    EXPECT_EQ(s.at(150, 40), RGB(0, 0, 0));
    EXPECT_EQ(s.at(120, 50), RGB(255, 255, 255));
    EXPECT_EQ(s.at(155, 45), RGB(255, 255, 255));
}

// select gives back the font that was selected before, every time.
TEST(GFont, SelectReturnsThePreviouslySelectedFont) {
    Canvas s(200, 100);
    CDC* dc = cdcOf(s);
    const HFONT initial = static_cast<HFONT>(::GetCurrentObject(dc->m_hDC, OBJ_FONT));
    const GFont body("Arial", 10.0, 0, RGB(0, 0, 0));
    const GFont caption("Arial", 7.0, GFont::Bold, RGB(0, 0, 255));

    CFont* before = body.select(dc);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(static_cast<HFONT>(*before), initial);
    EXPECT_EQ(static_cast<HFONT>(*caption.select(dc)), body.handle());
    EXPECT_EQ(static_cast<HFONT>(*caption.select(dc)), caption.handle());  // again: itself
    EXPECT_EQ(static_cast<HFONT>(*body.select(dc)), caption.handle());

    // Giving back what the first select returned restores the context.
    EXPECT_EQ(static_cast<HFONT>(*dc->SelectObject(before)), body.handle());
    EXPECT_EQ(static_cast<HFONT>(::GetCurrentObject(dc->m_hDC, OBJ_FONT)), initial);
    EXPECT_EQ(body.select(nullptr), nullptr);
}

TEST(Shades, ScaleClampAndGrey) {
    EXPECT_EQ(GetShade(RGB(100, 200, 250), 1.1), RGB(110, 220, 255));
    EXPECT_EQ(GetShade(RGB(100, 200, 250), 0.9), RGB(90, 180, 225));
    EXPECT_EQ(GetShade(XDC::kNoColor, 0.9), XDC::kNoColor);
    EXPECT_EQ(GetGrayscale(RGB(0, 255, 0)), RGB(150, 150, 150));
    EXPECT_EQ(GetGrayscale(RGB(255, 255, 255)), RGB(255, 255, 255));
}

}  // namespace
