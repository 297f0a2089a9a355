// Internal: text through Pango with fixed settings (96 DPI, greyscale
// antialiasing, slight hinting, hinted metrics), so the same fonts give the
// same pixels on every machine.
//
// Shaping is the expensive part of drawing text, so laid-out text is cached
// (keyed by face, text and layout options) together with an A8 coverage mask
// per line; drawing a cached label is one masked fill per line.
#pragma once

#include <pango/pango.h>
#include <pixman.h>

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <tessel/platform/win_types.h>

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

private:
    friend class TextEngine;
    PangoFontDescription* m_description;
    TEXTMETRICW m_metrics{};
    bool m_underline;
    bool m_strikeOut;
    std::uint64_t m_id;
};

// How '&' is treated, from the DT_ flags.
enum class Prefix { Underline, None, Hide };

struct LayoutOptions {
    int wrapWidth = -1;  // pixels; -1: break only at newlines
    bool singleLine = false;
    bool endEllipsis = false;  // with wrapWidth as the width to fit
    Prefix prefix = Prefix::None;
    bool operator==(const LayoutOptions&) const = default;
};

// Laid-out text. Line boxes are relative to the layout's top-left; lines are
// lineHeight apart, with the baseline at the font's ascent.
class TextLayout {
public:
    struct Line {
        int width;                       // logical width in pixels
        PangoLayoutLine* line;           // owned by the layout
        pixman_image_t* mask = nullptr;  // A8 coverage, made on first use
        int maskX = 0;                   // mask position relative to (line left, baseline)
        int maskY = 0;
    };
    ~TextLayout();

    int width() const { return m_width; }  // widest line
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    const std::vector<Line>& lines() const { return m_lines; }
    // The line with its coverage mask rendered.
    const Line& renderedLine(int index);

private:
    friend class TextEngine;
    PangoLayout* m_layout = nullptr;
    std::vector<Line> m_lines;
    int m_width = 0;
};

class TextEngine {
public:
    TextEngine();
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;

    std::shared_ptr<const FontFace> face(const LOGFONTW& logFont);
    // Cached; valid until the next call that lays out text.
    TextLayout& layout(const FontFace& face, std::wstring_view text, const LayoutOptions& options);
    SIZE extent(const FontFace& face, std::wstring_view text);

    std::size_t cachedLayouts() const { return m_cache.size(); }

private:
    struct Key {
        std::uint64_t face;
        std::wstring text;
        LayoutOptions options;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        std::unique_ptr<TextLayout> layout;
        std::list<const Key*>::iterator age;
    };

    std::unique_ptr<TextLayout> build(const FontFace& face, std::wstring_view text,
                                      const LayoutOptions& options);
    void measure(FontFace& face);

    static constexpr std::size_t kCacheLimit = 8192;

    PangoFontMap* m_fontMap;
    PangoContext* m_context;
    std::unordered_map<Key, Entry, KeyHash> m_cache;
    std::list<const Key*> m_ages;  // most recently used first
    std::unordered_map<std::string, std::shared_ptr<const FontFace>> m_faces;
    std::uint64_t m_nextFaceId = 1;
};

}  // namespace tessel::gdi
