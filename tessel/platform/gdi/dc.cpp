#include "gdi/dc.h"

#include <algorithm>

namespace tessel::gdi {

RegionPtr makeRegion(cairo_region_t* region) {
    return RegionPtr(region, cairo_region_destroy);
}

RegionPtr makeRegion(const RECT& rect) {
    const cairo_rectangle_int_t r{rect.left, rect.top, std::max(0, rect.right - rect.left),
                                  std::max(0, rect.bottom - rect.top)};
    return makeRegion(cairo_region_create_rectangle(&r));
}

namespace {

// The whole of `surface`; empty for one that failed to allocate (no pixels).
cairo_region_t* surfaceRegion(cairo_surface_t* surface) {
    const cairo_rectangle_int_t all{0, 0, cairo_image_surface_get_width(surface),
                                    cairo_image_surface_get_height(surface)};
    return cairo_region_create_rectangle(&all);
}

// `color` as an opaque premultiplied ARGB32 pixel.
uint32_t opaquePixel(COLORREF color) {
    return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace

Bitmap::Bitmap(int w, int h)
    : Object(ObjectType::Bitmap),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(w, 1), std::max(h, 1))),
      width(std::max(w, 1)),
      height(std::max(h, 1)) {}

Bitmap::~Bitmap() {
    cairo_surface_destroy(surface);
}

DeviceContext::DeviceContext(Kind kind, cairo_surface_t* surface, POINT origin,
                             const cairo_region_t* visible)
    : Object(kind == Kind::Memory ? ObjectType::MemDC : ObjectType::DC),
      m_kind(kind),
      m_surface(cairo_surface_reference(surface)),
      m_origin(origin),
      m_visible(surfaceRegion(surface)) {
    // Whatever the creator asks for, nothing outside the surface is touched.
    if (visible) cairo_region_intersect(m_visible, visible);
}

DeviceContext::~DeviceContext() {
    if (m_directDrew) cairo_surface_mark_dirty(m_surface);
    if (m_pixman) pixman_image_unref(m_pixman);
    for (const Solid& solid : m_solids)
        if (solid.image) pixman_image_unref(solid.image);
    if (m_cairo) cairo_destroy(m_cairo);
    if (m_effective) cairo_region_destroy(m_effective);
    cairo_region_destroy(m_visible);
    cairo_surface_destroy(m_surface);
    if (auto* b = bitmap()) --b->selections;
}

void DeviceContext::setBitmap(std::shared_ptr<Object> object, HGDIOBJ handle) {
    if (auto* old = bitmap()) --old->selections;
    m_bitmap = std::move(object);
    m_bitmapHandle = handle;
    Bitmap* b = bitmap();
    ++b->selections;
    if (m_directDrew) cairo_surface_mark_dirty(m_surface), m_directDrew = false;
    if (m_cairo) cairo_destroy(m_cairo), m_cairo = nullptr;
    if (m_pixman) pixman_image_unref(m_pixman), m_pixman = nullptr;
    m_cairoDrew = false;
    cairo_surface_destroy(m_surface);
    m_surface = cairo_surface_reference(b->surface);
    cairo_region_destroy(m_visible);
    m_visible = surfaceRegion(m_surface);
    clipChanged();
}

int DeviceContext::save() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

// level > 0: the state saved by that SaveDC; level < 0: relative to the newest.
bool DeviceContext::restore(int level) {
    const int depth = static_cast<int>(m_saved.size());
    const int target = level < 0 ? depth + 1 + level : level;
    if (target < 1 || target > depth) return false;
    // The clip is shared, never changed in place: the same one needs no new effective clip.
    const bool sameClip = m_state.userClip == m_saved[target - 1].userClip;
    m_state = std::move(m_saved[target - 1]);
    m_saved.resize(target - 1);
    if (!sameClip) clipChanged();
    return true;
}

// Saturates far outside any surface instead of overflowing.
POINT DeviceContext::toSurface(int x, int y) const {
    auto clamp = [](long long v) {
        return static_cast<LONG>(std::clamp(v, -(1LL << 30), 1LL << 30));
    };
    return {clamp(0LL + x + m_origin.x + m_state.viewportOrg.x),
            clamp(0LL + y + m_origin.y + m_state.viewportOrg.y)};
}

RECT DeviceContext::toSurface(const RECT& logical) const {
    const POINT topLeft = toSurface(logical.left, logical.top);
    const POINT bottomRight = toSurface(logical.right, logical.bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void DeviceContext::clipChanged() {
    if (m_effective) cairo_region_destroy(m_effective), m_effective = nullptr;
    m_clipApplied = false;
}

const cairo_region_t* DeviceContext::effectiveClip() const {
    if (!m_effective) {
        m_effective = cairo_region_copy(m_visible);
        if (m_state.userClip) cairo_region_intersect(m_effective, m_state.userClip.get());
    }
    return m_effective;
}

int DeviceContext::regionKind(const cairo_region_t* region) {
    const int n = cairo_region_num_rectangles(region);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int DeviceContext::intersectClip(const RECT& logical) {
    RECT r = toSurface(logical);
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    RegionPtr clip = makeRegion(r);
    // Without a user clip, the whole visible area is the starting point.
    cairo_region_intersect(clip.get(), m_state.userClip ? m_state.userClip.get() : m_visible);
    m_state.userClip = std::move(clip);
    clipChanged();
    return regionKind(effectiveClip());
}

int DeviceContext::excludeClip(const RECT& logical) {
    RECT r = toSurface(logical);
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    RegionPtr clip =
        makeRegion(cairo_region_copy(m_state.userClip ? m_state.userClip.get() : m_visible));
    const cairo_rectangle_int_t cut{r.left, r.top, r.right - r.left, r.bottom - r.top};
    cairo_region_subtract_rectangle(clip.get(), &cut);
    m_state.userClip = std::move(clip);
    clipChanged();
    return regionKind(effectiveClip());
}

int DeviceContext::selectClip(const cairo_region_t* surfaceRegion) {
    m_state.userClip = surfaceRegion ? makeRegion(cairo_region_copy(surfaceRegion)) : nullptr;
    clipChanged();
    return regionKind(effectiveClip());
}

int DeviceContext::clipBox(RECT* logical) const {
    const cairo_region_t* clip = effectiveClip();
    cairo_rectangle_int_t box;
    cairo_region_get_extents(clip, &box);
    const POINT shift = toSurface(0, 0);
    if (logical) {
        *logical = {box.x - shift.x, box.y - shift.y, box.x + box.width - shift.x,
                    box.y + box.height - shift.y};
    }
    return regionKind(clip);
}

cairo_t* DeviceContext::cairo() {
    if (!m_cairo) {
        m_cairo = cairo_create(m_surface);
        cairo_set_antialias(m_cairo, CAIRO_ANTIALIAS_NONE);
        m_clipApplied = false;
    }
    if (m_directDrew) {
        cairo_surface_mark_dirty(m_surface);
        m_directDrew = false;
    }
    m_cairoDrew = true;
    if (!m_clipApplied) {
        cairo_reset_clip(m_cairo);
        const cairo_region_t* clip = effectiveClip();
        for (int i = 0, n = cairo_region_num_rectangles(clip); i < n; ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(clip, i, &r);
            cairo_rectangle(m_cairo, r.x, r.y, r.width, r.height);
        }
        cairo_clip(m_cairo);
        m_clipApplied = true;
    }
    return m_cairo;
}

pixman_image_t* DeviceContext::pixmanTarget() {
    if (!m_pixman && cairo_image_surface_get_data(m_surface)) {
        m_pixman = pixman_image_create_bits(
            PIXMAN_a8r8g8b8, cairo_image_surface_get_width(m_surface),
            cairo_image_surface_get_height(m_surface),
            reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface)),
            cairo_image_surface_get_stride(m_surface));
    }
    return m_pixman;
}

void DeviceContext::beginDirectAccess() {
    if (m_cairoDrew) {
        cairo_surface_flush(m_surface);
        m_cairoDrew = false;
    }
    m_directDrew = true;
}

template <class Piece>
void DeviceContext::forEachClipped(const RECT& area, Piece piece) {
    const cairo_region_t* clip = effectiveClip();
    for (int i = 0, n = cairo_region_num_rectangles(clip); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(clip, i, &c);
        const RECT r{std::max<LONG>(area.left, c.x), std::max<LONG>(area.top, c.y),
                     std::min<LONG>(area.right, c.x + c.width),
                     std::min<LONG>(area.bottom, c.y + c.height)};
        if (r.right > r.left && r.bottom > r.top) piece(r);
    }
}

void DeviceContext::fillSurfaceRect(const RECT& rect, COLORREF color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    pixman_image_t* target = pixmanTarget();
    if (!target) return;
    beginDirectAccess();
    const uint32_t pixel = opaquePixel(color);
    uint32_t* const pixels = pixman_image_get_data(target);
    const int stride = pixman_image_get_stride(target) / 4;
    forEachClipped(rect, [&](const RECT& r) {
        // Boxes are mostly a few pixels: pixman's set-up would cost more than the fill.
        if ((0LL + r.right - r.left) * (r.bottom - r.top) <= kSmallArea) {
            for (LONG y = r.top; y < r.bottom; ++y)
                std::fill(pixels + std::ptrdiff_t{y} * stride + r.left,
                          pixels + std::ptrdiff_t{y} * stride + r.right, pixel);
            return;
        }
        pixman_fill(pixels, stride, 32, r.left, r.top, r.right - r.left, r.bottom - r.top, pixel);
    });
}

void DeviceContext::invertHalftone(const RECT& rect) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    pixman_image_t* target = pixmanTarget();
    if (!target) return;
    beginDirectAccess();
    uint32_t* const pixels = pixman_image_get_data(target);
    const std::ptrdiff_t stride = pixman_image_get_stride(target) / 4;
    constexpr uint32_t kColourBits = 0x00FFFFFFu;
    forEachClipped(rect, [&](const RECT& r) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            // The brush is aligned to the device origin, not to the surface.
            const LONG first = r.left + ((r.left - m_origin.x + y - m_origin.y) & 1);
            uint32_t* const row = pixels + y * stride;
            for (LONG x = first; x < r.right; x += 2)
                row[x] ^= kColourBits;
        }
    });
}

