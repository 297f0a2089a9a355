// Small files that declare more pixels than the toolkit takes are refused
// before their pixels are allocated; PNGs of every kind decode right.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "image_test_support.h"

using tessel::drawing::ImageData;

namespace {

using Bytes = std::vector<std::uint8_t>;

long long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

struct PngKind {
    const char* name;
    std::uint8_t depth, colour;
    bool interlaced = false;  // Adam7, for 8-bit samples
    Bytes transparency{};     // the tRNS chunk
};

// Samples from `random`, or all zero without one: then quick to make and tiny at any size.
Bytes makePng(const PngKind& kind, std::uint32_t width, std::uint32_t height,
              std::mt19937* random = nullptr) {
    const auto sample = [&] { return static_cast<std::uint8_t>(random ? (*random)() : 0); };
    const int channels = kind.colour == 2 ? 3 : kind.colour == 4 ? 2 : kind.colour == 6 ? 4 : 1;
    Bytes png = png_chunks::pngStart(width, height, kind.depth, kind.colour, kind.interlaced);
    if (kind.colour == 3) {
        Bytes palette(3u << kind.depth);
        for (auto& b : palette)
            b = sample();
        png_chunks::appendChunk(png, "PLTE", palette);
    }
    if (!kind.transparency.empty()) png_chunks::appendChunk(png, "tRNS", kind.transparency);

    const std::size_t bitsPerPixel = std::size_t{kind.depth} * channels, pixelBytes = bitsPerPixel / 8;
    Bytes raw, pixels(kind.interlaced ? std::size_t{width} * height * pixelBytes : 0);
    for (auto& b : pixels)
        b = sample();
    using Pass = std::array<std::uint32_t, 4>;  // x0, y0, dx, dy
    const std::vector<Pass> passes =
        kind.interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                        : std::vector<Pass>{{0, 0, 1, 1}};
    for (const auto& [x0, y0, dx, dy] : passes) {
        const std::uint32_t columns = width > x0 ? (width - x0 + dx - 1) / dx : 0;
        const std::uint32_t rows = height > y0 ? (height - y0 + dy - 1) / dy : 0;
        for (std::uint32_t y = 0; columns && y < rows; ++y) {
            raw.push_back(0);  // no filter
            for (std::size_t i = 0; i < (columns * bitsPerPixel + 7) / 8; ++i) {
                const std::size_t x = x0 + (i / std::max<std::size_t>(pixelBytes, 1)) * dx;
                raw.push_back(kind.interlaced
                                  ? pixels[((y0 + y * dy) * width + x) * pixelBytes + i % pixelBytes]
                                  : sample());
            }
        }
    }
    Bytes idat(compressBound(static_cast<uLong>(raw.size())));
    uLongf size = static_cast<uLongf>(idat.size());
    if (compress2(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return {};
    idat.resize(size);
    png_chunks::appendChunk(png, "IDAT", idat);
    png_chunks::appendChunk(png, "IEND", {});
    return png;
}

Bytes blankPng(std::uint32_t width, std::uint32_t height) {
    return makePng({"blank", 1, 0}, width, height);
}

// The 4x3 sample GIF, its screen and its one image declared width x height.
Bytes gifOfSize(std::uint16_t width, std::uint16_t height) {
    Bytes gif = image_files::kGif;
    for (std::size_t at : {std::size_t{6}, std::size_t{38}}) {
        gif[at] = width & 0xFF, gif[at + 1] = width >> 8;
        gif[at + 2] = height & 0xFF, gif[at + 3] = height >> 8;
    }
    return gif;
}

// A real JPEG whose frame header declares width x height.
Bytes jpegOfSize(const std::string& sample, std::uint16_t width, std::uint16_t height) {
    Bytes jpeg = image_files::readBytes(sample);
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] != 0xFF || (jpeg[i + 1] != 0xC0 && jpeg[i + 1] != 0xC2)) continue;
        jpeg[i + 5] = height >> 8, jpeg[i + 6] = height & 0xFF;
        jpeg[i + 7] = width >> 8, jpeg[i + 8] = width & 0xFF;
        return jpeg;
    }
    return {};
}

using HostileImages = ImageFiles;

