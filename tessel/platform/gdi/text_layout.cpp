#include "gdi/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace tessel::gdi {

namespace {

// Pango's allocations beside the glyphs, for the byte estimate: a run's glyph
// item, item and glyph string with their list nodes; a line and its node.
constexpr std::size_t kRunBytes =
    sizeof(PangoGlyphItem) + sizeof(PangoItem) + sizeof(PangoGlyphString) + 2 * sizeof(GSList);
constexpr std::size_t kLineBytes =
    sizeof(PangoLayoutLine) + sizeof(TextLayout::Line) + sizeof(GSList);
constexpr std::size_t kGlyphBytes = sizeof(PangoGlyphInfo) + sizeof(gint);  // glyph, cluster
constexpr std::size_t kLayoutBytes = sizeof(TextLayout) + 512;              // PangoLayout itself
constexpr std::size_t kAllocationBytes = 16;  // malloc's header and rounding

long long pixelCount(const RECT& r) {
    return static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
}

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Draws the glyphs of `line` that reach pixels [left, right) from the line's
// left, with the line's left at the current point, positioning in 64 bits:
// Pango's own drawing sums a line's advances in int and loses a glyph's place
// past about two million pixels.
void showGlyphsWithin(cairo_t* cr, PangoLayoutLine* line, long long left, long long right) {
    double lineX, baselineY;
    cairo_get_current_point(cr, &lineX, &baselineY);
    const long long from = left * PANGO_SCALE, to = right * PANGO_SCALE;
    long long runX = 0;
    for (GSList* item = line->runs; item; item = item->next) {
        const auto* run = static_cast<PangoGlyphItem*>(item->data);
        const PangoGlyphString* glyphs = run->glyphs;
        long long x = runX, firstX = 0;
        int first = -1, last = -1;
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            const long long next = x + glyphs->glyphs[i].geometry.width;
            if (next >= from && x <= to) {
                if (first < 0) first = i, firstX = x;
                last = i;
            }
            x = next;
        }
        runX = x;
        if (first < 0) continue;
        PangoGlyphString shown = *glyphs;  // a view: shares the run's arrays
        shown.glyphs += first;
        shown.log_clusters += first;
        shown.num_glyphs = last - first + 1;
        cairo_move_to(cr, lineX + static_cast<double>(firstX) / PANGO_SCALE, baselineY);
        pango_cairo_show_glyph_string(cr, run->item->analysis.font, &shown);
    }
}

std::size_t bytesOf(pixman_image_t* mask) {
    return static_cast<std::size_t>(pixman_image_get_stride(mask)) *
           static_cast<std::size_t>(pixman_image_get_height(mask));
}

}  // namespace

TextLayout::~TextLayout() {
    for (auto& line : m_lines) {
        if (line.mask) pixman_image_unref(line.mask);
    }
    if (m_layout) g_object_unref(m_layout);
}

void TextLayout::adopt(PangoLayout* layout) {
    m_layout = layout;
    const auto characters = static_cast<std::size_t>(pango_layout_get_character_count(layout));
    m_layoutBytes = kLayoutBytes + std::strlen(pango_layout_get_text(layout)) +
                    (characters + 1) * sizeof(PangoLogAttr);
    for (GSList* item = pango_layout_get_lines_readonly(layout); item; item = item->next) {
        auto* line = static_cast<PangoLayoutLine*>(item->data);
        PangoRectangle ink, logical;
        pango_layout_line_get_pixel_extents(line, &ink, &logical);
        // Ink and logical box together (underlines may sit outside either),
        // and a pixel of antialiasing around.
        RECT box{std::min(ink.x, logical.x) - 1, std::min(ink.y, logical.y) - 1,
                 std::max(ink.x + ink.width, logical.x + logical.width) + 1,
                 std::max(ink.y + ink.height, logical.y + logical.height) + 1};
        long long advance = 0;  // Pango's extents are int and wrap on a very long line
        for (GSList* run = line->runs; run; run = run->next) {
            const auto* glyphs = static_cast<PangoGlyphItem*>(run->data)->glyphs;
            for (int i = 0; i < glyphs->num_glyphs; ++i)
                advance += glyphs->glyphs[i].geometry.width;
            m_layoutBytes += kRunBytes + static_cast<std::size_t>(glyphs->num_glyphs) * kGlyphBytes;
        }
        const long long advancePixels = (advance + PANGO_SCALE - 1) / PANGO_SCALE + 1;
        if (advancePixels > box.right)
            box.right = static_cast<LONG>(std::min<long long>(advancePixels, INT_MAX));
        // Pango's width wraps too; past a million pixels the advances give it.
        const long long advanceWidth = (advance + PANGO_SCALE / 2) / PANGO_SCALE;
        const int width = advanceWidth > (INT_MAX / PANGO_SCALE) / 2
                              ? static_cast<int>(std::min<long long>(advanceWidth, INT_MAX))
                              : logical.width;
        m_lines.push_back({width, line, box});
        m_width = std::max(m_width, width);
        m_layoutBytes += kLineBytes;
    }
}

