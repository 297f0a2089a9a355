#include <tessel/drawing/ImageData.h>

#include <tessel/drawing/Shades.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "PngReader.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

namespace tessel::drawing {

namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Loader = std::unique_ptr<GdkPixbufLoader, ObjectUnref>;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

bool acceptableSize(int width, int height) {
    return width > 0 && height > 0 && width <= ImageData::kMaxSide &&
           height <= ImageData::kMaxSide &&
           static_cast<long long>(width) * height <= ImageData::kMaxPixels;
}

ImageData::Format formatNamed(GdkPixbufFormat* format) {
    if (!format) return ImageData::Format::Other;
    // The name is a fresh copy that we must free.
    const std::unique_ptr<gchar, decltype(&g_free)> copy(gdk_pixbuf_format_get_name(format),
                                                         &g_free);
    const std::string_view name = copy ? copy.get() : "";
    if (name == "png") return ImageData::Format::Png;
    if (name == "jpeg") return ImageData::Format::Jpeg;
    if (name == "gif") return ImageData::Format::Gif;
    if (name == "bmp") return ImageData::Format::Bmp;
    return ImageData::Format::Other;
}

// The formats the toolkit names (".png", ".jpg", ".gif"), told by their
// first bytes, and the GdkPixbuf module that decodes each. Anything else
// (BMP, TIFF, SVG, XPM... whatever loaders happen to be installed) is refused
// before a decoder sees it, as a corrupt file is.
struct KnownFormat {
    std::string_view magic;
    const char* module;
    ImageData::Format format;
};
constexpr KnownFormat kKnownFormats[] = {
    {std::string_view("\x89PNG\r\n\x1a\n", 8), "png", ImageData::Format::Png},
    {std::string_view("\xff\xd8\xff", 3), "jpeg", ImageData::Format::Jpeg},
    {std::string_view("GIF87a", 6), "gif", ImageData::Format::Gif},
    {std::string_view("GIF89a", 6), "gif", ImageData::Format::Gif},
};
// Enough bytes to tell every known format.
constexpr std::size_t kMagicLength = 8;

// The known format of content starting with `head`, or null when it is none of them.
const KnownFormat* knownFormat(const void* head, std::size_t size) {
    const std::string_view bytes(static_cast<const char*>(head), size);
    for (const KnownFormat& format : kKnownFormats) {
        if (bytes.substr(0, format.magic.size()) == format.magic) return &format;
    }
    return nullptr;
}

// Pixels of a large image are written once, in order: in 2 MiB pages
// rather than 4 KiB ones the first writes fault 512 times less often, and
// that was most of the time of loading the largest image. Only a hint.
void adviseHugePages(void* bits, std::size_t bytes) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto from = (reinterpret_cast<std::uintptr_t>(bits) + kHugePage - 1) & ~(kHugePage - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(bits) + bytes) & ~(kHugePage - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

BYTE unpremultiply(BYTE channel, BYTE alpha) {
    if (alpha == 0) return 0;
    const int value = (channel * 255 + alpha / 2) / alpha;
    return static_cast<BYTE>(value > 255 ? 255 : value);
}

}  // namespace

// Feeds bytes to GdkPixbuf in pieces, stopping the decoder as soon as the
// header declares a size we refuse, before it allocates the pixels.
class ImageData::Decoder {
public:
    // Only the module named decodes: content that another loader would take
    // fails here too.
    explicit Decoder(const char* module)
        : m_loader(gdk_pixbuf_loader_new_with_type(module, nullptr)) {
        if (!m_loader) {
            m_failed = m_closed = true;
            return;
        }
        g_signal_connect(m_loader.get(), "size-prepared", G_CALLBACK(&Decoder::sizePrepared), this);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() {
        // A loader must be closed before release, even after a failure.
        if (!m_closed) gdk_pixbuf_loader_close(m_loader.get(), nullptr);
    }

    bool write(const void* data, std::size_t size) {
        if (m_failed || size == 0) return !m_failed;
        GError* error = nullptr;
        if (!gdk_pixbuf_loader_write(m_loader.get(), static_cast<const guchar*>(data), size,
                                     &error) ||
            m_refused) {
            m_failed = true;
        }
        if (error) g_error_free(error);
        return !m_failed;
    }

    // The decoded image, owned by the loader; null when decoding failed.
    GdkPixbuf* finish() {
        if (!m_loader) return nullptr;
        GError* error = nullptr;
        const bool closed = gdk_pixbuf_loader_close(m_loader.get(), &error);
        m_closed = true;
        if (error) g_error_free(error);
        if (m_failed || m_refused || !closed) return nullptr;
        return gdk_pixbuf_loader_get_pixbuf(m_loader.get());
    }

    ImageData::Format format() const {
        return m_loader ? formatNamed(gdk_pixbuf_loader_get_format(m_loader.get()))
                        : ImageData::Format::None;
    }

private:
    static void sizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer self) {
        if (acceptableSize(width, height)) return;
        static_cast<Decoder*>(self)->m_refused = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
    }

