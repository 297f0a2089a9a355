#include "gdi/glyph_cache.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessel::gdi {

namespace {

// Cost of a kept glyph beside its pixels, with allocators' headers.
constexpr std::size_t kGlyphBytes = sizeof(GlyphCache::Glyph) + 2 * 16;

// Rows and columns of `pixels` (w x h, `stride` apart) with any coverage.
RECT inkedBox(const unsigned char* pixels, int w, int h, int stride) {
    RECT box{w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            if (!row[x]) continue;
            box.left = std::min<LONG>(box.left, x);
            box.right = std::max<LONG>(box.right, x + 1);
            box.top = std::min<LONG>(box.top, y);
            box.bottom = y + 1;
        }
    }
    return box.left < box.right ? box : RECT{};
}

}  // namespace

GlyphCache::GlyphCache(cairo_scaled_font_t* font) : m_font(cairo_scaled_font_reference(font)) {}

GlyphCache::~GlyphCache() {
    cairo_scaled_font_destroy(m_font);
}

const GlyphCache::Glyph* GlyphCache::glyph(std::uint32_t id) {
    if (id >= kMostGlyphs) return nullptr;
    if (id < m_glyphs.size() && m_glyphs[id])
        return m_glyphs[id]->drawable ? m_glyphs[id].get() : nullptr;
    auto made = std::make_unique<Glyph>();
    made->drawable = rasterise(id, *made);
    const std::size_t size = kGlyphBytes + made->coverage.capacity();
    if (m_bytes + size > kBudget) {
        m_glyphs.clear();
        m_bytes = m_glyphs.capacity() * sizeof(m_glyphs[0]);
    }
    if (id >= m_glyphs.size()) {
        m_bytes -= m_glyphs.capacity() * sizeof(m_glyphs[0]);
        m_glyphs.resize(id + 1);
        m_bytes += m_glyphs.capacity() * sizeof(m_glyphs[0]);
    }
    m_bytes += size;
    m_glyphs[id] = std::move(made);
    return m_glyphs[id]->drawable ? m_glyphs[id].get() : nullptr;
}

// Draws the glyph alone at a whole-pixel origin, as cairo places it in a run,
// with a margin around its outline's extents wide enough for antialiasing.
bool GlyphCache::rasterise(std::uint32_t id, Glyph& out) const {
    cairo_glyph_t glyph{id, 0, 0};
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(m_font, &glyph, 1, &extents);
    if (cairo_scaled_font_status(m_font) != CAIRO_STATUS_SUCCESS) return false;
    if (extents.width <= 0 || extents.height <= 0) return true;  // nothing to draw
    if (!(extents.width < kLargestSide && extents.height < kLargestSide &&
          std::abs(extents.x_bearing) < kLargestSide && std::abs(extents.y_bearing) < kLargestSide))
        return false;
    for (int margin = 2; margin <= 8; margin *= 2) {
        const int left = static_cast<int>(std::floor(extents.x_bearing)) - margin;
        const int top = static_cast<int>(std::floor(extents.y_bearing)) - margin;
        const int right = static_cast<int>(std::ceil(extents.x_bearing + extents.width)) + margin;
        const int bottom = static_cast<int>(std::ceil(extents.y_bearing + extents.height)) + margin;
        const int w = right - left, h = bottom - top;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return false;
        }
        cairo_t* cr = cairo_create(surface);
        cairo_set_scaled_font(cr, m_font);
        glyph.x = -left;
        glyph.y = -top;
        cairo_show_glyphs(cr, &glyph, 1);
        const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* pixels = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const RECT ink = drawn ? inkedBox(pixels, w, h, stride) : RECT{};
        // Ink touching the border may have been cut: widen the margin.
        if (drawn && ink.right > ink.left &&
            (ink.left == 0 || ink.top == 0 || ink.right == w || ink.bottom == h)) {
            cairo_surface_destroy(surface);
            if (margin < 8) continue;
            return false;
        }
        if (ink.right > ink.left) {
            const int inkWidth = ink.right - ink.left;
            out.coverage.resize(static_cast<std::size_t>(inkWidth) * (ink.bottom - ink.top));
            for (int y = ink.top; y < ink.bottom; ++y)
                std::memcpy(&out.coverage[static_cast<std::size_t>(y - ink.top) * inkWidth],
                            pixels + static_cast<std::ptrdiff_t>(y) * stride + ink.left,
                            static_cast<std::size_t>(inkWidth));
            out.box = {ink.left + left, ink.top + top, ink.right + left, ink.bottom + top};
        }
        cairo_surface_destroy(surface);
        return drawn;
    }
    return false;
}

pixman_image_t* GlyphCache::mask(const std::vector<PlacedGlyph>& glyphs, const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return nullptr;
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8, w, h, nullptr, 0);
    if (image) addCoverage(glyphs, 0, image, area);
    return image;
}

void GlyphCache::addCoverage(std::span<const PlacedGlyph> glyphs, long long originX,
                             pixman_image_t* image, const RECT& area) {
    auto* bits = reinterpret_cast<std::uint8_t*>(pixman_image_get_data(image));
    const int stride = pixman_image_get_stride(image);
    for (const PlacedGlyph& placed : glyphs) {
        const Glyph* g = glyph(placed.glyph);
        if (!g || g->coverage.empty()) continue;
        const long long gx = originX + placed.x + g->box.left, gy = g->box.top;
        const int gw = g->box.right - g->box.left;
        const long long left = std::max<long long>(gx, area.left);
        const long long right = std::min<long long>(gx + gw, area.right);
        const long long top = std::max<long long>(gy, area.top);
        const long long bottom = std::min<long long>(gy + (g->box.bottom - g->box.top), area.bottom);
        for (long long y = top; y < bottom; ++y) {
            const std::uint8_t* from = &g->coverage[static_cast<std::size_t>((y - gy) * gw + (left - gx))];
            std::uint8_t* to = bits + (y - area.top) * stride + (left - area.left);
            for (long long x = left; x < right; ++x, ++from, ++to)
                *to = static_cast<std::uint8_t>(std::min(255, *to + *from));
        }
    }
}

}  // namespace tessel::gdi
