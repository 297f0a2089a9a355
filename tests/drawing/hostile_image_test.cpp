// Complete, small image files that declare more pixels than the toolkit
// takes are refused before their pixels are allocated, whichever format
// declares them; the largest image it takes loads whole.
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "image_test_support.h"

using tessel::drawing::ImageData;

namespace {

long long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data) {
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    putBigEndian(png, image_files::crc32(typed.data(), typed.size()));
}

// A whole PNG of black pixels, one bit each, so it is quick to make and tiny.
std::vector<std::uint8_t> blankPng(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.insert(header.end(), {1, 0, 0, 0, 0});  // 1-bit greyscale, no interlace
    appendChunk(png, "IHDR", header);
    const std::vector<std::uint8_t> row(1 + (std::size_t{width} + 7) / 8, 0);  // filter byte, pixels
    std::vector<std::uint8_t> idat;
    z_stream z{};
    if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) return {};
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::uint32_t y = 0; y <= height; ++y) {
        const bool last = y == height;
        z.next_in = const_cast<Bytef*>(row.data());
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            idat.insert(idat.end(), buffer.data(), z.next_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    appendChunk(png, "IDAT", idat);
    appendChunk(png, "IEND", {});
    return png;
}

// The 4x3 sample GIF, its screen and its one image declared width x height.
std::vector<std::uint8_t> gifOfSize(std::uint16_t width, std::uint16_t height) {
    std::vector<std::uint8_t> gif = image_files::kGif;
    for (std::size_t at : {std::size_t{6}, std::size_t{38}}) {
        gif[at] = width & 0xFF, gif[at + 1] = width >> 8;
        gif[at + 2] = height & 0xFF, gif[at + 3] = height >> 8;
    }
    return gif;
}

// A real JPEG whose frame header declares width x height.
std::vector<std::uint8_t> jpegOfSize(const std::string& sample, std::uint16_t width,
                                     std::uint16_t height) {
    std::vector<std::uint8_t> jpeg = image_files::readBytes(sample);
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] != 0xFF || (jpeg[i + 1] != 0xC0 && jpeg[i + 1] != 0xC2)) continue;
        jpeg[i + 5] = height >> 8, jpeg[i + 6] = height & 0xFF;
        jpeg[i + 7] = width >> 8, jpeg[i + 8] = width & 0xFF;
        return jpeg;
    }
    return {};
}

class HostileImages : public ImageFiles {};

TEST_F(HostileImages, DeclaredSizesPastTheLimitAreRefusedWithoutTheirMemory) {
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"9000-square.png", blankPng(9000, 9000)},
        {"16384x4097.png", blankPng(16384, 4097)},
        {"16385x1.png", blankPng(16385, 1)},
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
}

TEST_F(HostileImages, TheLargestImageTakenLoadsWhole) {
    const std::string file = path("16384x4096.png");
    ASSERT_TRUE(image_files::writeBytes(file, blankPng(16384, 4096)));
    ImageData image;
    ASSERT_TRUE(image.load(file));
    EXPECT_EQ(image.width(), 16384);
    EXPECT_EQ(image.height(), 4096);
    EXPECT_EQ(image.pixel(16383, 4095), 0xFF000000u);  // opaque black
}

}  // namespace
