#include <utility>

#include <tessel/drawing/CxImage.h>
#include <tessel/drawing/ImageData.h>
#include <tessel/drawing/Shades.h>
#include <tessel/platform/text_encoding.h>

#include "image_test_support.h"

using tessel::drawing::ImageData;
using tessel::drawing::luma;

namespace {

class ImagePixels : public ImageFiles {
protected:
    void SetUp() override {
        ImageFiles::SetUp();
        ASSERT_TRUE(
            image_files::writeImage(path("colours.png"), "png", 3, 1,
                                    {{200, 100, 50, 255}, {10, 220, 30, 255}, {240, 40, 90, 102}}));
    }
};

TEST_F(ImagePixels, GrayscaleIsLumaAndKeepsAlpha) {
    ImageData image;
    ASSERT_TRUE(image.load(path("colours.png")));
    ASSERT_TRUE(image.grayscale());
    const Pixel p = pixelOf(image, 1, 0);
    EXPECT_EQ(p.r, luma(10, 220, 30));
    EXPECT_EQ(p.g, p.r);
    EXPECT_EQ(p.b, p.r);
    EXPECT_EQ(p.a, 255);
    const Pixel translucent = pixelOf(image, 2, 0);
    EXPECT_EQ(translucent.a, 102);
    EXPECT_NEAR(translucent.r, luma(240, 40, 90) * 102 / 255, 1);  // stays premultiplied
    EXPECT_EQ(translucent.g, translucent.r);

    ImageData empty;
    EXPECT_FALSE(empty.grayscale());
    CxImage none;
    EXPECT_FALSE(none.GrayScale());
}

// A copy is exact and deep; without alpha it is opaque (in place too),
// without pixels it is blank at the same size, and copying nothing fails.
TEST_F(ImagePixels, CopiesAreDeepAndHonourTheirFlags) {
    CxImage source;
    ASSERT_TRUE(source.Load(tessel::decodeUtf8(path("rgba.png")).c_str()));
    CxImage copy, opaque, blank, empty;
    ASSERT_TRUE(copy.Copy(source));
    EXPECT_EQ(copy.data().pixel(1, 0), source.data().pixel(1, 0));
    ASSERT_TRUE(copy.GrayScale());
    EXPECT_EQ(pixelOf(source.data(), 0, 0).r, 255);  // the source is untouched
    EXPECT_EQ(pixelOf(copy.data(), 0, 0).r, luma(255, 0, 0));

    ASSERT_TRUE(opaque.Copy(source, true, true, false));
    EXPECT_EQ(opaque.data().pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(opaque.data().pixel(1, 0), 0xFF00FF00u);  // un-premultiplied green, now opaque
    EXPECT_EQ(opaque.data().pixel(2, 0), 0xFF000000u);  // fully transparent becomes black

    ASSERT_TRUE(blank.Copy(source, false));
    EXPECT_EQ(blank.GetWidth(), 4u);
    EXPECT_EQ(blank.data().pixel(0, 0), 0u);
    EXPECT_FALSE(blank.Copy(empty));
    EXPECT_FALSE(blank.IsValid());

    CxImage assigned;
    assigned = source;
    ASSERT_TRUE(source.Copy(source, true, true, false));  // in place
    EXPECT_EQ(source.data().pixel(1, 0), 0xFF00FF00u);
    source.Destroy();
    EXPECT_EQ(pixelOf(assigned.data(), 1, 0).a, 128);
    CxImage constructed(assigned);
    assigned.GrayScale();
    EXPECT_EQ(pixelOf(constructed.data(), 0, 0).r, 255);
}

}  // namespace