    Loader m_loader;
    bool m_refused = false;
    bool m_failed = false;
    bool m_closed = false;
};

void ImageData::BitmapDeleter::operator()(HBITMAP bitmap) const {
    DeleteObject(bitmap);
}

ImageData::ImageData(const ImageData& other) {
    copy(other, true);
}

ImageData::ImageData(ImageData&& other) noexcept
    : m_bitmap(std::move(other.m_bitmap)),
      m_bits(std::exchange(other.m_bits, nullptr)),
      m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)),
      m_stride(std::exchange(other.m_stride, 0)),
      m_format(std::exchange(other.m_format, Format::None)) {}

ImageData& ImageData::operator=(const ImageData& other) {
    if (this != &other) copy(other, true);
    return *this;
}

ImageData& ImageData::operator=(ImageData&& other) noexcept {
    if (this != &other) {
        m_bitmap = std::move(other.m_bitmap);
        m_bits = std::exchange(other.m_bits, nullptr);
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_stride = std::exchange(other.m_stride, 0);
        m_format = std::exchange(other.m_format, Format::None);
    }
    return *this;
}

void ImageData::clear() {
    m_bitmap.reset();
    m_bits = nullptr;
    m_width = m_height = m_stride = 0;
    m_format = Format::None;
}

bool ImageData::allocate(int width, int height) {
    clear();
    if (!acceptableSize(width, height)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    BITMAP described{};
    if (!bitmap || !bits || GetObject(bitmap.get(), sizeof(BITMAP), &described) != sizeof(BITMAP))
        return false;
    m_bitmap = std::move(bitmap);
    m_bits = static_cast<BYTE*>(bits);
    m_width = width;
    m_height = height;
    m_stride = described.bmWidthBytes;
    adviseHugePages(m_bits, static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(height));
    return true;
}

bool ImageData::create(int width, int height) {
    if (!allocate(width, height)) return false;
    for (int y = 0; y < height; ++y)
        std::memset(row(y), 0, static_cast<std::size_t>(width) * 4);
    return true;
}

bool ImageData::fromRgba(const BYTE* pixels, int width, int height, int rowstride, int channels,
                         Format format) {
    if (!pixels || (channels != 3 && channels != 4) || !allocate(width, height)) return false;
    for (int y = 0; y < height; ++y) {
        const BYTE* in = pixels + static_cast<std::ptrdiff_t>(y) * rowstride;
        BYTE* out = row(y);
        for (int x = 0; x < width; ++x, in += channels, out += 4) {
            const BYTE alpha = channels == 4 ? in[3] : 255;
            out[0] = premultiply(in[2], alpha);
            out[1] = premultiply(in[1], alpha);
            out[2] = premultiply(in[0], alpha);
            out[3] = alpha;
        }
    }
    m_format = format;
    return true;
}

bool ImageData::finishDecoding(Decoder& decoder) {
    GdkPixbuf* pixbuf = decoder.finish();
    if (!pixbuf || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 ||
        gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB)
        return false;
    return fromRgba(gdk_pixbuf_read_pixels(pixbuf), gdk_pixbuf_get_width(pixbuf),
                    gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_get_rowstride(pixbuf),
                    gdk_pixbuf_get_n_channels(pixbuf), decoder.format());
}

bool ImageData::readPng(PngReader& reader) {
    const bool read = reader.read([this](int width, int height) {
        return allocate(width, height) ? PngReader::Rows{m_bits, m_stride} : PngReader::Rows{};
    });
    if (!read) {
        clear();
        return false;
    }
    m_format = Format::Png;
    return true;
}

bool ImageData::loadFromMemory(const void* data, std::size_t size) {
    clear();
    if (!data || size == 0) return false;
    const KnownFormat* known = knownFormat(data, size);
    if (!known) return false;
    if (known->format == Format::Png) {
        const auto* bytes = static_cast<const BYTE*>(data);
        std::size_t at = 0;
        PngReader reader([&](unsigned char* to, std::size_t wanted) {
            const std::size_t n = std::min(wanted, size - at);
            std::memcpy(to, bytes + at, n);
            at += n;
            return n;
        });
        return readPng(reader);
    }
    Decoder decoder(known->module);
    return decoder.write(data, size) && finishDecoding(decoder);
}

bool ImageData::load(const std::string& utf8Path) {
    clear();
    if (utf8Path.empty()) return false;
    File file(std::fopen(utf8Path.c_str(), "rb"));
    if (!file) return false;
    // The first bytes name the format; nothing else is handed to a decoder.
    BYTE chunk[16 * 1024];
    std::size_t read = std::fread(chunk, 1, sizeof chunk, file.get());
    const KnownFormat* known = knownFormat(chunk, std::min(read, kMagicLength));
    if (!known) return false;
    if (known->format == Format::Png) {
        std::rewind(file.get());
        PngReader reader([&](unsigned char* to, std::size_t wanted) {
            return std::fread(to, 1, wanted, file.get());
        });
        return readPng(reader);
    }
    int width = 0, height = 0;
    // The header alone tells a refused size, before the file is read whole.
    if (formatNamed(gdk_pixbuf_get_file_info(utf8Path.c_str(), &width, &height)) != known->format ||
        !acceptableSize(width, height))
        return false;
    Decoder decoder(known->module);
    for (; read > 0; read = std::fread(chunk, 1, sizeof chunk, file.get())) {
        if (!decoder.write(chunk, read)) return false;
    }
    return !std::ferror(file.get()) && finishDecoding(decoder);
}

bool ImageData::copy(const ImageData& source, bool withAlpha) {
    if (this == &source) {
        if (withAlpha || !valid()) return valid();
        ImageData snapshot(source);
        return copy(snapshot, false);
    }
    if (!source.valid()) {
        clear();
        return false;
    }
    if (!allocate(source.m_width, source.m_height)) return false;
    for (int y = 0; y < m_height; ++y) {
        const BYTE* in = source.row(y);
        BYTE* out = row(y);
        if (withAlpha) {
            std::memcpy(out, in, static_cast<std::size_t>(m_width) * 4);
            continue;
        }
        for (int x = 0; x < m_width; ++x, in += 4, out += 4) {
            for (int c = 0; c < 3; ++c)
                out[c] = unpremultiply(in[c], in[3]);
            out[3] = 255;
        }
    }
    m_format = source.m_format;
    return true;
}

bool ImageData::grayscale() {
    if (!valid()) return false;
    for (int y = 0; y < m_height; ++y) {
        BYTE* p = row(y);
        for (int x = 0; x < m_width; ++x, p += 4) {
            const BYTE alpha = p[3];
            const BYTE grey = luma(unpremultiply(p[2], alpha), unpremultiply(p[1], alpha),
                                   unpremultiply(p[0], alpha));
            p[0] = p[1] = p[2] = premultiply(grey, alpha);
        }
    }
    return true;
}

DWORD ImageData::pixel(int x, int y) const {
    if (!valid() || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    const BYTE* p = row(y) + static_cast<std::ptrdiff_t>(x) * 4;
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 |
           static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24;
}

bool ImageData::draw(HDC dc, const RECT& dest, const RECT* clip, bool smooth,
                     BYTE constantAlpha) const {
    if (!valid() || !dc || dest.right <= dest.left || dest.bottom <= dest.top) return false;
    // Clipped away entirely (a scrolled host draws every component): done, as
    // GDI would report it, without setting up the blend.
    RECT visible;
    if (GetClipBox(dc, &visible) == NULLREGION || !IntersectRect(&visible, &visible, &dest) ||
        (clip && !IntersectRect(&visible, &visible, clip)))
        return true;
    const HDC source = CreateCompatibleDC(dc);
    if (!source) return false;
    const HGDIOBJ previousBitmap = SelectObject(source, m_bitmap.get());
    const int saved = clip ? SaveDC(dc) : 0;
    const bool clipped = !clip || (saved && IntersectClipRect(dc, clip->left, clip->top,
                                                              clip->right, clip->bottom) != ERROR);
    const int previousMode = SetStretchBltMode(dc, smooth ? HALFTONE : COLORONCOLOR);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    const bool drawn = previousBitmap && clipped &&
                       AlphaBlend(dc, dest.left, dest.top, dest.right - dest.left,
                                  dest.bottom - dest.top, source, 0, 0, m_width, m_height, blend);
    if (previousMode) SetStretchBltMode(dc, previousMode);
    if (saved) RestoreDC(dc, saved);
    if (previousBitmap) SelectObject(source, previousBitmap);
    DeleteDC(source);
    return drawn;
}

}  // namespace tessel::drawing
