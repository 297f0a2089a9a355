// Internal: a piece of text laid out, either by Pango, with an A8 coverage
// mask per line made when the line is first drawn, or, for a short simple
// label, as one run of placed glyphs whose coverage comes from the font's
// glyph cache each time it is drawn (such an entry stays a few hundred bytes);
// a very long simple line is such a run in pieces, and only the pieces that
// reach the area drawn are looked at.
//
// Invariant: a Pango line's mask, when there is one, covers maskBox, which
// lies within the line's box; a line larger than kWholeLineMaskBytes only ever
// has the part last drawn rasterised, so a million-character line costs a mask
// the size of what shows, not of the line. Such a slice of a plain line (no
// underline or strike-out) is drawn from the glyphs in it alone; Pango,
// drawing a whole line, loses glyph positions past about two million pixels.
//
//   RECT box;
//   if (pixman_image_t* mask = layout.coverage(0, wantedInLine, &box)) {
//       compositeAt(mask, left + box.left, baseline + box.top);
//       pixman_image_unref(mask);
//   }
#pragma once

#include <pango/pango.h>
#include <pixman.h>

#include <cstddef>
#include <span>
#include <vector>

#include <tessel/platform/win_types.h>

#include "gdi/glyph_cache.h"

namespace tessel::gdi {

// How '&' is treated, from the DT_ flags.
enum class Prefix { Underline, None, Hide };

struct LayoutOptions {
    int wrapWidth = -1;  // pixels; -1: break only at newlines
    bool singleLine = false;
    bool endEllipsis = false;  // with wrapWidth as the width to fit
    Prefix prefix = Prefix::None;
    bool operator==(const LayoutOptions&) const = default;
};

// Line boxes are relative to the layout's top-left; lines are lineHeight
// apart, with the baseline at the font's ascent.
class TextLayout {
public:
    // Rectangles of a line are in pixels from (line left, baseline).
    struct Line {
        int width;                       // logical width
        PangoLayoutLine* line;           // owned by the layout; null for a glyph run
        RECT box;                        // all the line may cover: ink, logical box, antialiasing
        pixman_image_t* mask = nullptr;  // A8 coverage of maskBox
        RECT maskBox{};
    };

    // Above this a line's mask covers only the part being drawn (bytes of A8).
    static constexpr long long kWholeLineMaskBytes = 256 * 1024;

    TextLayout() = default;
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    int width() const { return m_width; }  // widest line
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    const std::vector<Line>& lines() const { return m_lines; }
    // Characters of the laid-out text before line `index`.
    std::size_t lineStart(int index) const;
    // A reference to coverage of line `index` over at least `wanted` (within
    // the line's box), with the box it covers; null when memory ran out.
    pixman_image_t* coverage(int index, const RECT& wanted, RECT* box);
    // Laid out without Pango: one line of glyphs from a glyph cache.
    bool simple() const { return m_glyphCache != nullptr; }

    // Memory held: the Pango layout (estimated from its parts) and the masks.
    std::size_t bytes() const { return m_layoutBytes + m_maskBytes; }
    int maskCount() const;

private:
    friend class TextEngine;
    void adopt(PangoLayout* layout);  // takes the reference
    // `glyphs` from SimpleShaper, drawn from `cache`, which outlives the
    // layout; false, adopting nothing, when the cache cannot draw one.
    // `pieces`: those of a long line, or none.
    bool adoptGlyphs(std::vector<PlacedGlyph> glyphs, std::vector<GlyphPiece> pieces, int width,
                     GlyphCache& cache);
    std::span<const PlacedGlyph> pieceGlyphs(std::size_t piece) const;
    const Line& renderedLine(int index, const RECT& wanted);
    void render(Line& line, const RECT& area);

    PangoLayout* m_layout = nullptr;
    std::vector<Line> m_lines;
    int m_width = 0;
    std::size_t m_layoutBytes = 0;
    std::size_t m_maskBytes = 0;
    bool m_plain = true;  // no decorations: slices may be drawn glyph by glyph
    GlyphCache* m_glyphCache = nullptr;
    std::vector<PlacedGlyph> m_glyphs;
    std::vector<GlyphPiece> m_pieces;
};

}  // namespace tessel::gdi