TEST_F(HostileImages, DeclaredSizesPastTheLimitAreRefusedWithoutTheirMemory) {
    const std::pair<std::string, Bytes> files[] = {
        {"16384x4097.png", blankPng(16384, 4097)},
        {"16385x1.png", blankPng(16385, 1)},
        {"1x16385.png", blankPng(1, 16385)},
        {"65535-square.gif", gifOfSize(65535, 65535)},
        {"65500-square.jpg", jpegOfSize(path("solid.jpg"), 65500, 65500)},
    };
    for (const auto& [name, bytes] : files) {
        ASSERT_FALSE(bytes.empty()) << name;
        ASSERT_LT(bytes.size(), 2u << 20) << name << " is small";
        ASSERT_TRUE(image_files::writeBytes(path(name), bytes));
        const long long before = residentBytes();
        ImageData image;
        EXPECT_FALSE(image.load(path(name))) << name;
        EXPECT_FALSE(image.loadFromMemory(bytes.data(), bytes.size())) << name;
        EXPECT_FALSE(image.valid()) << name;
        EXPECT_LT(residentBytes() - before, 64LL << 20) << name;
    }
    ASSERT_TRUE(image_files::writeBytes(path("largest.png"), blankPng(16384, 4096)));
    ImageData largest;
    ASSERT_TRUE(largest.load(path("largest.png")));
    EXPECT_EQ(largest.pixel(16383, 4095), 0xFF000000u);  // all of it, opaque black
}

// Every colour type, depth, transparency and interlacing gives what GdkPixbuf's
// decoding, premultiplied, gives, from a file and from memory; a file cut
// short is refused.
TEST_F(HostileImages, PngsOfEveryKindDecodeAsGdkPixbufDecodesThem) {
    const PngKind kinds[] = {
        {"grey1", 1, 0}, {"grey2", 2, 0}, {"grey4", 4, 0}, {"grey8", 8, 0}, {"grey16", 16, 0},
        {"grey8trns", 8, 0, false, {0, 77}}, {"rgb8", 8, 2}, {"rgb16", 16, 2},
        {"rgb8trns", 8, 2, false, {0, 9, 0, 200, 0, 31}}, {"palette1", 1, 3},
        {"palette4trns", 4, 3, false, {0, 128, 255, 3}}, {"palette8", 8, 3, false, {17, 250}},
        {"greyalpha8", 8, 4}, {"greyalpha16", 16, 4}, {"rgba8", 8, 6}, {"rgba16", 16, 6},
        {"rgba8interlaced", 8, 6, true}, {"grey8interlaced", 8, 0, true}};
    std::mt19937 random(5);
    constexpr int kWidth = 13, kHeight = 11;
    for (const PngKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Bytes bytes = makePng(kind, kWidth, kHeight, &random);
        const std::string file = path(std::string(kind.name) + ".png");
        ASSERT_TRUE(image_files::writeBytes(file, bytes));
        GdkPixbuf* expected = gdk_pixbuf_new_from_file(file.c_str(), nullptr);
        ASSERT_TRUE(expected);
        ImageData image, fromMemory;
        ASSERT_TRUE(image.load(file) && fromMemory.loadFromMemory(bytes.data(), bytes.size()));
        ASSERT_EQ(image.format(), ImageData::Format::Png);
        ASSERT_EQ(std::pair(image.width(), image.height()), std::pair(kWidth, kHeight));
        const int channels = gdk_pixbuf_get_n_channels(expected);
        const int stride = gdk_pixbuf_get_rowstride(expected);
        const guchar* pixels = gdk_pixbuf_read_pixels(expected);
        int differing = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const guchar* p = pixels + y * stride + x * channels;
                const unsigned a = channels == 4 ? p[3] : 255;
                auto pre = [a](unsigned c) { return (c * a + 127) / 255; };
                const DWORD want = pre(p[2]) | pre(p[1]) << 8 | pre(p[0]) << 16 | a << 24;
                differing += image.pixel(x, y) != want || fromMemory.pixel(x, y) != want;
            }
        }
        EXPECT_EQ(differing, 0);
        g_object_unref(expected);
        bytes.resize(bytes.size() - 20);  // into the image data
        EXPECT_FALSE(image.loadFromMemory(bytes.data(), bytes.size()) || image.valid());
    }
}

}  // namespace
