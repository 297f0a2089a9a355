#include "gdi/text.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>

#include <tessel/platform/text_encoding.h>

namespace tessel::gdi {

namespace {

constexpr int kDefaultEmPixels = 13;
constexpr int kLargestSimpleEm = 96;
// Text up to this many characters is laid out whole; longer text a paragraph
// at a time, and a wrapped paragraph in pieces of about kPiece characters.
constexpr std::size_t kWholeText = 16384;
constexpr std::size_t kPiece = 2048;

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

// Where Pango ends a paragraph: "\r\n", '\n', '\r' or U+2029; npos when none.
std::size_t paragraphEnd(std::wstring_view text, std::size_t from) {
    return text.find_first_of(L"\r\n\u2029", from);
}

std::size_t delimiterLength(std::wstring_view text, std::size_t at) {
    return text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n' ? 2 : 1;
}

// Right-to-left letters and bidi controls: a piece of a paragraph holding
// them might be ordered unlike the whole paragraph.
bool mayReorder(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t wide) {
        const auto c = static_cast<char32_t>(wide);
        return (c >= 0x590 && c <= 0x8FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
               (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
               (c >= 0x1E800 && c <= 0x1EFFF) || c == 0x61C || c == 0x200E || c == 0x200F ||
               (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    });
}

// The end of the piece of `paragraph` from `at`: just after the last space
// within `length` characters, else after the next space, else the end.
std::size_t pieceEnd(std::wstring_view paragraph, std::size_t at, std::size_t length) {
    if (paragraph.size() - at <= length) return paragraph.size();
    for (std::size_t i = at + length; i > at; --i) {
        if (paragraph[i - 1] == L' ') return i;
    }
    const std::size_t space = paragraph.find(L' ', at + length);
    return space == std::wstring_view::npos ? paragraph.size() : space + 1;
}

// Characters of `source` that applyPrefix turns into the first `shown` ones.
std::size_t sourceLength(std::wstring_view source, std::size_t shown, Prefix prefix) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < shown && i < source.size(); ++n)
        i += source[i] == L'&' && prefix != Prefix::None ? 2 : 1;
    return std::min(i, source.size());
}

}  // namespace

FontFace::FontFace(PangoFontDescription* description, bool underline, bool strikeOut,
                   std::uint64_t id)
    : m_description(description), m_underline(underline), m_strikeOut(strikeOut), m_id(id) {}

