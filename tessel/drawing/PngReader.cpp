#include "PngReader.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>

#include <tessel/drawing/ImageData.h>

namespace tessel::drawing {

namespace {

// libpng reports errors by longjmp: from here on nothing may need a destructor.

void readFromSource(png_structp png, png_bytep data, png_size_t length) {
    const auto& source = *static_cast<const PngReader::Source*>(png_get_io_ptr(png));
    for (png_size_t done = 0; done < length;) {
        const std::size_t got = source(data + done, length - done);
        if (got == 0) png_error(png, "truncated");
        done += got;
    }
}

// Quietly: a bad file is the caller's answer, not a message on stderr.
[[noreturn]] void fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// B, G, R, A in place to premultiplied, rounding as the other formats do.
void premultiplyRow(unsigned char* row, int width) {
    for (int x = 0; x < width; ++x, row += 4) {
        const unsigned alpha = row[3];
        if (alpha == 255) continue;
        for (int c = 0; c < 3; ++c)
            row[c] = premultiply(row[c], alpha);
    }
}

// Everything after the header, in a frame of its own under the setjmp.
bool readImage(png_structp png, png_infop info, const PngReader::Allocate& allocate) {
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (width == 0 || height == 0 || width > ImageData::kMaxSide ||
        height > ImageData::kMaxSide ||
        std::uint64_t{width} * height > static_cast<std::uint64_t>(ImageData::kMaxPixels))
        return false;
    const bool alpha = (colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    // The decoding GdkPixbuf gives: palette, low depths and tRNS expanded,
    // 16 bits cut to 8, grey widened to RGB; no gamma correction.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) return false;

    const PngReader::Rows rows = allocate(static_cast<int>(width), static_cast<int>(height));
    if (!rows.bits) return false;
    for (int pass = 0; pass < passes; ++pass) {
        const bool last = pass == passes - 1;
        for (png_uint_32 y = 0; y < height; ++y) {
            unsigned char* row = rows.bits + static_cast<std::ptrdiff_t>(y) * rows.stride;
            png_read_row(png, row, nullptr);
            if (alpha && last) premultiplyRow(row, static_cast<int>(width));
        }
    }
    png_read_end(png, nullptr);
    return true;
}

bool readWithin(png_structp png, png_infop info, const PngReader::Allocate& allocate) {
    if (setjmp(png_jmpbuf(png))) return false;
    return readImage(png, info, allocate);
}

}  // namespace

bool PngReader::read(const Allocate& allocate) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    bool done = false;
    if (info) {
        png_set_read_fn(png, &m_source, readFromSource);
        png_set_user_limits(png, ImageData::kMaxSide, ImageData::kMaxSide);
        done = readWithin(png, info, allocate);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return done;
}

}  // namespace tessel::drawing
