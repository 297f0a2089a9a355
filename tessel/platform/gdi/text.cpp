#include "gdi/text.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include <tessel/platform/text_encoding.h>

namespace tessel::gdi {

namespace {

constexpr int kDefaultEmPixels = 13;

int ceilPixels(int pangoUnits) {
    return (pangoUnits + PANGO_SCALE - 1) / PANGO_SCALE;
}

// Text to show and the character positions of mnemonic underlines.
struct PrefixedText {
    std::wstring text;
    std::vector<std::size_t> underlined;
};

PrefixedText applyPrefix(std::wstring_view source, Prefix prefix, bool singleLine) {
    PrefixedText out;
    out.text.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        wchar_t c = source[i];
        if (singleLine && (c == L'\r' || c == L'\n')) c = L' ';
        if (c == L'&' && prefix != Prefix::None) {
            if (i + 1 >= source.size()) break;  // a trailing '&' marks nothing
            c = source[++i];
            if (c != L'&' && prefix == Prefix::Underline) out.underlined.push_back(out.text.size());
        }
        out.text.push_back(c);
    }
    return out;
}

// Byte offset in the UTF-8 form of `text` of character `index`.
guint byteOffset(const std::wstring& text, std::size_t index) {
    return static_cast<guint>(encodeUtf8(std::wstring_view(text).substr(0, index)).size());
}

}  // namespace

FontFace::FontFace(PangoFontDescription* description, bool underline, bool strikeOut,
                   std::uint64_t id)
    : m_description(description), m_underline(underline), m_strikeOut(strikeOut), m_id(id) {}

FontFace::~FontFace() {
    pango_font_description_free(m_description);
}

TextLayout::~TextLayout() {
    for (auto& line : m_lines) {
        if (line.mask) pixman_image_unref(line.mask);
    }
    if (m_layout) g_object_unref(m_layout);
}

TextEngine::TextEngine() : m_fontMap(pango_cairo_font_map_new()) {
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(m_fontMap), 96.0);
    m_context = pango_font_map_create_context(m_fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(m_context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(m_context, 96.0);
    pango_context_set_language(m_context, pango_language_from_string("en"));
}

TextEngine::~TextEngine() {
    m_cache.clear();
    m_faces.clear();
    g_object_unref(m_context);
    g_object_unref(m_fontMap);
}

std::shared_ptr<const FontFace> TextEngine::face(const LOGFONTW& logFont) {
    std::wstring faceName(logFont.lfFaceName,
                          std::find(logFont.lfFaceName, logFont.lfFaceName + LF_FACESIZE, L'\0'));
    std::string key(reinterpret_cast<const char*>(&logFont), offsetof(LOGFONTW, lfFaceName));
    key += encodeUtf8(faceName);
    if (auto found = m_faces.find(key); found != m_faces.end()) return found->second;

    PangoFontDescription* description = pango_font_description_new();
    const std::string family = faceName.empty() ? std::string("Sans") : encodeUtf8(faceName);
    pango_font_description_set_family(description, family.c_str());
    const int weight =
        logFont.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(logFont.lfWeight, 100, 1000);
    pango_font_description_set_weight(description, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(description,
                                     logFont.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

    int em = kDefaultEmPixels;
    if (logFont.lfHeight < 0) {
        em = -logFont.lfHeight;
    } else if (logFont.lfHeight > 0) {
        // A cell height: find the em size whose ascent + descent is that tall.
        pango_font_description_set_absolute_size(description, logFont.lfHeight * PANGO_SCALE);
        PangoFontMetrics* metrics = pango_context_get_metrics(m_context, description, nullptr);
        const int cell =
            pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics);
        pango_font_metrics_unref(metrics);
        if (cell > 0)
            em = std::max(1, static_cast<int>(std::lround(double(logFont.lfHeight) *
                                                          logFont.lfHeight * PANGO_SCALE / cell)));
    }
    em = std::clamp(em, 1, 16384);
    pango_font_description_set_absolute_size(description, em * PANGO_SCALE);

    auto made = std::make_shared<FontFace>(description, logFont.lfUnderline != 0,
                                           logFont.lfStrikeOut != 0, m_nextFaceId++);
    measure(*made);
    TEXTMETRICW& tm = made->m_metrics;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - em);
    tm.tmWeight = weight;
    tm.tmItalic = logFont.lfItalic ? 1 : 0;
    tm.tmUnderlined = logFont.lfUnderline ? 1 : 0;
    tm.tmStruckOut = logFont.lfStrikeOut ? 1 : 0;
    m_faces.emplace(std::move(key), made);
    return made;
}

void TextEngine::measure(FontFace& face) {
    PangoFontMetrics* metrics = pango_context_get_metrics(m_context, face.m_description, nullptr);
    TEXTMETRICW& tm = face.m_metrics;
    tm.tmAscent = ceilPixels(pango_font_metrics_get_ascent(metrics));
    tm.tmDescent = ceilPixels(pango_font_metrics_get_descent(metrics));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmExternalLeading =
        std::max(0, PANGO_PIXELS(pango_font_metrics_get_height(metrics)) - tm.tmHeight);
    tm.tmAveCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(metrics));
    pango_font_metrics_unref(metrics);
    tm.tmMaxCharWidth = std::max<LONG>(tm.tmAveCharWidth, extent(face, L"W").cx);
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmPitchAndFamily = 0x06;  // variable pitch, vector, TrueType
    tm.tmCharSet = DEFAULT_CHARSET;
}

