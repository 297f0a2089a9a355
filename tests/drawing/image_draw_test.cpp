#include <utility>

#include <tessel/drawing/CxImage.h>
#include <tessel/drawing/XDC.h>
#include <tessel/drawing/XImage.h>
#include <tessel/platform/afx_dc.h>
#include <tessel/platform/text_encoding.h>

#include "canvas.h"
#include "image_test_support.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

class ImageDrawing : public ImageFiles {
protected:
    CxImage loaded(const std::string& name) {
        CxImage image;
        EXPECT_TRUE(image.Load(tessel::decodeUtf8(path(name)).c_str()));
        return image;
    }
    XImage loadedX(const std::string& name) {
        XImage image;
        EXPECT_TRUE(image.load(kelp::KLString(std::string_view(path(name))), 0));
        return image;
    }
};

// Nearest scaling doubles pixels, smooth scaling blends at the edges.
TEST_F(ImageDrawing, ScalingNearestOrSmooth) {
    CxImage checker = loaded("checker.png");
    Canvas nearest(12, 12), smooth(12, 12);
    ASSERT_EQ(checker.Draw(nearest.dc(), RECT{2, 2, 6, 6}, nullptr, false), 1);
    ASSERT_EQ(checker.Draw(smooth.dc(), RECT{2, 2, 6, 6}, nullptr, true), 1);
    nearest.expectPixels({{3, 2, kRed}, {4, 2, kBlue}, {5, 5, kRed}, {6, 6, kWhite}});
    const COLORREF edge = smooth.at(3, 2);
    EXPECT_GT(GetBValue(edge), 20);
    EXPECT_LT(GetRValue(edge), 235);
}

TEST_F(ImageDrawing, PerPixelAlphaBlendsOverBackground) {
    ASSERT_TRUE(image_files::writeImage(path("halfred.png"), "png", 2, 2,
                                        std::vector<image_files::Rgba>(4, {255, 0, 0, 128})));
    CxImage half = loaded("halfred.png");
    Canvas canvas(4, 4);
    canvas.clear(kBlue);
    ASSERT_EQ(half.Draw(canvas.dc(), RECT{0, 0, 4, 4}), 1);
    EXPECT_TRUE(near(canvas.at(1, 1), 128, 0, 127)) << std::hex << canvas.at(1, 1);

    CxImage rgba = loaded("rgba.png");  // transparent pixels leave the background
    canvas.clear(kBlue);
    rgba.Draw(canvas.dc(), RECT{0, 0, 4, 2});
    canvas.expectPixels({{0, 0, kRed}, {2, 0, kBlue}});
    EXPECT_TRUE(near(canvas.at(1, 0), 0, 128, 127)) << std::hex << canvas.at(1, 0);
}

// The clip holds for one call only; invalid images and rectangles draw nothing.
TEST_F(ImageDrawing, ClipRectangleIsHonouredAndRemovedAndInvalidDrawsNothing) {
    CxImage checker = loaded("checker.png");
    CxImage none;
    Canvas canvas(10, 10);
    EXPECT_EQ(none.Draw(canvas.dc(), RECT{0, 0, 4, 4}), 0);
    EXPECT_EQ(checker.Draw(canvas.dc(), RECT{4, 4, 0, 0}), 0);
    EXPECT_EQ(checker.Draw(nullptr, RECT{0, 0, 4, 4}), 0);
    EXPECT_EQ(canvas.inkCount(), 0);
    RECT clip{0, 0, 3, 10};
    ASSERT_EQ(checker.Draw(canvas.dc(), RECT{0, 0, 10, 10}, &clip), 1);
    canvas.expectPixels({{2, 7, kBlue}, {3, 2, kWhite}});
    checker.Draw(canvas.dc(), RECT{0, 0, 10, 10});
    EXPECT_EQ(canvas.at(8, 8), kRed);
}

// Constant alpha is clamped to 0..255.
TEST_F(ImageDrawing, XImageConstantAlphaIsClamped) {
    XImage red = loadedX("checker.png");
    Canvas canvas(2, 2);
    struct Case {
        short alpha;
        int r, b;
    };
    for (const Case c : {Case{128, 128, 127}, Case{-40, 0, 255}, Case{900, 255, 0}}) {
        canvas.clear(kBlue);
        red.draw(canvas.dc(), CRect(0, 0, 2, 2), 0, c.alpha, nullptr);
        EXPECT_TRUE(near(canvas.at(0, 0), c.r, 0, c.b))
            << c.alpha << " " << std::hex << canvas.at(0, 0);
    }
}

TEST_F(ImageDrawing, XImageKeepAspectFitsAndCentres) {
    XImage wide = loadedX("rgba.png");  // 4x2
    Canvas canvas(20, 20);
    canvas.clear(kBlue);
    wide.draw(canvas.dc(), CRect(0, 0, 20, 20), XImage::KeepAspect, 255, nullptr);
    canvas.expectPixels({{2, 4, kBlue}, {2, 5, kRed}, {2, 14, kWhite}, {2, 15, kBlue}});
    canvas.clear(kBlue);
    wide.draw(canvas.dc(), CRect(0, 0, 20, 20), 0, 255, nullptr);  // stretched
    canvas.expectPixels({{2, 2, kRed}, {2, 17, kWhite}});
}

TEST_F(ImageDrawing, XImageOverlayGoesOnTop) {
    ASSERT_TRUE(
        image_files::writeImage(path("badge.png"), "png", 2, 1, {{0, 0, 0, 0}, {0, 255, 0, 255}}));
    XImage base = loadedX("checker.png");
    XImage badge = loadedX("badge.png");
    XImage invalid;
    Canvas canvas(4, 4);
    CDC cdc;
    cdc.Attach(canvas.dc());
    {
        XDC dc(&cdc);
        base.draw(dc, CRect(0, 0, 4, 4), 0, 255, &badge);
        canvas.expectPixels({{0, 0, kRed}, {3, 3, kGreen}});  // base shows through the badge
        canvas.clear(kWhite);
        base.draw(dc, CRect(0, 0, 4, 4), 0, 255, &invalid);
        EXPECT_EQ(canvas.at(3, 3), kRed);
        canvas.clear(kWhite);
        invalid.draw(dc, CRect(0, 0, 4, 4), 0, 255, &badge);  // the overlay alone
        canvas.expectPixels({{0, 0, kWhite}, {3, 0, kGreen}});
    }
    cdc.Detach();
}

}  // namespace
