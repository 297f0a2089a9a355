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

namespace {

std::wstring wide(const std::string& path) {
    return tessel::decodeUtf8(path);
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
    EXPECT_NEAR(p.r, 200, 6);
    EXPECT_NEAR(p.g, 100, 6);
    EXPECT_NEAR(p.b, 50, 6);

    ASSERT_TRUE(gif.load(path("tiny.gif")));
    EXPECT_EQ(gif.format(), ImageData::Format::Gif);
    EXPECT_EQ(std::pair(gif.width(), gif.height()), std::pair(4, 3));
    EXPECT_EQ(gif.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gif.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(gif.pixel(0, 2), 0xFF0000FFu);
    EXPECT_EQ(pixelOf(gif, 3, 0).a, 0);
    EXPECT_EQ(pixelOf(gif, 1, 2).a, 0);

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

TEST_F(ImageLoading, XImageLoadsWithFlags) {
    XImage plain, grey;
    ASSERT_TRUE(plain.load(kelp::KLString(std::string_view(path("rgba.png"))), 0));
    ASSERT_TRUE(
        grey.load(kelp::KLString(std::string_view(path("rgba.png"))), XImage::LoadGrayscale));
    EXPECT_EQ(pixelOf(plain.data(), 0, 0).r, 255);
    const Pixel p = pixelOf(grey.data(), 0, 0);
    EXPECT_EQ(p.r, tessel::drawing::luma(255, 0, 0));
    EXPECT_EQ(p.g, p.r);
    EXPECT_EQ(p.b, p.r);
    EXPECT_FALSE(plain.load(kelp::KLString(std::string_view(path("none.png"))), 0));
    EXPECT_FALSE(plain.isValid());
}

// Every malformed input is refused without crashing, leaking or keeping an old image.
class BadImageFiles : public ImageFiles {
protected:
    void expectRefused(const std::string& file) {
        ImageData image;
        ASSERT_TRUE(image.load(path("rgba.png")));
        EXPECT_FALSE(image.load(file)) << file;
        EXPECT_FALSE(image.valid()) << file;
        EXPECT_EQ(image.width(), 0) << file;
        CxImage cx;
        EXPECT_FALSE(cx.Load(wide(file).c_str())) << file;
        EXPECT_FALSE(cx.IsValid()) << file;
        const auto bytes = image_files::readBytes(file);
        EXPECT_FALSE(image.loadFromMemory(bytes.data(), bytes.size())) << file;
    }
    void writeTruncated(const std::string& from, const std::string& to) {
        auto bytes = image_files::readBytes(path(from));
        bytes.resize(bytes.size() / 2);
        ASSERT_TRUE(image_files::writeBytes(path(to), bytes));
    }
};

TEST_F(BadImageFiles, MissingEmptyTextDirectoryTruncatedAndNull) {
    expectRefused(path("missing.png"));
    expectRefused("");
    ASSERT_TRUE(image_files::writeBytes(path("empty.png"), {}));
    expectRefused(path("empty.png"));
    const std::string text = "this is not an image\n";
    ASSERT_TRUE(image_files::writeBytes(path("text.png"), {text.begin(), text.end()}));
    expectRefused(path("text.png"));
    std::filesystem::create_directory(path("folder.png"));
    expectRefused(path("folder.png"));
    for (const char* name : {"rgba.png", "solid.jpg", "tiny.gif"}) {
        writeTruncated(name, std::string("cut-") + name);
        expectRefused(path(std::string("cut-") + name));
    }
    ImageData image;
    const char byte = 0;
    EXPECT_FALSE(image.loadFromMemory(nullptr, 10));
    EXPECT_FALSE(image.loadFromMemory(&byte, 0));
    EXPECT_FALSE(image.loadFromMemory(&byte, 1));
}

// The toolkit names PNG, JPEG and GIF files only. Files of other formats
// are refused as corrupt files are, even where GdkPixbuf has a loader for them.
TEST_F(BadImageFiles, FormatsTheToolkitDoesNotNameAreRefusedByTheirFirstBytes) {
    using Bytes = std::vector<std::uint8_t>;
    auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
    // 2x1, 24 bits: red, blue (rows bottom-up, BGR, padded to 4 bytes).
    Bytes bmp = {'B', 'M'};
    auto le = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bmp.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    le(62, 4), le(0, 4), le(54, 4);                                // file header
    le(40, 4), le(2, 4), le(1, 4), le(1, 2), le(24, 2), le(0, 4);  // info header
    le(8, 4), le(2835, 4), le(2835, 4), le(0, 4), le(0, 4);
    for (std::uint8_t b : {0, 0, 255, 255, 0, 0, 0, 0})
        bmp.push_back(b);
    using namespace std::string_view_literals;  // "..."sv keeps the NUL bytes of the PPM
    const std::pair<std::string, Bytes> files[] = {
        {"tiny.bmp", bmp},
        {"tiny.xpm", text("/* XPM */\nstatic char *tiny[] = {\n\"2 1 2 1\",\n"
                          "\"r c #FF0000\",\n\"b c #0000FF\",\n\"rb\"};\n"sv)},
        {"tiny.ppm", text("P6\n2 1\n255\n\xff\x00\x00\x00\x00\xff"sv)},
    };
    for (const auto& [name, bytes] : files) {
        const std::string written = path(name);
        ASSERT_TRUE(image_files::writeBytes(written, bytes)) << name;
        expectRefused(written);
        // Named as a format the toolkit reads, the content still decides.
        const std::string disguised = written + ".png";
        std::filesystem::copy_file(written, disguised);
        expectRefused(disguised);
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