std::size_t TextEngine::KeyHash::operator()(const Key& key) const {
    std::size_t h = std::hash<std::wstring>{}(key.text);
    auto mix = [&](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(key.face);
    mix(static_cast<std::size_t>(key.options.wrapWidth));
    mix((key.options.singleLine ? 1 : 0) | (key.options.endEllipsis ? 2 : 0) |
        (static_cast<int>(key.options.prefix) << 2));
    return h;
}

TextLayout& TextEngine::layout(const FontFace& face, std::wstring_view text,
                               const LayoutOptions& options) {
    Key key{face.id(), std::wstring(text), options};
    if (auto found = m_cache.find(key); found != m_cache.end()) {
        m_ages.splice(m_ages.begin(), m_ages, found->second.age);
        return *found->second.layout;
    }
    if (m_cache.size() >= kCacheLimit) {
        const Key* oldest = m_ages.back();
        m_ages.pop_back();
        m_cache.erase(*oldest);
    }
    auto built = build(face, text, options);
    auto [at, inserted] = m_cache.emplace(std::move(key), Entry{std::move(built), {}});
    m_ages.push_front(&at->first);
    at->second.age = m_ages.begin();
    return *at->second.layout;
}

std::unique_ptr<TextLayout> TextEngine::build(const FontFace& face, std::wstring_view text,
                                              const LayoutOptions& options) {
    auto result = std::make_unique<TextLayout>();
    if (text.empty()) return result;

    const PrefixedText shown = applyPrefix(text, options.prefix, options.singleLine);
    const std::string utf8 = encodeUtf8(shown.text);
    PangoLayout* layout = pango_layout_new(m_context);
    result->m_layout = layout;
    pango_layout_set_font_description(layout, face.description());
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    if (options.singleLine) pango_layout_set_single_paragraph_mode(layout, TRUE);
    if (options.wrapWidth >= 0 && (options.endEllipsis || !options.singleLine)) {
        pango_layout_set_width(layout, std::max(options.wrapWidth, 1) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
        if (options.endEllipsis) pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }

    PangoAttrList* attributes = pango_attr_list_new();
    if (face.underline())
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (face.strikeOut()) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    for (std::size_t index : shown.underlined) {
        PangoAttribute* underline = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        underline->start_index = byteOffset(shown.text, index);
        underline->end_index = byteOffset(shown.text, index + 1);
        pango_attr_list_insert(attributes, underline);
    }
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);

    for (GSList* item = pango_layout_get_lines_readonly(layout); item; item = item->next) {
        auto* line = static_cast<PangoLayoutLine*>(item->data);
        PangoRectangle logical;
        pango_layout_line_get_pixel_extents(line, nullptr, &logical);
        result->m_lines.push_back({logical.width, line});
        result->m_width = std::max(result->m_width, logical.width);
    }
    return result;
}

SIZE TextEngine::extent(const FontFace& face, std::wstring_view text) {
    const TextLayout& laid = layout(face, text, {-1, true, false, Prefix::None});
    return {laid.width(), face.metrics().tmHeight};
}

const TextLayout::Line& TextLayout::renderedLine(int index) {
    Line& line = m_lines[index];
    if (line.mask) return line;
    PangoRectangle ink, logical;
    pango_layout_line_get_pixel_extents(line.line, &ink, &logical);
    // Cover ink and logical box (underlines may sit outside either) plus a pixel of antialiasing.
    const int x0 = std::min(ink.x, logical.x) - 1;
    const int y0 = std::min(ink.y, logical.y) - 1;
    const int x1 = std::max(ink.x + ink.width, logical.x + logical.width) + 1;
    const int y1 = std::max(ink.y + ink.height, logical.y + logical.height) + 1;
    line.mask = pixman_image_create_bits(PIXMAN_a8, x1 - x0, y1 - y0, nullptr, 0);
    cairo_surface_t* target = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixman_image_get_data(line.mask)), CAIRO_FORMAT_A8,
        x1 - x0, y1 - y0, pixman_image_get_stride(line.mask));
    cairo_t* cr = cairo_create(target);
    cairo_move_to(cr, -x0, -y0);
    pango_cairo_show_layout_line(cr, line.line);
    cairo_destroy(cr);
    cairo_surface_finish(target);
    cairo_surface_destroy(target);
    line.maskX = x0;
    line.maskY = y0;
    return line;
}

}  // namespace tessel::gdi
