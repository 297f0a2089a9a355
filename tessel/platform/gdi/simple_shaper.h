// Internal: shaping without a PangoLayout for the common short label. Text
// whose characters all lie in alphabetic ranges that need no complex shaping
// (Latin, Greek and Cyrillic letters without combining marks, digits, common
// punctuation), that uses at most one of those scripts and that the face's
// first font covers entirely is a single left-to-right Pango item. HarfBuzz
// shapes it with the font, script, language, features and buffer settings
// Pango gives such an item, and the advances are rounded to whole pixels as
// Pango rounds them, so glyphs and positions are Pango's own. Each script's
// settings are checked once against Pango's shaping of a sample; should they
// differ (a scaled font matrix), that script is shaped through Pango's call
// instead. Anything else is the full layout's job.
//
//   SimpleShaper shaper(context, description);
//   if (shaper.shape(text, glyphs, width)) mask = shaper.glyphs().mask(glyphs, area);
#pragma once

#include <hb.h>
#include <pango/pango.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gdi/glyph_cache.h"

namespace tessel::gdi {

class SimpleShaper {
public:
    // Longer text goes through the full layout.
    static constexpr std::size_t kLongest = 256;

    SimpleShaper(PangoContext* context, const PangoFontDescription* description);
    ~SimpleShaper();
    SimpleShaper(const SimpleShaper&) = delete;
    SimpleShaper& operator=(const SimpleShaper&) = delete;

    // Glyphs of `text` from the run's left end and baseline, and its advance
    // in pixels; false when the text needs the full layout.
    bool shape(std::wstring_view text, std::vector<PlacedGlyph>& glyphs, int& width);
    // The same for a line longer than kLongest, shaped a piece at a time,
    // each cut after a space where there is one and shaped with a few
    // characters either side of it, so that kerning and ligatures across a cut
    // come out as in one run. Only where HarfBuzz gives Pango's own shaping.
    bool shapeLong(std::wstring_view text, std::vector<PlacedGlyph>& glyphs,
                   std::vector<GlyphPiece>& pieces, int& width);
    // The first font's glyphs; null when the face has no usable first font.
    GlyphCache* glyphs() { return m_glyphs.get(); }

private:
    enum Script { kCommon, kLatin, kGreek, kCyrillic, kScripts };
    struct Run {
        bool known = false;
        bool usable = false;
        bool direct = false;  // HarfBuzz gives what Pango's shaping call gives
        PangoAnalysis analysis{};
        hb_script_t script = HB_SCRIPT_INVALID;
        hb_language_t language = nullptr;
        std::vector<hb_feature_t> features;
    };

    const Run* run(Script script);
    // The run all of `text` shapes as; null when it needs the full layout.
    const Run* runFor(std::wstring_view text);
    bool covered(char32_t c);
    // Glyphs in Pango units, rounded as Pango rounds them, with their
    // characters in log_clusters; false when the shaping gave nothing.
    // `begins`, `ends`: the text starts or ends the paragraph.
    bool shapeDirectly(const Run& run, std::wstring_view text, bool begins = true,
                       bool ends = true);
    // Appends shaped glyphs [from, to) at whole pixels from `x` (Pango units,
    // advanced past them); false when one cannot be drawn from the cache.
    bool place(int from, int to, std::vector<PlacedGlyph>& glyphs, long long& x) const;
    void shapeThroughPango(const Run& run, std::wstring_view text);
    bool sameAsPango(const Run& run, std::wstring_view sample);

    PangoContext* m_context;
    PangoFontDescription* m_description;
    PangoFont* m_font = nullptr;  // the first font, as Pango picks it for Latin text
    std::array<Run, kScripts> m_runs{};
    std::unique_ptr<GlyphCache> m_glyphs;
    std::vector<std::int8_t> m_coverage;  // by code point: 0 not asked yet, 1 covered, -1 not
    hb_buffer_t* m_buffer;
    PangoGlyphString* m_shaped;  // the last text's glyphs, in Pango units
    std::string m_utf8;
};

}  // namespace tessel::gdi