FontFace::~FontFace() {
    pango_font_description_free(m_description);
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
    // Decorated text and large type are left to Pango.
    if (!made->underline() && !made->strikeOut() && em <= kLargestSimpleEm)
        made->m_shaper = std::make_unique<SimpleShaper>(m_context, description);
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

TextCache::Lease TextEngine::layout(const FontFace& face, std::wstring_view text,
                                    const LayoutOptions& options) {
    TextCache::Key key{face.id(), std::wstring(text), options};
    if (TextCache::Lease cached = m_cache.find(key)) return cached;
    return m_cache.keep(std::move(key), build(face, text, options));
}

std::unique_ptr<TextLayout> TextEngine::build(const FontFace& face, std::wstring_view text,
                                              const LayoutOptions& options) {
    auto result = std::make_unique<TextLayout>();
    if (text.empty()) return result;

    // Text that applyPrefix leaves as it is need not be copied first.
    const bool asGiven = text.find_first_of(L"&\r\n") == std::wstring_view::npos;
    if (asGiven && buildSimple(face, text, options, *result)) return result;
    const PrefixedText shown = applyPrefix(text, options.prefix, options.singleLine);
    if (!asGiven && shown.underlined.empty() && buildSimple(face, shown.text, options, *result))
        return result;
    const std::string utf8 = encodeUtf8(shown.text);
    PangoLayout* layout = pango_layout_new(m_context);
    pango_layout_set_font_description(layout, face.description());
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    if (options.singleLine) pango_layout_set_single_paragraph_mode(layout, TRUE);
    if (options.wrapWidth >= 0 && (options.endEllipsis || !options.singleLine)) {
        pango_layout_set_width(
            layout, std::clamp(options.wrapWidth, 1, INT_MAX / PANGO_SCALE) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
        if (options.endEllipsis) pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }

    PangoAttrList* attributes = pango_attr_list_new();
    if (face.underline())
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (face.strikeOut()) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    // Byte offsets counted on from one mnemonic to the next: text full of '&'
    // stays linear.
    const std::wstring_view wide(shown.text);
    std::size_t counted = 0, offset = 0;
    for (std::size_t index : shown.underlined) {
        offset += encodeUtf8(wide.substr(counted, index - counted)).size();
        const std::size_t length = encodeUtf8(wide.substr(index, 1)).size();
        PangoAttribute* underline = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        underline->start_index = static_cast<guint>(offset);
        underline->end_index = static_cast<guint>(offset + length);
        pango_attr_list_insert(attributes, underline);
        counted = index + 1;
        offset += length;
    }
    result->m_plain = !face.underline() && !face.strikeOut() && shown.underlined.empty();
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);

    result->adopt(layout);
    return result;
}

// One unwrapped line, shaped without a layout when the text allows.
bool TextEngine::buildSimple(const FontFace& face, std::wstring_view text,
                             const LayoutOptions& options, TextLayout& result) {
    SimpleShaper* shaper = face.shaper();
    if (!m_simpleShaping || !shaper || options.wrapWidth >= 0) return false;
    int width = 0;
    if (text.size() > kWholeText) {
        // Pango would lay all of it out at once; shaped in pieces it costs a few times less.
        std::vector<GlyphPiece> pieces;
        return shaper->shapeLong(text, m_placed, pieces, width) &&
               result.adoptGlyphs(m_placed, std::move(pieces), width, *shaper->glyphs());
    }
    if (!shaper->shape(text, m_placed, width)) return false;
    return result.adoptGlyphs(m_placed, {}, width, *shaper->glyphs());
}

void TextEngine::forEachLine(const FontFace& face, std::wstring_view text,
                             const LayoutOptions& options, const LineVisitor& visit) {
    if (options.singleLine || text.size() <= kWholeText) {
        const TextCache::Lease laid = layout(face, text, options);
        for (int i = 0; i < laid->lineCount(); ++i) {
            if (!visit(&*laid, i)) return;
        }
        return;
    }
    for (std::size_t at = 0;;) {
        const std::size_t end = std::min(paragraphEnd(text, at), text.size());
        if (!forEachLineOfParagraph(face, text.substr(at, end - at), options, visit) ||
            end == text.size())
            return;
        at = end + delimiterLength(text, end);
    }
}

// A wrapped paragraph is cut after a space; every line of a piece but its
// last is the whole paragraph's (lines break greedily, and shaping changes
// only next to the cut), and the next piece starts where that last line does.
bool TextEngine::forEachLineOfParagraph(const FontFace& face, std::wstring_view paragraph,
                                        const LayoutOptions& options, const LineVisitor& visit,
                                        bool keep) {
    if (paragraph.empty()) return visit(nullptr, 0);
    const bool inPieces = options.wrapWidth >= 0 && !options.endEllipsis &&
                          paragraph.size() > kPiece && !mayReorder(paragraph);
    std::size_t at = 0, length = inPieces ? kPiece : paragraph.size();
    while (true) {
        const std::size_t end = pieceEnd(paragraph, at, length);
        const bool last = end == paragraph.size();
        const std::wstring_view piece = paragraph.substr(at, end - at);
        const TextCache::Lease laid = keep ? layout(face, piece, options)
                                           : TextCache::unkept(build(face, piece, options));
        int kept = laid->lineCount();
        if (kept == 0) return visit(nullptr, 0);
        if (!last && kept < 2) {
            length *= 2;  // one line longer than the piece: take more
            continue;
        }
        if (!last) --kept;
        for (int i = 0; i < kept; ++i) {
            if (!visit(&*laid, i)) return false;
        }
        if (last) return true;
        at += sourceLength(piece, laid->lineStart(kept), options.prefix);
        length = kPiece;
    }
}

TextCache::Measure TextEngine::measure(const FontFace& face, std::wstring_view text,
                                       const LayoutOptions& options) {
    TextCache::Measure total{0, 0};
    const auto count = [&](TextLayout* layout, int index) {
        if (layout) total.widest = std::max(total.widest, layout->lines()[index].width);
        ++total.lines;
        return true;
    };
    if (options.singleLine || options.wrapWidth < 0 || text.size() <= kWholeText) {
        forEachLine(face, text, options, count);
        return total;
    }
    for (std::size_t at = 0;;) {
        const std::size_t end = std::min(paragraphEnd(text, at), text.size());
        const TextCache::Measure part = measureParagraph(face, text.substr(at, end - at), options);
        total.lines += part.lines;
        total.widest = std::max(total.widest, part.widest);
        if (end == text.size()) return total;
        at = end + delimiterLength(text, end);
    }
}

TextCache::Measure TextEngine::measureParagraph(const FontFace& face, std::wstring_view paragraph,
                                                const LayoutOptions& options) {
    if (paragraph.empty()) return {1, 0};
    const TextCache::MeasureKey key{face.id(), std::hash<std::wstring_view>{}(paragraph),
                                    paragraph.size(), options};
    if (const TextCache::Measure* known = m_cache.findMeasure(key)) return *known;

    TextCache::Measure found{0, 0};
    if (!measureUnbroken(face, paragraph, options, found)) {
        const auto count = [&](TextLayout* layout, int index) {
            if (layout) found.widest = std::max(found.widest, layout->lines()[index].width);
            ++found.lines;
            return true;
        };
        forEachLineOfParagraph(face, paragraph, options, count, false);
    }
    m_cache.keepMeasure(key, found);
    return found;
}

// Pango keeps a paragraph whose advance fits on one line, and that line is
// as wide as the advance unless trailing white space is dropped at its end.
bool TextEngine::measureUnbroken(const FontFace& face, std::wstring_view paragraph,
                                 const LayoutOptions& options, TextCache::Measure& found) {
    SimpleShaper* shaper = face.shaper();
    if (!m_simpleShaping || !shaper || options.wrapWidth < 0 || options.singleLine ||
        options.endEllipsis || paragraph.empty() || paragraph.size() > SimpleShaper::kLongest ||
        paragraph.back() == L' ' || paragraph.back() == L'\u00a0' ||
        (options.prefix != Prefix::None && paragraph.find(L'&') != std::wstring_view::npos))
        return false;
    int width = 0;
    if (!shaper->shape(paragraph, m_placed, width) || width > std::max(options.wrapWidth, 1))
        return false;
    found = {1, width};
    return true;
}

void TextEngine::allowSimpleShaping(bool allowed) {
    m_simpleShaping = allowed;
    clearCache();
}

SIZE TextEngine::extent(const FontFace& face, std::wstring_view text) {
    const TextCache::Lease laid = layout(face, text, {-1, true, false, Prefix::None});
    return {laid->width(), face.metrics().tmHeight};
}

}  // namespace tessel::gdi
