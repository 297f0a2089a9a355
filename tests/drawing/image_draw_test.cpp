#include <string>
#include <tuple>

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

// Nearest scaling doubles pixels, smooth scaling blends at the edges; alpha
// blends over the background; the clip holds for one call only; invalid
// images and rectangles draw nothing.
TEST_F(ImageDrawing, CxImageScalesBlendsAndClips) {
    CxImage checker = loaded("checker.png"), rgba = loaded("rgba.png");
    Canvas nearest(12, 12), smooth(12, 12);
    ASSERT_EQ(checker.Draw(nearest.dc(), RECT{2, 2, 6, 6}, nullptr, false), 1);
    ASSERT_EQ(checker.Draw(smooth.dc(), RECT{2, 2, 6, 6}, nullptr, true), 1);
    nearest.expectPixels({{3, 2, kRed}, {4, 2, kBlue}, {5, 5, kRed}, {6, 6, kWhite}});
    EXPECT_GT(GetBValue(smooth.at(3, 2)), 20);
    EXPECT_LT(GetRValue(smooth.at(3, 2)), 235);

    Canvas canvas(10, 10);
    EXPECT_EQ(CxImage().Draw(canvas.dc(), RECT{0, 0, 4, 4}), 0);
    EXPECT_EQ(checker.Draw(canvas.dc(), RECT{4, 4, 0, 0}), 0);
    EXPECT_EQ(checker.Draw(nullptr, RECT{0, 0, 4, 4}), 0);
    EXPECT_EQ(canvas.inkCount(), 0);
    RECT clip{0, 0, 3, 10};
    ASSERT_EQ(checker.Draw(canvas.dc(), RECT{0, 0, 10, 10}, &clip), 1);
    canvas.expectPixels({{2, 7, kBlue}, {3, 2, kWhite}});
    checker.Draw(canvas.dc(), RECT{0, 0, 10, 10});
    EXPECT_EQ(canvas.at(8, 8), kRed);

    canvas.clear(kBlue);
    rgba.Draw(canvas.dc(), RECT{0, 0, 4, 2});  // transparent pixels leave the background
    canvas.expectPixels({{0, 0, kRed}, {2, 0, kBlue}});
    EXPECT_TRUE(near(canvas.at(1, 0), 0, 128, 127)) << std::hex << canvas.at(1, 0);
}

// Constant alpha is clamped to 0..255; KeepAspect fits and centres; the
// overlay goes on top, and an invalid base still shows the overlay alone.
TEST_F(ImageDrawing, XImageAlphaAspectAndOverlay) {
    XImage checker = loadedX("checker.png"), wide = loadedX("rgba.png"), invalid;
    Canvas canvas(20, 20);
    for (const auto& [alpha, r, b] : {std::tuple{128, 128, 127}, {-40, 0, 255}, {900, 255, 0}}) {
        canvas.clear(kBlue);
        checker.draw(canvas.dc(), CRect(0, 0, 2, 2), 0, static_cast<short>(alpha), nullptr);
        EXPECT_TRUE(near(canvas.at(0, 0), r, 0, b)) << alpha << " " << std::hex << canvas.at(0, 0);
    }
    canvas.clear(kBlue);
    wide.draw(canvas.dc(), CRect(0, 0, 20, 20), XImage::KeepAspect, 255, nullptr);
    canvas.expectPixels({{2, 4, kBlue}, {2, 5, kRed}, {2, 14, kWhite}, {2, 15, kBlue}});

    ASSERT_TRUE(
        image_files::writeImage(path("badge.png"), "png", 2, 1, {{0, 0, 0, 0}, {0, 255, 0, 255}}));
    XImage badge = loadedX("badge.png");
    CDC cdc;
    cdc.Attach(canvas.dc());
    {
        XDC dc(&cdc);
        checker.draw(dc, CRect(0, 0, 4, 4), 0, 255, &badge);
        canvas.expectPixels({{0, 0, kRed}, {3, 3, kGreen}});  // the base shows through the badge
        canvas.clear(kWhite);
        invalid.draw(dc, CRect(0, 0, 4, 4), 0, 255, &badge);
        canvas.expectPixels({{0, 0, kWhite}, {3, 0, kGreen}});
    }
    cdc.Detach();
}

}  // namespace
