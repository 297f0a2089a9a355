// Shared fixtures of the image tests: a temporary directory holding the
// sample images, and pixel access by channel.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include <tessel/drawing/ImageData.h>
#include <tessel/platform/gdi.h>

#include "image_files.h"

struct Pixel {
    int r, g, b, a;
};

inline Pixel pixelOf(const tessel::drawing::ImageData& image, int x, int y) {
    const DWORD v = image.pixel(x, y);
    return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
            static_cast<int>(v & 0xFF), static_cast<int>(v >> 24)};
}

inline bool near(COLORREF c, int r, int g, int b, int tolerance = 2) {
    return std::abs(GetRValue(c) - r) <= tolerance && std::abs(GetGValue(c) - g) <= tolerance &&
           std::abs(GetBValue(c) - b) <= tolerance;
}

// Samples: rgba.png 4x2 (red, half-transparent green, transparent blue, then
// white); checker.png 2x2 red/blue; solid.jpg 16x8 of (200, 100, 50);
// tiny.gif the embedded 4x3 GIF.
class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        using image_files::writeImage;
        ASSERT_TRUE(writeImage(path("rgba.png"), "png", 4, 2,
                               {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}}));
        ASSERT_TRUE(
            writeImage(path("checker.png"), "png", 2, 2,
                       {{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}}));
        ASSERT_TRUE(writeImage(path("solid.jpg"), "jpeg", 16, 8,
                               std::vector<image_files::Rgba>(16 * 8, kSolid)));
        ASSERT_TRUE(image_files::writeBytes(path("tiny.gif"), image_files::kGif));
    }

    std::string path(const std::string& name) const { return m_dir.file(name); }

    static constexpr image_files::Rgba kSolid{200, 100, 50, 255};

private:
    image_files::TempDir m_dir;
};
