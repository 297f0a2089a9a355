#include <cstdint>
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

kelp::KLString named(const std::string& path) {
    return kelp::KLString(std::string_view(path));
}

class ImageLoading : public ImageFiles {};

// Each format with what it carries: PNG's alpha premultiplied, JPEG opaque
// with its colour, GIF's palette and transparent index; memory as files.
TEST_F(ImageLoading, PngJpegAndGifDecodeWithTheirAlpha) {
    ImageData png, jpeg, gif, fromMemory;
    ASSERT_TRUE(png.load(path("rgba.png")));
    EXPECT_EQ(png.format(), ImageData::Format::Png);
    EXPECT_EQ(std::pair(png.width(), png.height()), std::pair(4, 2));
    EXPECT_EQ(pixelOf(png, 1, 0).g, 128);  // 255 premultiplied by 128/255

    ASSERT_TRUE(jpeg.load(path("solid.jpg")));
    EXPECT_EQ(jpeg.format(), ImageData::Format::Jpeg);
    EXPECT_EQ(std::pair(jpeg.width(), jpeg.height()), std::pair(16, 8));
    const Pixel p = pixelOf(jpeg, 7, 3);
    EXPECT_EQ(p.a, 255);
    EXPECT_TRUE(near(RGB(p.r, p.g, p.b), 200, 100, 50, 6));

    ASSERT_TRUE(gif.load(path("tiny.gif")));
    EXPECT_EQ(gif.format(), ImageData::Format::Gif);
    EXPECT_EQ(std::pair(gif.width(), gif.height()), std::pair(4, 3));
    EXPECT_EQ(gif.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gif.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(gif.pixel(0, 2), 0xFF0000FFu);
    EXPECT_EQ(pixelOf(gif, 3, 0).a + pixelOf(gif, 1, 2).a, 0);

    const auto bytes = image_files::readBytes(path("rgba.png"));
    ASSERT_TRUE(fromMemory.loadFromMemory(bytes.data(), bytes.size()));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(fromMemory.pixel(x, y), png.pixel(x, y));
}

// The content decides the format, and a type asked for must match it.
TEST_F(ImageLoading, FormatComesFromContentNotNameAndMustMatchTheTypeAskedFor) {
    std::filesystem::copy_file(path("solid.jpg"), path("disguised.png"));
    CxImage image(CXIMAGE_FORMAT_GIF);
    ASSERT_TRUE(image.Load(wide(path("disguised.png")).c_str()));
    EXPECT_EQ(image.GetType(), static_cast<DWORD>(CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(image.Load(wide(path("rgba.png")).c_str(), CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(image.IsValid());
    ASSERT_TRUE(image.Load(wide(path("rgba.png")).c_str(), CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_FALSE(image.Load(wide(path("solid.jpg")).c_str(), CXIMAGE_FORMAT_GIF));
    EXPECT_FALSE(image.Load(nullptr));
}

// Grey is luma, alpha stays and the colour stays premultiplied; as a load
// flag too. Nothing to grey fails.
TEST_F(ImageLoading, GreyscaleIsLumaAndKeepsAlpha) {
    ASSERT_TRUE(image_files::writeImage(path("colours.png"), "png", 2, 1,
                                        {{10, 220, 30, 255}, {240, 40, 90, 102}}));
    ImageData image;
    ASSERT_TRUE(image.load(path("colours.png")));
    ASSERT_TRUE(image.grayscale());
    const Pixel p = pixelOf(image, 0, 0), translucent = pixelOf(image, 1, 0);
    EXPECT_EQ(p.r, luma(10, 220, 30));
    EXPECT_TRUE(p.g == p.r && p.b == p.r && p.a == 255);
    EXPECT_EQ(translucent.a, 102);
    EXPECT_NEAR(translucent.r, luma(240, 40, 90) * 102 / 255, 1);
    EXPECT_EQ(translucent.g, translucent.r);

    XImage grey;
    ASSERT_TRUE(grey.load(named(path("rgba.png")), XImage::LoadGrayscale));
    const Pixel g = pixelOf(grey.data(), 0, 0);
    EXPECT_TRUE(g.r == luma(255, 0, 0) && g.g == g.r && g.b == g.r);
    EXPECT_FALSE(grey.load(named(path("none.png")), 0));
    EXPECT_FALSE(grey.isValid());
    EXPECT_FALSE(ImageData().grayscale());
    EXPECT_FALSE(CxImage().GrayScale());
}

// A copy is exact and deep; without alpha it is opaque (in place too),
// without pixels it is blank at the same size, and copying nothing fails.
TEST_F(ImageLoading, CopiesAreDeepAndHonourTheirFlags) {
    CxImage source;
    ASSERT_TRUE(source.Load(wide(path("rgba.png")).c_str()));
    CxImage copy, opaque, blank;
    ASSERT_TRUE(copy.Copy(source));
    EXPECT_EQ(copy.data().pixel(1, 0), source.data().pixel(1, 0));
    ASSERT_TRUE(copy.GrayScale());
    EXPECT_EQ(pixelOf(source.data(), 0, 0).r, 255);  // the source is untouched

    ASSERT_TRUE(opaque.Copy(source, true, true, false));
    EXPECT_EQ(opaque.data().pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(opaque.data().pixel(1, 0), 0xFF00FF00u);  // un-premultiplied green, now opaque
    EXPECT_EQ(opaque.data().pixel(2, 0), 0xFF000000u);  // fully transparent becomes black

    ASSERT_TRUE(blank.Copy(source, false));
    EXPECT_EQ(blank.GetWidth(), 4u);
    EXPECT_EQ(blank.data().pixel(0, 0), 0u);
    EXPECT_FALSE(blank.Copy(CxImage()));
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

// Every malformed input is refused without crashing, leaking or keeping an old image.
class BadImageFiles : public ImageFiles {
protected:
    void expectRefused(const std::string& file) {
        SCOPED_TRACE(file);
        ImageData image;
        ASSERT_TRUE(image.load(path("rgba.png")));
        EXPECT_FALSE(image.load(file));
        EXPECT_FALSE(image.valid());
        EXPECT_EQ(image.width(), 0);
        CxImage cx;
        EXPECT_FALSE(cx.Load(wide(file).c_str()));
        EXPECT_FALSE(cx.IsValid());
        const auto bytes = image_files::readBytes(file);
        EXPECT_FALSE(image.loadFromMemory(bytes.data(), bytes.size()));
    }
    std::string written(const std::string& name, std::string_view text) {
        EXPECT_TRUE(image_files::writeBytes(path(name), {text.begin(), text.end()}));
        return path(name);
    }
};

TEST_F(BadImageFiles, MissingEmptyTextDirectoryTruncatedAndNull) {
    expectRefused(path("missing.png"));
    expectRefused("");
    expectRefused(written("empty.png", ""));
    expectRefused(written("text.png", "this is not an image\n"));
    std::filesystem::create_directory(path("folder.png"));
    expectRefused(path("folder.png"));
    for (const char* name : {"rgba.png", "solid.jpg", "tiny.gif"}) {
        auto bytes = image_files::readBytes(path(name));
        bytes.resize(bytes.size() / 2);
        ASSERT_TRUE(image_files::writeBytes(path(std::string("cut-") + name), bytes));
        expectRefused(path(std::string("cut-") + name));
    }
    ImageData image;
    const char byte = 0;
    EXPECT_FALSE(image.loadFromMemory(nullptr, 10));
    EXPECT_FALSE(image.loadFromMemory(&byte, 0));
    EXPECT_FALSE(image.loadFromMemory(&byte, 1));
}

// Only PNG, JPEG and GIF are read: other formats are refused as corrupt files
// are, whatever they are named, even where GdkPixbuf has a loader for them.
TEST_F(BadImageFiles, FormatsTheToolkitDoesNotNameAreRefusedByTheirFirstBytes) {
    using namespace std::string_view_literals;  // "..."sv keeps the NUL bytes of the PPM
    const std::pair<std::string, std::string_view> files[] = {
        {"tiny.xpm", "/* XPM */\nstatic char *tiny[] = {\n\"2 1 2 1\",\n"
                     "\"r c #FF0000\",\n\"b c #0000FF\",\n\"rb\"};\n"sv},
        {"tiny.ppm", "P6\n2 1\n255\n\xff\x00\x00\x00\x00\xff"sv},
    };
    for (const auto& [name, text] : files) {
        expectRefused(written(name, text));
        expectRefused(written(name + ".png", text));
    }
}

// Copies, drawing and failed loads give back every GDI object they make.
TEST_F(ImageFiles, NoGdiObjectLeaks) {
    const DWORD start = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    {
        CxImage a;
        ASSERT_TRUE(a.Load(wide(path("rgba.png")).c_str()));
        CxImage b(a);
        b.Copy(a, true, true, false);
        XImage x, y;
        ASSERT_TRUE(x.load(named(path("tiny.gif")), 0));
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