bool TextLayout::adoptGlyphs(std::vector<PlacedGlyph> glyphs, std::vector<GlyphPiece> pieces,
                             int width, GlyphCache& cache) {
    m_glyphs = std::move(glyphs);
    m_pieces = std::move(pieces);
    // What the glyphs ink; coverage outside it is none, so it needs no margin.
    RECT box{};
    for (std::size_t piece = 0; piece < std::max<std::size_t>(m_pieces.size(), 1); ++piece) {
        const long long origin = m_pieces.empty() ? 0 : m_pieces[piece].x;
        for (const PlacedGlyph& placed : pieceGlyphs(piece)) {
            const GlyphCache::Glyph* glyph = cache.glyph(placed.glyph);
            if (!glyph) {
                m_glyphs.clear();
                m_pieces.clear();
                return false;
            }
            if (glyph->coverage.empty()) continue;
            const auto x = static_cast<LONG>(origin + placed.x);
            const RECT inked{glyph->box.left + x, glyph->box.top, glyph->box.right + x,
                             glyph->box.bottom};
            if (box.right <= box.left) {
                box = inked;
                continue;
            }
            box = {std::min(box.left, inked.left), std::min(box.top, inked.top),
                   std::max(box.right, inked.right), std::max(box.bottom, inked.bottom)};
        }
    }
    m_glyphCache = &cache;
    m_glyphs.shrink_to_fit();
    m_pieces.shrink_to_fit();
    m_lines.reserve(1);
    m_lines.push_back({width, nullptr, box});
    m_width = width;
    // The layout and its arrays, each with an allocator's header.
    m_layoutBytes = sizeof(TextLayout) + sizeof(Line) +
                    m_glyphs.capacity() * sizeof(PlacedGlyph) +
                    m_pieces.capacity() * sizeof(GlyphPiece) + 3 * kAllocationBytes;
    return true;
}

std::span<const PlacedGlyph> TextLayout::pieceGlyphs(std::size_t piece) const {
    if (m_pieces.empty()) return m_glyphs;
    const std::size_t end = piece + 1 < m_pieces.size() ? m_pieces[piece + 1].first : m_glyphs.size();
    return std::span<const PlacedGlyph>(m_glyphs).subspan(m_pieces[piece].first,
                                                          end - m_pieces[piece].first);
}

pixman_image_t* TextLayout::coverage(int index, const RECT& wanted, RECT* box) {
    if (m_glyphCache) {
        *box = wanted;
        if (m_pieces.empty()) return m_glyphCache->mask(m_glyphs, wanted);
        const int w = wanted.right - wanted.left, h = wanted.bottom - wanted.top;
        if (w <= 0 || h <= 0) return nullptr;
        pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8, w, h, nullptr, 0);
        if (!image) return nullptr;
        // A glyph the cache draws inks less than two of its largest sides
        // from its origin (bearing and extent).
        const long long reach = 2LL * GlyphCache::kLargestSide;
        auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), wanted.left - reach,
                                      [](long long x, const GlyphPiece& p) { return x < p.x; });
        if (piece != m_pieces.begin()) --piece;
        for (; piece != m_pieces.end() && piece->x <= wanted.right + reach; ++piece) {
            const auto at = static_cast<std::size_t>(piece - m_pieces.begin());
            m_glyphCache->addCoverage(pieceGlyphs(at), piece->x, image, wanted);
        }
        return image;
    }
    const Line& line = renderedLine(index, wanted);
    if (!line.mask) return nullptr;
    *box = line.maskBox;
    return pixman_image_ref(line.mask);
}

std::size_t TextLayout::lineStart(int index) const {
    const PangoLayoutLine* line = m_lines[index].line;
    if (!m_layout || !line) return 0;
    const char* text = pango_layout_get_text(m_layout);
    return static_cast<std::size_t>(g_utf8_pointer_to_offset(text, text + line->start_index));
}

int TextLayout::maskCount() const {
    return static_cast<int>(
        std::count_if(m_lines.begin(), m_lines.end(), [](const Line& l) { return l.mask; }));
}

const TextLayout::Line& TextLayout::renderedLine(int index, const RECT& wanted) {
    Line& line = m_lines[index];
    if (line.mask && contains(line.maskBox, wanted)) return line;
    // An ordinary line is rasterised whole, once; a huge one only where it shows.
    render(line, pixelCount(line.box) <= kWholeLineMaskBytes ? line.box : wanted);
    return line;
}

void TextLayout::render(Line& line, const RECT& area) {
    if (line.mask) {
        m_maskBytes -= bytesOf(line.mask);
        pixman_image_unref(line.mask);
        line.mask = nullptr;
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, width, height, nullptr, 0);
    if (!mask) return;
    cairo_surface_t* target = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixman_image_get_data(mask)), CAIRO_FORMAT_A8, width,
        height, pixman_image_get_stride(mask));
    const bool drawn = cairo_surface_status(target) == CAIRO_STATUS_SUCCESS;
    if (drawn) {
        cairo_t* cr = cairo_create(target);
        cairo_move_to(cr, -area.left, -area.top);
        if (m_plain && pixelCount(line.box) > kWholeLineMaskBytes) {
            // Ink may overhang a glyph's advance by up to about the line's height.
            const long long overhang = line.box.bottom - line.box.top;
            showGlyphsWithin(cr, line.line, area.left - overhang, area.right + overhang);
        } else {
            pango_cairo_show_layout_line(cr, line.line);
        }
        cairo_destroy(cr);
        cairo_surface_finish(target);
    }
    cairo_surface_destroy(target);
    if (!drawn) {
        pixman_image_unref(mask);
        return;
    }
    line.mask = mask;
    line.maskBox = area;
    m_maskBytes += bytesOf(mask);
}

}  // namespace tessel::gdi
