// PNG files written byte by byte: the signature, then chunks of length, type,
// data and the CRC over type and data, all big-endian. No image library, so
// the benchmarks use it too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace png_chunks {

inline std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

inline void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void appendChunk(std::vector<std::uint8_t>& png, const char* type,
                        const std::vector<std::uint8_t>& data) {
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typed = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian(png, crc32(png.data() + typed, png.size() - typed));
}

// The signature and an IHDR chunk declaring width x height.
inline std::vector<std::uint8_t> pngStart(std::uint32_t width, std::uint32_t height,
                                          std::uint8_t depth, std::uint8_t colour,
                                          std::uint8_t interlace = 0) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}, header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.insert(header.end(), {depth, colour, 0, 0, interlace});
    appendChunk(png, "IHDR", header);
    return png;
}

}  // namespace png_chunks
