// Internal: A8 coverage of one font's glyphs, rasterised through the cairo
// scaled font Pango draws that font with, so that a run put together from
// them has the pixels Pango's renderer gives it.
//
// Cairo draws a run of glyphs at whole-pixel positions by adding their
// coverage (saturating at full) into one mask; mask() does the same.
//
// Invariant: bytes() <= kBudget between calls; a glyph that would pass it
// empties the cache first, so a reference from glyph() lasts until the next
// call.
//
//   GlyphCache cache(scaledFont);
//   pixman_image_t* mask = cache.mask(glyphs, area);  // pixels from the run's origin
#pragma once

#include <cairo.h>
#include <pixman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <tessel/platform/win_types.h>

namespace tessel::gdi {

// A glyph on the run's baseline, whole pixels from its left end; small, for
// cached labels are mostly these.
struct PlacedGlyph {
    std::uint16_t glyph;
    std::uint16_t x;
};

// Part of a long line's glyphs: their x counts from the piece's left end,
// which is `x` pixels from the line's.
struct GlyphPiece {
    long long x;
    std::uint32_t first;  // index of the piece's first glyph
};

class GlyphCache {
public:
    struct Glyph {
        RECT box{};                          // inked pixels, from the glyph's origin
        std::vector<std::uint8_t> coverage;  // box's rows, tightly packed
        bool drawable = true;                // false: too large, or cairo failed
    };

    static constexpr std::size_t kBudget = std::size_t{4} << 20;
    // Larger glyphs are left to Pango.
    static constexpr int kLargestSide = 256;
    static constexpr std::uint32_t kMostGlyphs = 65536;

    explicit GlyphCache(cairo_scaled_font_t* font);  // takes a reference
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // Null when the glyph is too large to keep, its id is past kMostGlyphs,
    // or cairo cannot draw it.
    const Glyph* glyph(std::uint32_t id);
    // New A8 image of `area` (pixels from the run's origin) with the glyphs'
    // coverage added in; null when the area is empty or memory ran out.
    pixman_image_t* mask(const std::vector<PlacedGlyph>& glyphs, const RECT& area);
    // Adds the coverage of `glyphs`, placed from `originX`, into `image`,
    // which covers `area` (pixels from the run's origin).
    void addCoverage(std::span<const PlacedGlyph> glyphs, long long originX, pixman_image_t* image,
                     const RECT& area);

    std::size_t bytes() const { return m_bytes; }

private:
    bool rasterise(std::uint32_t id, Glyph& out) const;

    cairo_scaled_font_t* m_font;
    std::vector<std::unique_ptr<Glyph>> m_glyphs;  // by glyph id; null: not drawn yet
    std::size_t m_bytes = 0;
};

}  // namespace tessel::gdi
