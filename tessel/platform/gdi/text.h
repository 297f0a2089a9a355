// Internal: text through Pango with fixed settings (96 DPI, greyscale
// antialiasing, slight hinting, hinted metrics), so the same fonts give the
// same pixels on every machine.
//
// Shaping is the expensive part of drawing text, so laid-out text is cached
// (keyed by face, text and layout options) together with an A8 coverage mask
// per line; drawing a cached label is one masked fill per line. The cache is
// bounded in bytes (TextCache). A short plain label in simple scripts skips
// the layout (SimpleShaper): it is kept as placed glyphs and drawn from the
// face's glyph cache, with the same measurements and pixels; so is a very
// long plain line, in pieces. Long text with line breaks is laid out a
// paragraph or piece at a time (forEachLine).
#pragma once

#include <pango/pango.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include <tessel/platform/win_types.h>

#include "gdi/simple_shaper.h"
#include "gdi/text_cache.h"

namespace tessel::gdi {

// A resolved font: what a LOGFONT describes, shared by all fonts made from
// the same description.
class FontFace {
public:
    FontFace(PangoFontDescription* description, bool underline, bool strikeOut, std::uint64_t id);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const PangoFontDescription* description() const { return m_description; }
    const TEXTMETRICW& metrics() const { return m_metrics; }
    bool underline() const { return m_underline; }
    bool strikeOut() const { return m_strikeOut; }
    std::uint64_t id() const { return m_id; }  // cache key; never reused
    // Null when the face has no first font to shape with directly.
    SimpleShaper* shaper() const { return m_shaper.get(); }

private:
    friend class TextEngine;
    std::unique_ptr<SimpleShaper> m_shaper;
    PangoFontDescription* m_description;
    TEXTMETRICW m_metrics{};
    bool m_underline;
    bool m_strikeOut;
    std::uint64_t m_id;
};

class TextEngine {
public:
    TextEngine();
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;

    std::shared_ptr<const FontFace> face(const LOGFONTW& logFont);
    // Cached when it fits; end the lease before laying out other text.
    TextCache::Lease layout(const FontFace& face, std::wstring_view text,
                            const LayoutOptions& options);
    SIZE extent(const FontFace& face, std::wstring_view text);
    // Each line of `text` in order, as visit(layout, index) while its layout
    // is leased (a null layout: an empty paragraph's line), until visit says
    // false. Long text that may break into lines is laid out a piece at a
    // time, a paragraph or the next few thousand characters of a wrapped one,
    // so a caller that stops early pays for what it took, not for the whole.
    using LineVisitor = std::function<bool(TextLayout* layout, int index)>;
    void forEachLine(const FontFace& face, std::wstring_view text, const LayoutOptions& options,
                     const LineVisitor& visit);

    // The line count and widest line forEachLine gives. Long wrapped text
    // is measured a paragraph at a time and each paragraph's result kept in
    // the cache, so text measured again is not laid out again; the layouts
    // that took are not kept, and a short simple paragraph that fits the
    // width needs none.
    TextCache::Measure measure(const FontFace& face, std::wstring_view text,
                               const LayoutOptions& options);

    const TextCache& cache() const { return m_cache; }
    // Drops every kept layout: what is left is what a leak would leave.
    void clearCache() { m_cache.clear(); }
    // Tests and benchmarks: false lays out everything with Pango, to compare.
    // Empties the cache so no label keeps the other way's layout.
    void allowSimpleShaping(bool allowed);

private:
    std::unique_ptr<TextLayout> build(const FontFace& face, std::wstring_view text,
                                      const LayoutOptions& options);
    bool buildSimple(const FontFace& face, std::wstring_view text, const LayoutOptions& options,
                     TextLayout& result);
    void measure(FontFace& face);
    TextCache::Measure measureParagraph(const FontFace& face, std::wstring_view paragraph,
                                        const LayoutOptions& options);
    // `keep`: the pieces' layouts go to the cache (false when only measuring).
    bool forEachLineOfParagraph(const FontFace& face, std::wstring_view paragraph,
                                const LayoutOptions& options, const LineVisitor& visit,
                                bool keep = true);
    // The one line of a short simple paragraph that fits the wrap width
    // unbroken, measured without a layout; false when it needs one.
    bool measureUnbroken(const FontFace& face, std::wstring_view paragraph,
                         const LayoutOptions& options, TextCache::Measure& found);

    PangoFontMap* m_fontMap;
    PangoContext* m_context;
    TextCache m_cache;
    std::unordered_map<std::string, std::shared_ptr<const FontFace>> m_faces;
    std::uint64_t m_nextFaceId = 1;
    bool m_simpleShaping = true;
    std::vector<PlacedGlyph> m_placed;  // reused while shaping
};

}  // namespace tessel::gdi
