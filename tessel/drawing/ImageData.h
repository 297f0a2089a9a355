// Invariant: either empty (no bitmap, zero size) or owning exactly one 32-bit
// premultiplied top-down DIB section of width() x height() pixels, decoded once.
//
//   tessel::drawing::ImageData image;
//   if (image.load("/usr/share/icons/ok.png"))
//       image.draw(dc, RECT{0, 0, 32, 32}, nullptr, true, 255);
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <type_traits>

#include <tessel/platform/win_types.h>

namespace tessel::drawing {

class PngReader;

class ImageData {
public:
    // What format() reports; loading gives only Gif, Jpeg or Png (Bmp and
    // Other remain for CxImage's type table).
    enum class Format { None, Bmp, Gif, Jpeg, Png, Other };

    // Larger images are refused before any pixel is decoded.
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 64LL * 1024 * 1024;

    ImageData() = default;
    ImageData(const ImageData& other);
    ImageData(ImageData&& other) noexcept;
    ImageData& operator=(const ImageData& other);
    ImageData& operator=(ImageData&& other) noexcept;
    ~ImageData() = default;

    // Only PNG, JPEG and GIF are read, the formats the toolkit names; the
    // format comes from the content's first bytes (magic numbers), not the
    // name, and only that format's decoder sees the content. Anything else
    // (BMP, TIFF, SVG, XPM...) is refused as a corrupt file is. PNG is
    // decoded straight into the image's pixels (PngReader), JPEG and GIF
    // through GdkPixbuf. On failure the image is empty.
    bool load(const std::string& utf8Path);
    bool loadFromMemory(const void* data, std::size_t size);

    bool valid() const { return m_bitmap != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Format format() const { return m_format; }
    void clear();
    // A fully transparent image of that size.
    bool create(int width, int height);

    // withAlpha false: every pixel of the copy is opaque, in its un-premultiplied colour.
    bool copy(const ImageData& source, bool withAlpha);
    bool grayscale();

    // Scales the whole image into `dest`; false when nothing was drawn.
    bool draw(HDC dc, const RECT& dest, const RECT* clip, bool smooth, BYTE constantAlpha) const;

    // Premultiplied B, G, R, A of one pixel; 0 outside the image.
    DWORD pixel(int x, int y) const;

private:
    struct BitmapDeleter {
        void operator()(HBITMAP bitmap) const;
    };
    using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

    class Decoder;

    bool allocate(int width, int height);
    bool finishDecoding(Decoder& decoder);
    bool readPng(PngReader& reader);
    BYTE* row(int y) const { return m_bits + static_cast<std::ptrdiff_t>(y) * m_stride; }
    // Takes decoded 8-bit RGB or un-premultiplied RGBA rows.
    bool fromRgba(const BYTE* pixels, int width, int height, int rowstride, int channels,
                  Format format);

    BitmapHandle m_bitmap;
    BYTE* m_bits = nullptr;  // the pixels of m_bitmap, valid while it lives
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    Format m_format = Format::None;
};

}  // namespace tessel::drawing
