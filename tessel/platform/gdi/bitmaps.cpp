// Pixels and bitmaps.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include <tessel/platform/gdi.h>
#include "gdi/state.h"

using namespace tessel::gdi;

namespace {

unsigned char* pixelAt(cairo_surface_t* surface, int x, int y) {
    if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
        y >= cairo_image_surface_get_height(surface)) {
        return nullptr;
    }
    return cairo_image_surface_get_data(surface) +
           static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface) + x * 4;
}

// A bitmap of that size, or null when Cairo cannot hold it (more than 32767
// pixels a side, or more bytes than pixman's int offsets reach) or memory
// runs out.
std::shared_ptr<Bitmap> makeBitmap(int width, int height) {
    constexpr int kMaxSide = 32767;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        4LL * width * height > INT_MAX)
        return nullptr;
    auto bitmap = std::make_shared<Bitmap>(width, height);
    if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
    return bitmap;
}

}  // namespace

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    const POINT p = d->toSurface(x, y);
    if (!cairo_region_contains_point(d->effectiveClip(), p.x, p.y)) return CLR_INVALID;
    d->fillSurfaceRect({p.x, p.y, p.x + 1, p.y + 1}, color);
    return color & 0xFFFFFF;
}

// Reads the surface under the DC: clipping limits drawing, not looking, so a
// parent's DC shows what its children drew.
COLORREF GetPixel(HDC dc, int x, int y) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    const POINT p = d->toSurface(x, y);
    cairo_surface_flush(d->surface());
    const unsigned char* px = pixelAt(d->surface(), p.x, p.y);
    if (!px) return CLR_INVALID;
    std::uint32_t argb;
    std::memcpy(&argb, px, 4);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    const GdiLock lock;
    if (!findDC(dc)) return nullptr;
    auto bitmap = makeBitmap(width, height);
    if (!bitmap) return nullptr;
    return static_cast<HBITMAP>(state().handles.insert(std::move(bitmap)));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    const GdiLock lock;
    if (planes != 1 || bitsPerPixel != 32) return nullptr;
    auto bitmap = makeBitmap(width, height);
    if (!bitmap) return nullptr;
    if (bits) {
        unsigned char* data = cairo_image_surface_get_data(bitmap->surface);
        const std::ptrdiff_t stride = cairo_image_surface_get_stride(bitmap->surface);
        const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(width) * 4;
        for (std::ptrdiff_t row = 0; row < height; ++row) {
            std::memcpy(data + row * stride,
                        static_cast<const unsigned char*>(bits) + row * rowBytes,
                        static_cast<std::size_t>(rowBytes));
        }
        cairo_surface_mark_dirty(bitmap->surface);
    }
    return static_cast<HBITMAP>(state().handles.insert(std::move(bitmap)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    const GdiLock lock;
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    // Top-down only; INT_MIN has no positive height.
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biHeight >= 0 || h.biHeight == INT_MIN)
        return nullptr;
    HBITMAP bitmap = CreateBitmap(h.biWidth, -h.biHeight, 1, 32, nullptr);
    if (bitmap && bits) {
        *bits = cairo_image_surface_get_data(
            state().handles.find<Bitmap>(bitmap, ObjectType::Bitmap)->surface);
    }
    return bitmap;
}

BOOL GdiFlush() {
    return TRUE;
}
