#include "GifWriter.h"

#include <algorithm>
#include <fstream>

namespace {
constexpr int kTransparent = 255;
constexpr int kClear = 256, kEnd = 257;
// Literals between clear codes: the code table never reaches 512 entries,
// so every code stays 9 bits wide.
constexpr int kLiteralsPerClear = 250;

class BitWriter {
public:
    void put(int code, int width) {
        m_buffer |= static_cast<std::uint32_t>(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    std::vector<std::uint8_t> finish() {
        if (m_bits > 0) m_bytes.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
        return std::move(m_bytes);
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_buffer = 0;
    int m_bits = 0;
};

void put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
}  // namespace

std::vector<std::uint8_t> GifWriter::palette() {
    std::vector<std::uint8_t> colours;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours.insert(colours.end(), {static_cast<std::uint8_t>(r * 51),
                                               static_cast<std::uint8_t>(g * 51),
                                               static_cast<std::uint8_t>(b * 51)});
    // 216 cube colours, then greys up to index 254; 255 is transparent.
    for (int i = 216; i < 256; ++i) {
        const auto grey = static_cast<std::uint8_t>((i - 216) * 255 / 39);
        colours.insert(colours.end(), {grey, grey, grey});
    }
    return colours;
}

std::uint8_t GifWriter::nearestIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                     std::uint8_t a) {
    if (a < 128) return kTransparent;
    auto level = [](std::uint8_t v) { return (v + 25) / 51; };
    return static_cast<std::uint8_t>(level(r) * 36 + level(g) * 6 + level(b));
}

std::vector<std::uint8_t> GifWriter::lzwUncompressed(const std::vector<std::uint8_t>& indices) {
    BitWriter bits;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % kLiteralsPerClear == 0) bits.put(kClear, 9);
        bits.put(indices[i], 9);
    }
    bits.put(kEnd, 9);
    return bits.finish();
}

bool GifWriter::write(const std::string& path, int width, int height,
                      const std::vector<std::uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF ||
        rgba.size() != static_cast<std::size_t>(width) * height * 4)
        return false;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = nearestIndex(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], rgba[i * 4 + 3]);

    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, width);
    put16(out, height);
    out.insert(out.end(), {0xF7, 0, 0});  // global table of 256 colours
    const std::vector<std::uint8_t> colours = palette();
    out.insert(out.end(), colours.begin(), colours.end());
    out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0, kTransparent, 0});  // transparency
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(0);  // no local table, not interlaced
    out.push_back(8);  // minimum code size
    const std::vector<std::uint8_t> data = lzwUncompressed(indices);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), data.begin() + static_cast<long>(at),
                   data.begin() + static_cast<long>(at + length));
    }
    out.push_back(0);     // end of the image data
    out.push_back(0x3B);  // trailer
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}