void DeviceContext::compositeMask(pixman_image_t* mask, int x, int y, COLORREF color,
                                  const RECT* limit) {
    if (!mask) return;
    RECT area{x, y, x + pixman_image_get_width(mask), y + pixman_image_get_height(mask)};
    if (limit) {
        area = {std::max(area.left, limit->left), std::max(area.top, limit->top),
                std::min(area.right, limit->right), std::min(area.bottom, limit->bottom)};
    }
    if (area.right <= area.left || area.bottom <= area.top) return;
    pixman_image_t* target = pixmanTarget();
    if (!target) return;
    const bool direct = pixman_image_get_format(mask) == PIXMAN_a8;
    pixman_image_t* solid = nullptr;
    beginDirectAccess();
    forEachClipped(area, [&](const RECT& r) {
        if (direct && (0LL + r.right - r.left) * (r.bottom - r.top) <= kSmallArea)
            return blendSmall(mask, r.left - x, r.top - y, color, r);
        if (!solid && !(solid = solidImage(color))) return;
        pixman_image_composite32(PIXMAN_OP_OVER, solid, mask, target, 0, 0, r.left - x, r.top - y,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top);
    });
}

namespace {

// Two channels at once (bits 0-7 and 16-23) times an 8-bit value, each rounded
// as pixman rounds, so both paths give the same pixels.
inline uint32_t multiplyPair(uint32_t pair, uint32_t a) {
    const uint32_t t = pair * a + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// The sum of two channel pairs, each channel saturated at 255.
inline uint32_t addPair(uint32_t x, uint32_t y) {
    const uint32_t t = x + y;
    return (t | (0x01000100u - ((t >> 8) & 0x00FF00FFu))) & 0x00FF00FFu;
}

}  // namespace

// OVER of an opaque colour through A8 coverage, as pixman computes it: each
// channel d * (255 - m) + c * m, both rounded, the sum saturated.
void DeviceContext::blendSmall(pixman_image_t* mask, int maskX, int maskY, COLORREF color,
                               const RECT& r) {
    const uint8_t* const coverage = reinterpret_cast<const uint8_t*>(pixman_image_get_data(mask));
    const int maskStride = pixman_image_get_stride(mask);
    uint32_t* const pixels = pixman_image_get_data(m_pixman);
    const int stride = pixman_image_get_stride(m_pixman) / 4;
    const uint32_t opaque = opaquePixel(color);
    const uint32_t sourceRedBlue = opaque & 0x00FF00FFu;
    const uint32_t sourceAlphaGreen = (opaque >> 8) & 0x00FF00FFu;
    for (LONG row = r.top; row < r.bottom; ++row) {
        const uint8_t* m = coverage + std::ptrdiff_t{maskY + row - r.top} * maskStride + maskX;
        uint32_t* d = pixels + std::ptrdiff_t{row} * stride + r.left;
        for (LONG column = r.left; column < r.right; ++column, ++m, ++d) {
            const uint32_t a = *m;
            if (a == 0) continue;
            if (a == 0xFF) {
                *d = opaque;
                continue;
            }
            const uint32_t redBlue = addPair(multiplyPair(*d & 0x00FF00FFu, 0xFF - a),
                                             multiplyPair(sourceRedBlue, a));
            const uint32_t alphaGreen = addPair(multiplyPair((*d >> 8) & 0x00FF00FFu, 0xFF - a),
                                                multiplyPair(sourceAlphaGreen, a));
            *d = redBlue | (alphaGreen << 8);
        }
    }
}

pixman_image_t* DeviceContext::solidImage(COLORREF color) {
    color &= 0xFFFFFF;
    for (const Solid& solid : m_solids)
        if (solid.image && solid.color == color) return solid.image;
    // A box alternates its fill and pen colours: the older of the two makes way.
    Solid& slot = m_solids[m_nextSolid];
    m_nextSolid = (m_nextSolid + 1) % m_solids.size();
    if (slot.image) pixman_image_unref(slot.image);
    const pixman_color_t source{static_cast<uint16_t>(GetRValue(color) * 257),
                                static_cast<uint16_t>(GetGValue(color) * 257),
                                static_cast<uint16_t>(GetBValue(color) * 257), 0xFFFF};
    slot = {pixman_image_create_solid_fill(&source), color};
    return slot.image;
}

}  // namespace tessel::gdi
