#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include <tessel/drawing/CxImage.h>
#include <tessel/drawing/ImageData.h>
#include <tessel/drawing/Shades.h>
#include <tessel/drawing/XImage.h>
#include <tessel/platform/text_encoding.h>

#include "image_test_support.h"

using tessel::drawing::ImageData;
using tessel::drawing::luma;

namespace {

std::wstring wide(const std::string& path) {
    return tessel::decodeUtf8(path);
}

using ImageLoading = ImageFiles;

// JPEG is opaque with its colour, GIF keeps its palette and transparent
// index; the content decides the format, and a type asked for must match it.
TEST_F(ImageLoading, JpegAndGifDecodeAndTheContentDecidesTheFormat) {
    ImageData jpeg, gif;
    ASSERT_TRUE(jpeg.load(path("solid.jpg")));
    EXPECT_EQ(std::pair(jpeg.width(), jpeg.height()), std::pair(16, 8));
    const Pixel p = pixelOf(jpeg, 7, 3);
    EXPECT_EQ(p.a, 255);
    EXPECT_TRUE(near(RGB(p.r, p.g, p.b), 200, 100, 50, 6));
    ASSERT_TRUE(gif.load(path("tiny.gif")));
    EXPECT_EQ(gif.format(), ImageData::Format::Gif);
    EXPECT_EQ(gif.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(gif.pixel(0, 2), 0xFF0000FFu);
    EXPECT_EQ(pixelOf(gif, 3, 0).a + pixelOf(gif, 1, 2).a, 0);

    std::filesystem::copy_file(path("solid.jpg"), path("disguised.png"));
    CxImage image(CXIMAGE_FORMAT_GIF);
    ASSERT_TRUE(image.Load(wide(path("disguised.png")).c_str()));
    EXPECT_EQ(image.GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(image.Load(wide(path("rgba.png")).c_str(), CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(image.IsValid());
    ASSERT_TRUE(image.Load(wide(path("rgba.png")).c_str(), CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(image.Load(nullptr));
}

// Grey is luma with the alpha kept and the colour still premultiplied, as a
// load flag too. A copy is deep; without alpha it is opaque in its
// un-premultiplied colour (in place too), without pixels it is blank.
TEST_F(ImageLoading, GreyscaleIsLumaAndCopiesAreDeepAndHonourTheirFlags) {
    ASSERT_TRUE(image_files::writeImage(path("colours.png"), "png", 2, 1,
                                        {{10, 220, 30, 255}, {240, 40, 90, 102}}));
    ImageData image;
    ASSERT_TRUE(image.load(path("colours.png")));
    ASSERT_TRUE(image.grayscale());
    const Pixel p = pixelOf(image, 0, 0), translucent = pixelOf(image, 1, 0);
    EXPECT_TRUE(p.r == luma(10, 220, 30) && p.g == p.r && p.b == p.r && p.a == 255);
    EXPECT_EQ(translucent.a, 102);
    EXPECT_NEAR(translucent.r, luma(240, 40, 90) * 102 / 255, 1);
    XImage grey;
    ASSERT_TRUE(grey.load(kelp::KLString(std::string_view(path("rgba.png"))), XImage::LoadGrayscale));
    EXPECT_EQ(pixelOf(grey.data(), 0, 0).b, luma(255, 0, 0));
    EXPECT_FALSE(ImageData().grayscale());

    CxImage source, copy, opaque, blank;
    ASSERT_TRUE(source.Load(wide(path("rgba.png")).c_str()));
    ASSERT_TRUE(copy.Copy(source));
    ASSERT_TRUE(copy.GrayScale());
    EXPECT_EQ(pixelOf(source.data(), 0, 0).r, 255);  // the source is untouched
    ASSERT_TRUE(opaque.Copy(source, true, true, false));
    EXPECT_EQ(opaque.data().pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(opaque.data().pixel(2, 0), 0xFF000000u);  // fully transparent becomes black
    ASSERT_TRUE(blank.Copy(source, false));
    EXPECT_EQ(blank.GetWidth(), 4u);
    EXPECT_EQ(blank.data().pixel(0, 0), 0u);
    EXPECT_FALSE(blank.Copy(CxImage()));
    CxImage assigned;
    assigned = source;
    ASSERT_TRUE(source.Copy(source, true, true, false));  // in place
    EXPECT_EQ(source.data().pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(pixelOf(assigned.data(), 1, 0).a, 128);
}

// Malformed files and formats the toolkit does not name (even where GdkPixbuf
// has a loader) are refused, and the image keeps nothing of the old one.
TEST_F(ImageLoading, MalformedAndUnnamedFormatsAreRefusedAndKeepNoOldImage) {
    using namespace std::string_view_literals;  // "..."sv keeps the NUL bytes of the PPM
    std::filesystem::create_directory(path("folder.png"));
    auto cut = image_files::readBytes(path("rgba.png"));
    cut.resize(cut.size() / 2);
    std::vector<std::pair<std::string, std::string_view>> written{
        {"empty.png", ""},
        {"text.png", "this is not an image\n"},
        {"tiny.xpm", "/* XPM */\nstatic char *tiny[] = {\n\"1 1 1 1\",\n\"r c #FF0000\",\n\"r\"};\n"},
        {"tiny.ppm.png", "P6\n1 1\n255\n\xff\x00\x00"sv},
        {"cut.png", {reinterpret_cast<const char*>(cut.data()), cut.size()}}};
    std::vector<std::string> files{path("missing.png"), path("folder.png"), ""};
    for (const auto& [name, text] : written) {
        ASSERT_TRUE(image_files::writeBytes(path(name), {text.begin(), text.end()}));
        files.push_back(path(name));
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ImageData image;
        ASSERT_TRUE(image.load(path("rgba.png")));
        EXPECT_FALSE(image.load(file));
        EXPECT_FALSE(image.valid());
        EXPECT_EQ(image.width(), 0);
        EXPECT_FALSE(CxImage().Load(wide(file).c_str()));
        const auto bytes = image_files::readBytes(file);
        EXPECT_FALSE(image.loadFromMemory(bytes.data(), bytes.size()));
    }
    const char byte = 0;
    EXPECT_FALSE(ImageData().loadFromMemory(nullptr, 10));
    EXPECT_FALSE(ImageData().loadFromMemory(&byte, 1));
}

// Copies, drawing and failed loads give back every GDI object they make.
TEST_F(ImageLoading, NoGdiObjectLeaks) {
    const DWORD start = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    {
        CxImage a;
        ASSERT_TRUE(a.Load(wide(path("rgba.png")).c_str()));
        CxImage b(a);
        b.Copy(a, true, true, false);
        XImage x, y;
        ASSERT_TRUE(x.load(kelp::KLString(std::string_view(path("tiny.gif"))), 0));
        y = x;
        HDC dc = CreateCompatibleDC(nullptr);
        EXPECT_EQ(a.Draw(dc, RECT{0, 0, 8, 8}), 1);
        x.draw(dc, CRect(0, 0, 8, 8), XImage::Smooth, 255, &y);
        DeleteDC(dc);
        EXPECT_FALSE(b.Load(wide(path("missing.png")).c_str()));
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), start);
}

}  // namespace
