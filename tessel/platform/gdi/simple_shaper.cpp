#include "gdi/simple_shaper.h"

#include <hb-ot.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include <tessel/platform/text_encoding.h>

namespace tessel::gdi {

namespace {

static_assert(sizeof(wchar_t) == sizeof(std::uint32_t), "text is UTF-32");

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

// A character of each script, to learn how Pango itemizes that script, and
// text with kerned pairs to check direct shaping against Pango's.
constexpr const char* kSamples[] = {".", "a", "\xCE\xB1", "\xD0\xB4"};
constexpr const wchar_t* kChecks[] = {
    L"(1.5) - [7,4]", L"AVATAR Wave, To fly! 0.7 ffi",
    L"\u0391\u03A5\u03A4\u039F\u039A\u0399\u039D\u0397\u03A4\u039F \u03B1\u03B2\u03B3\u03B4",
    L"\u0410\u0412\u0422\u041E\u041C\u0410\u0422 \u0413\u0434\u0435\u0451"};

gboolean takeFirst(PangoFontset*, PangoFont* font, gpointer first) {
    *static_cast<PangoFont**>(first) = font;
    return TRUE;
}

bool hasColourGlyphs(hb_font_t* font) {
    hb_face_t* face = hb_font_get_face(font);
    return hb_ot_color_has_layers(face) || hb_ot_color_has_png(face) || hb_ot_color_has_svg(face);
}

}  // namespace

SimpleShaper::SimpleShaper(PangoContext* context, const PangoFontDescription* description)
    : m_context(static_cast<PangoContext*>(g_object_ref(context))),
      m_description(pango_font_description_copy(description)),
      m_buffer(hb_buffer_create()),
      m_shaped(pango_glyph_string_new()) {
    if (!run(kLatin)) return;
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
    hb_buffer_destroy(m_buffer);
    pango_font_description_free(m_description);
    g_object_unref(m_context);
}

// How Pango shapes text of `script` alone, when that is one left-to-right
// item in the first font of its fontset, the Latin one's font.
const SimpleShaper::Run* SimpleShaper::run(Script script) {
    Run& run = m_runs[script];
    if (run.known) return run.usable ? &run : nullptr;
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
    hb_font_t* hbFont = pango_font_get_hb_font(font);
    if (first != font || !hbFont || hasColourGlyphs(hbFont)) {
        if (script == kLatin) m_font = nullptr;
        return nullptr;
    }

    run.script = static_cast<hb_script_t>(g_unicode_script_to_iso15924(static_cast<GUnicodeScript>(run.analysis.script)));
    run.language = hb_language_from_string(pango_language_to_string(run.analysis.language), -1);
    hb_feature_t features[32];
    guint count = 0;
    pango_font_get_features(font, features, G_N_ELEMENTS(features), &count);
    run.features.assign(features, features + count);
    run.direct = sameAsPango(run, kChecks[script]);
    run.usable = true;
    return &run;
}

bool SimpleShaper::covered(char32_t c) {
    if (c >= kCoverageLimit) return pango_font_has_char(m_font, c);
    if (m_coverage.empty()) m_coverage.resize(kCoverageLimit);
    std::int8_t& known = m_coverage[c];
    if (!known) known = pango_font_has_char(m_font, c) ? 1 : -1;
    return known > 0;
}

// The buffer as Pango sets it up for a whole paragraph that is one item.
bool SimpleShaper::shapeDirectly(const Run& run, std::wstring_view text, bool begins, bool ends) {
    hb_buffer_clear_contents(m_buffer);
    hb_buffer_set_direction(m_buffer, HB_DIRECTION_LTR);
    hb_buffer_set_script(m_buffer, run.script);
    hb_buffer_set_language(m_buffer, run.language);
    hb_buffer_set_cluster_level(m_buffer, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_CHARACTERS);
    hb_buffer_set_flags(m_buffer, static_cast<hb_buffer_flags_t>((begins ? HB_BUFFER_FLAG_BOT : 0) |
                                                                 (ends ? HB_BUFFER_FLAG_EOT : 0)));
    hb_buffer_set_invisible_glyph(m_buffer, PANGO_GLYPH_EMPTY);
    const int length = static_cast<int>(text.size());
    hb_buffer_add_utf32(m_buffer, reinterpret_cast<const std::uint32_t*>(text.data()), length, 0,
                        length);
    hb_shape(pango_font_get_hb_font(run.analysis.font), m_buffer, run.features.data(),
             static_cast<unsigned>(run.features.size()));

    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(m_buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(m_buffer, nullptr);
    if (count == 0 || count > INT_MAX) return false;
    pango_glyph_string_set_size(m_shaped, static_cast<int>(count));
    for (unsigned i = 0; i < count; ++i) {
        PangoGlyphInfo& glyph = m_shaped->glyphs[i];
        glyph.glyph = infos[i].codepoint;
        m_shaped->log_clusters[i] = static_cast<int>(infos[i].cluster);
        PangoGlyphGeometry& at = glyph.geometry;
        at.width = positions[i].x_advance;
        at.x_offset = positions[i].x_offset;
        at.y_offset = -positions[i].y_offset;
        if (at.width < 0) {
            at.width = -at.width;
            at.x_offset += at.width;
        }
        // Hinted metrics round the advance alone; offsets that need rounding
        // are refused below, so hinting need not be known.
        at.width = PANGO_UNITS_ROUND(at.width);
    }
    return true;
}

void SimpleShaper::shapeThroughPango(const Run& run, std::wstring_view text) {
    m_utf8 = encodeUtf8(text);
    const int length = static_cast<int>(m_utf8.size());
    const PangoShapeFlags flags = pango_context_get_round_glyph_positions(m_context)
                                      ? PANGO_SHAPE_ROUND_POSITIONS
                                      : PANGO_SHAPE_NONE;
    pango_shape_with_flags(m_utf8.data(), length, m_utf8.data(), length, &run.analysis, m_shaped,
                           flags);
}

bool SimpleShaper::sameAsPango(const Run& run, std::wstring_view sample) {
    if (!pango_context_get_round_glyph_positions(m_context)) return false;
    shapeThroughPango(run, sample);
    PangoGlyphString* pango = pango_glyph_string_copy(m_shaped);
    bool same = shapeDirectly(run, sample) && m_shaped->num_glyphs == pango->num_glyphs;
    for (int i = 0; same && i < pango->num_glyphs; ++i) {
        const PangoGlyphInfo &a = m_shaped->glyphs[i], &b = pango->glyphs[i];
        same = a.glyph == b.glyph && a.geometry.width == b.geometry.width &&
               a.geometry.x_offset == b.geometry.x_offset &&
               a.geometry.y_offset == b.geometry.y_offset;
    }
    pango_glyph_string_free(pango);
    return same;
}

const SimpleShaper::Run* SimpleShaper::runFor(std::wstring_view text) {
    Script script = kCommon;
    for (const wchar_t wide : text) {
        const auto c = static_cast<char32_t>(wide);
        if (!simpleCodePoint(c)) return nullptr;
        Script own;
        switch (g_unichar_get_script(c)) {
        case G_UNICODE_SCRIPT_COMMON: own = kCommon; break;
        case G_UNICODE_SCRIPT_LATIN: own = kLatin; break;
        case G_UNICODE_SCRIPT_GREEK: own = kGreek; break;
        case G_UNICODE_SCRIPT_CYRILLIC: own = kCyrillic; break;
        default: return nullptr;
        }
        // Pango starts a new item where the script changes.
        if (own != kCommon) {
            if (script != kCommon && script != own) return nullptr;
            script = own;
        }
        if (!covered(c)) return nullptr;
    }
    return run(script);
}

bool SimpleShaper::place(int from, int to, std::vector<PlacedGlyph>& glyphs, long long& x) const {
    for (int i = from; i < to; ++i) {
        const PangoGlyphInfo& info = m_shaped->glyphs[i];
        const PangoGlyphGeometry& at = info.geometry;
        // Cairo rounds fractional glyph positions its own way: only whole
        // pixels are certain to land where Pango's renderer puts them.
        // Raised or lowered glyphs belong to marks, which are left to Pango.
        if ((info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) || at.width % PANGO_SCALE ||
            at.x_offset % PANGO_SCALE || at.y_offset)
            return false;
        if (info.glyph != PANGO_GLYPH_EMPTY) {
            const long long left = (x + at.x_offset) / PANGO_SCALE;
            if (info.glyph > UINT16_MAX || left < 0 || left > UINT16_MAX) return false;
            glyphs.push_back({static_cast<std::uint16_t>(info.glyph), static_cast<std::uint16_t>(left)});
        }
        x += at.width;
    }
    return true;
}

bool SimpleShaper::shape(std::wstring_view text, std::vector<PlacedGlyph>& glyphs, int& width) {
    if (!m_font || text.empty() || text.size() > kLongest) return false;
    const Run* shapedAs = runFor(text);
    if (!shapedAs) return false;
    if (shapedAs->direct) {
        if (!shapeDirectly(*shapedAs, text)) return false;
    } else {
        shapeThroughPango(*shapedAs, text);
    }
    glyphs.clear();
    glyphs.reserve(static_cast<std::size_t>(m_shaped->num_glyphs));
    long long x = 0;
    if (!place(0, m_shaped->num_glyphs, glyphs, x)) return false;
    if (x < 0 || x / PANGO_SCALE > INT_MAX / 2) return false;
    width = static_cast<int>(x / PANGO_SCALE);
    return true;
}

bool SimpleShaper::shapeLong(std::wstring_view text, std::vector<PlacedGlyph>& glyphs,
                             std::vector<GlyphPiece>& pieces, int& width) {
    constexpr std::size_t kContext = 8;
    if (!m_font || text.size() <= kLongest || text.size() > UINT32_MAX) return false;
    const Run* shapedAs = runFor(text);
    if (!shapedAs || !shapedAs->direct) return false;
    glyphs.clear();
    pieces.clear();
    long long lineX = 0;  // Pango units
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = std::min(at + kLongest, text.size());
        if (end < text.size()) {
            std::size_t space = end;
            while (space > at && text[space - 1] != L' ')
                --space;
            if (space > at) end = space;
        }
        const std::size_t from = at > kContext ? at - kContext : 0;
        const std::size_t to = std::min(end + kContext, text.size());
        if (!shapeDirectly(*shapedAs, text.substr(from, to - from), from == 0, to == text.size()))
            return false;
        // Clusters rise left to right: the piece's own glyphs lie together.
        const auto first = static_cast<int>(at - from), last = static_cast<int>(end - from);
        int begin = 0;
        while (begin < m_shaped->num_glyphs && m_shaped->log_clusters[begin] < first)
            ++begin;
        int finish = begin;
        while (finish < m_shaped->num_glyphs && m_shaped->log_clusters[finish] < last)
            ++finish;
        pieces.push_back({lineX / PANGO_SCALE, static_cast<std::uint32_t>(glyphs.size())});
        long long x = 0;
        if (!place(begin, finish, glyphs, x)) return false;
        lineX += x;
        if (lineX / PANGO_SCALE > INT_MAX / 2) return false;
        at = end;
    }
    width = static_cast<int>(lineX / PANGO_SCALE);
    return true;
}

}  // namespace tessel::gdi
