#include "gdi/simple_shaper.h"

#include <pango/pangocairo.h>

#include <climits>
#include <cstring>

#include <tessel/platform/text_encoding.h>

namespace tessel::gdi {

namespace {

// Code points with no combining marks, no joining, no right-to-left or
// numeric-context bidi class and no emoji presentation of their own.
bool simpleCodePoint(char32_t c) {
    if (c < 0x20) return false;  // controls and tabs have layout rules of their own
    if (c < 0x7F) return true;
    if (c < 0xA0) return false;
    if (c <= 0x24F) return c != 0xAD;  // a soft hyphen shows only at a break
    if (c >= 0x370 && c <= 0x3FF) return true;
    if (c >= 0x400 && c <= 0x52F) return c < 0x483 || c > 0x489;
    if (c >= 0x2010 && c <= 0x2027) return true;
    if (c >= 0x2030 && c <= 0x205E) return true;
    if (c >= 0x20A0 && c <= 0x20C0) return true;
    return c == 0x2122;
}

constexpr char32_t kCoverageLimit = 0x20C1;

constexpr guint8 kShapingFlags = PANGO_ANALYSIS_FLAG_CENTERED_BASELINE |
                                 PANGO_ANALYSIS_FLAG_IS_ELLIPSIS | PANGO_ANALYSIS_FLAG_NEED_HYPHEN;

// A character of each script, to learn how Pango itemizes that script.
constexpr const char* kSamples[] = {".", "a", "\xCE\xB1", "\xD0\xB4"};

gboolean takeFirst(PangoFontset*, PangoFont* font, gpointer first) {
    *static_cast<PangoFont**>(first) = font;
    return TRUE;
}

}  // namespace

SimpleShaper::SimpleShaper(PangoContext* context, const PangoFontDescription* description)
    : m_context(static_cast<PangoContext*>(g_object_ref(context))),
      m_description(pango_font_description_copy(description)),
      m_shaped(pango_glyph_string_new()) {
    const PangoAnalysis* latin = analysis(kLatin);
    if (!latin) return;
    cairo_scaled_font_t* scaled = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(m_font));
    if (!scaled || cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
        m_font = nullptr;
        return;
    }
    m_glyphs = std::make_unique<GlyphCache>(scaled);
}

SimpleShaper::~SimpleShaper() {
    for (Run& run : m_runs) {
        if (run.analysis.font) g_object_unref(run.analysis.font);
    }
    pango_glyph_string_free(m_shaped);
    pango_font_description_free(m_description);
    g_object_unref(m_context);
}

// The analysis Pango gives text of `script` alone, when that is one
// left-to-right item in the first font of its fontset, the Latin one's font.
const PangoAnalysis* SimpleShaper::analysis(Script script) {
    Run& run = m_runs[script];
    if (run.known) return run.usable ? &run.analysis : nullptr;
    run.known = true;
    if (script != kLatin && !m_font) return nullptr;

    const char* sample = kSamples[script];
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_desc_new(m_description));
    GList* items = pango_itemize(m_context, sample, 0, static_cast<int>(std::strlen(sample)),
                                 attributes, nullptr);
    pango_attr_list_unref(attributes);
    if (items && !items->next) {
        const auto* item = static_cast<PangoItem*>(items->data);
        run.analysis = item->analysis;
        // Pango's own bookkeeping of the item, not of how it is shaped.
        run.analysis.flags &= kShapingFlags;
        if (run.analysis.font) g_object_ref(run.analysis.font);
    }
    g_list_free_full(items, [](gpointer item) { pango_item_free(static_cast<PangoItem*>(item)); });

    PangoFont* font = run.analysis.font;
    if (!font || run.analysis.level != 0 || run.analysis.gravity != PANGO_GRAVITY_SOUTH ||
        run.analysis.flags != 0 || run.analysis.extra_attrs)
        return nullptr;
    if (script == kLatin) {
        m_font = font;
    } else if (font != m_font) {
        return nullptr;
    }
    // Pango gives each character the first font of the fontset that has it;
    // covered characters must come to this font even when it is not the
    // one the sample asked for.
    PangoFontset* fontset = pango_font_map_load_fontset(pango_context_get_font_map(m_context),
                                                        m_context, m_description,
                                                        run.analysis.language);
    PangoFont* first = nullptr;
    if (fontset) {
        pango_fontset_foreach(fontset, takeFirst, &first);
        g_object_unref(fontset);
    }
    if (first != font) {
        if (script == kLatin) m_font = nullptr;
        return nullptr;
    }
    run.usable = true;
    return &run.analysis;
}

bool SimpleShaper::covered(char32_t c) {
    if (c >= kCoverageLimit) return pango_font_has_char(m_font, c);
    if (m_coverage.empty()) m_coverage.resize(kCoverageLimit);
    std::int8_t& known = m_coverage[c];
    if (!known) known = pango_font_has_char(m_font, c) ? 1 : -1;
    return known > 0;
}

bool SimpleShaper::shape(std::wstring_view text, std::vector<PlacedGlyph>& glyphs, int& width) {
    if (!m_font || text.empty() || text.size() > kLongest) return false;
    Script script = kCommon;
    for (const wchar_t wide : text) {
        const auto c = static_cast<char32_t>(wide);
        if (!simpleCodePoint(c)) return false;
        Script own;
        switch (g_unichar_get_script(c)) {
        case G_UNICODE_SCRIPT_COMMON: own = kCommon; break;
        case G_UNICODE_SCRIPT_LATIN: own = kLatin; break;
        case G_UNICODE_SCRIPT_GREEK: own = kGreek; break;
        case G_UNICODE_SCRIPT_CYRILLIC: own = kCyrillic; break;
        default: return false;
        }
        // Pango starts a new item where the script changes.
        if (own != kCommon) {
            if (script != kCommon && script != own) return false;
            script = own;
        }
        if (!covered(c)) return false;
    }
    const PangoAnalysis* shapedAs = analysis(script);
    if (!shapedAs) return false;

    m_utf8 = encodeUtf8(text);
    const int length = static_cast<int>(m_utf8.size());
    const PangoShapeFlags flags = pango_context_get_round_glyph_positions(m_context)
                                      ? PANGO_SHAPE_ROUND_POSITIONS
                                      : PANGO_SHAPE_NONE;
    pango_shape_with_flags(m_utf8.data(), length, m_utf8.data(), length, shapedAs, m_shaped, flags);

    glyphs.clear();
    glyphs.reserve(static_cast<std::size_t>(m_shaped->num_glyphs));
    long long x = 0;
    for (int i = 0; i < m_shaped->num_glyphs; ++i) {
        const PangoGlyphInfo& info = m_shaped->glyphs[i];
        const PangoGlyphGeometry& at = info.geometry;
        // Cairo rounds fractional glyph positions its own way: only whole
        // pixels are certain to land where Pango's renderer puts them.
        if ((info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) || at.width % PANGO_SCALE ||
            at.x_offset % PANGO_SCALE || at.y_offset % PANGO_SCALE)
            return false;
        if (info.glyph != PANGO_GLYPH_EMPTY)
            glyphs.push_back({info.glyph, static_cast<std::int32_t>((x + at.x_offset) / PANGO_SCALE),
                              at.y_offset / PANGO_SCALE});
        x += at.width;
    }
    if (x < 0 || x / PANGO_SCALE > INT_MAX / 2) return false;
    width = static_cast<int>(x / PANGO_SCALE);
    return true;
}

}  // namespace tessel::gdi
