// Internal: PNG files decoded by libpng straight into 32-bit premultiplied
// B, G, R, A rows, one row at a time (premultiplied while the row is still in
// the cache), with no decoded copy of the whole image in between: the largest
// image taken is 256 MiB of pixels, and a second copy of it doubled the
// memory touched and the time. The declared size is checked before any row
// is allocated; corrupt or truncated files fail as libpng reports them.
//
//   tessel::drawing::PngReader reader([&](unsigned char* to, std::size_t n) { ... });
//   if (reader.read([&](int w, int h) { return PngReader::Rows{bits, stride}; })) ...
#pragma once

#include <cstddef>
#include <functional>

namespace tessel::drawing {

// A colour channel scaled by alpha, rounded to nearest: every decoder's
// premultiplying.
constexpr unsigned char premultiply(unsigned channel, unsigned alpha) {
    return static_cast<unsigned char>((channel * alpha + 127) / 255);
}

class PngReader {
public:
    // Up to `size` more bytes of the file into `to`; 0 at its end.
    using Source = std::function<std::size_t(unsigned char* to, std::size_t size)>;
    // Where the pixels of a width x height image go; null bits refuse it.
    struct Rows {
        unsigned char* bits = nullptr;
        std::ptrdiff_t stride = 0;
    };
    using Allocate = std::function<Rows(int width, int height)>;

    explicit PngReader(Source source) : m_source(std::move(source)) {}

    // False when the content is not a whole, valid PNG or its size is refused.
    bool read(const Allocate& allocate);

private:
    Source m_source;
};

}  // namespace tessel::drawing
