// Writes 8-bit GIF files from RGBA pixels, for the gallery's generated icons
// (GdkPixbuf reads GIF but cannot write it). Colours go to a fixed palette
// (a 6x6x6 cube and greys) and alpha below half becomes the transparent
// index; the image data is LZW-coded without compression, which every
// decoder reads.
//
//   GifWriter::write("star-normal.gif", width, height, rgbaPixels);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GifWriter {
public:
    // `rgba` holds width * height pixels, 4 bytes each, rows from the top.
    static bool write(const std::string& path, int width, int height,
                      const std::vector<std::uint8_t>& rgba);

private:
    static std::vector<std::uint8_t> palette();
    static std::uint8_t nearestIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                     std::uint8_t a);
    static std::vector<std::uint8_t> lzwUncompressed(const std::vector<std::uint8_t>& indices);
};
