// Image files written at run time into a private temporary directory, removed
// with it: PNG and JPEG through GdkPixbuf, GIF from embedded bytes.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "png_chunks.h"

namespace image_files {

struct Rgba {
    std::uint8_t r, g, b, a;
};

// 4x3, palette red, green, blue, black with index 3 transparent; rows
// 0 1 2 3 / 1 2 3 0 / 2 3 0 1.
inline const std::vector<std::uint8_t> kGif = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x03, 0x00, 0xf1, 0x00, 0x00, 0xff,
    0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04,
    0x01, 0x00, 0x00, 0x03, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x03, 0x00,
    0x00, 0x02, 0x08, 0x44, 0xa8, 0x31, 0xe2, 0x40, 0x8d, 0x48, 0x01, 0x00, 0x3b};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessel-img-XXXXXX");
        if (mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Empty for anything but a readable regular file.
inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Pixels row by row, missing ones white; `format` is "png" or "jpeg" (JPEG drops alpha).
inline bool writeImage(const std::string& path, const std::string& format, int width, int height,
                       const std::vector<Rgba>& pixels) {
    const bool alpha = format != "jpeg";
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, width, height);
    if (!pixbuf) return false;
    guchar* data = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const int channels = alpha ? 4 : 3;
    auto p = pixels.begin();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba c = p == pixels.end() ? Rgba{255, 255, 255, 255} : *p++;
            guchar* out = data + y * stride + x * channels;
            out[0] = c.r, out[1] = c.g, out[2] = c.b;
            if (alpha) out[3] = c.a;
        }
    GError* error = nullptr;
    const bool ok = gdk_pixbuf_save(pixbuf, path.c_str(), format.c_str(), &error, nullptr);
    if (error) g_error_free(error);
    g_object_unref(pixbuf);
    return ok;
}

using png_chunks::appendChunk;
using png_chunks::putBigEndian;

// A PNG declaring width x height, RGBA, without pixels.
inline std::vector<std::uint8_t> pngHeader(std::uint32_t width, std::uint32_t height) {
    return png_chunks::pngStart(width, height, 8, 6);
}

}  // namespace image_files
