// Loading the largest image the toolkit takes, 16,384x4,096, from a PNG
// file: 1-bit black (the hostile-image test's file) and 8-bit RGBA with a
// gradient and partial alpha, so premultiplying has work to do. The files are
// written once, uncompressed (stored deflate blocks), to the temporary
// directory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <tessel/drawing/ImageData.h>

#include "../../tests/support/png_chunks.h"

namespace {

constexpr std::uint32_t kWidth = 16384, kHeight = 4096;

using png_chunks::appendChunk;
using png_chunks::putBigEndian;

// A PNG of the filtered rows `raw` (filter byte first), in stored blocks.
std::vector<std::uint8_t> pngOf(std::uint8_t bitDepth, std::uint8_t colourType,
                                const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian(header, kWidth);
    putBigEndian(header, kHeight);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    appendChunk(png, "IHDR", header);
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    zlib.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    std::uint32_t a = 1, b = 0;
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const auto length = static_cast<std::uint16_t>(std::min<std::size_t>(65535, raw.size() - at));
        zlib.push_back(at + length == raw.size() ? 1 : 0);
        zlib.insert(zlib.end(), {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        for (std::size_t i = at; i < at + length; ++i) {
            a = (a + raw[i]) % 65521;
            b = (b + a) % 65521;
        }
    }
    putBigEndian(zlib, b << 16 | a);
    appendChunk(png, "IDAT", zlib);
    appendChunk(png, "IEND", {});
    return png;
}

std::string writeOnce(const char* name, std::vector<std::uint8_t> (*make)()) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    if (!std::filesystem::exists(path)) {
        const std::vector<std::uint8_t> bytes = make();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return path;
}

std::vector<std::uint8_t> blackPng() {
    return pngOf(1, 0, std::vector<std::uint8_t>(std::size_t{kHeight} * (1 + kWidth / 8), 0));
}

std::vector<std::uint8_t> gradientPng() {
    const std::size_t rowBytes = 1 + std::size_t{kWidth} * 4;
    std::vector<std::uint8_t> raw(rowBytes * kHeight);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = &raw[y * rowBytes];
        row[0] = 0;
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            std::uint8_t* p = row + 1 + x * 4;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
            p[3] = static_cast<std::uint8_t>(x >> 6);
        }
    }
    return pngOf(8, 6, raw);
}

void load(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        tessel::drawing::ImageData image;
        if (!image.load(path)) state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(image.pixel(kWidth - 1, kHeight - 1));
    }
}

void BM_LoadLargestBlackPng(benchmark::State& state) {
    load(state, writeOnce("tessel_bench_16384x4096_black.png", blackPng));
}
void BM_LoadLargestRgbaPng(benchmark::State& state) {
    load(state, writeOnce("tessel_bench_16384x4096_rgba.png", gradientPng));
}

}  // namespace

BENCHMARK(BM_LoadLargestBlackPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargestRgbaPng)->Unit(benchmark::kMillisecond);
