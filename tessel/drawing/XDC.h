#pragma once

#include <tessel/drawing/GFont.h>
#include <tessel/foundation/KLString.h>
#include <tessel/platform/afx_dc.h>
#include <tessel/platform/afx_geometry.h>

// The drawing context the toolkit paints with: a thin layer over a platform
// device context (not owned) that adds colour fills, boxes and text that
// centres vertically whatever the format says.
//
//   XDC dc(&paintDC);
//   dc.drawBox(rect, RGB(0, 0, 0), 1, RGB(240, 240, 240), 4);
//   dc.drawText(L"OK", rect, DT_CENTER | DT_VCENTER, font, RGB(0, 0, 0), 4.0, nullptr);
class XDC {
public:
    // The no-colour value: nothing is drawn in it.
    static constexpr COLORREF kNoColor = 0xFFFFFFFF;

    explicit XDC(CDC* dc) : m_dc(dc) {}
    virtual ~XDC();
    XDC(const XDC&) = delete;
    XDC& operator=(const XDC&) = delete;

    // The platform context, for drawing the XDC does not know about.
    operator HDC() const {  // NOLINT: used where an HDC is wanted
        aboutToDraw(nullptr, false);
        return m_dc ? m_dc->m_hDC : nullptr;
    }
    CDC* cdc() const {
        aboutToDraw(nullptr, false);
        return m_dc;
    }

    void FillRect(const CRect& rect, COLORREF color);
    // A null or hollow (BS_NULL) brush, or a brush without a handle, paints nothing.
    void FillRect(const CRect& rect, CBrush* brush);
    // One pixel inside the rectangle.
    void FrameRect(const CRect& rect, COLORREF color);
    // A box: a border of borderWidth pixels in borderColor inside the
    // rectangle, the rest filled with fillColor. cornerRadius > 0 rounds the
    // corners with that radius in pixels. Either colour may be kNoColor: no
    // border (the fill then covers the whole rectangle) or no fill.
    void drawBox(const CRect& rect, COLORREF borderColor, int borderWidth, COLORREF fillColor,
                 int cornerRadius);
    void setTextColor(COLORREF color);

    // Text in the rectangle with DrawText's format flags, in the current font
    // and colour, without a background (over what was painted below). DT_VCENTER
    // and DT_BOTTOM work without DT_SINGLELINE too: the text block is placed in
    // the rectangle as a whole.
    void draw(const kelp::KLString& text, CRect* rect, UINT format);
    void drawText(const kelp::KLString& text, CRect& rect, UINT format);
    // The same in its own font and colour, leaving the context's as they were.
    // With DT_EXPANDTABS tab stops are every tabSize average characters;
    // `height`, when not null, receives the height of the drawn text.
    void drawText(const kelp::KLString& text, CRect& rect, UINT format, const GFont& font,
                  COLORREF color, double tabSize, double* height);

    // One line in the current font.
    CSize GetTextExtent(const kelp::KLString& text) const;
    // The text laid out with `format`, wrapped within maxWidth unless DT_SINGLELINE.
    CSize getTextExtent(const kelp::KLString& text, int maxWidth, UINT format) const;

protected:
    // Called before drawing within `area` (logical coordinates; null: anywhere);
    // `opaque` when every pixel of the area is painted over. False when
    // nothing drawn there can show, and the drawing is skipped.
    virtual bool aboutToDraw(const CRect* /*area*/, bool /*opaque*/) const { return true; }

    CDC* m_dc;

private:
    // An inside-frame pen, kept while the boxes drawn share it; never left selected.
    HPEN boxPen(int width, COLORREF color);
    // Whether text in `rect` can show (and the buffer is ready for it).
    bool textShows(const CRect& rect, UINT format) const;
    // Drawn without a background, then placed by placeLines.
    void placeText(const kelp::KLString& text, CRect& rect, UINT format);
    void placeLines(const kelp::KLString& text, CRect& rect, UINT format);

    struct BoxPen {
        HPEN handle = nullptr;
        int width = 0;
        COLORREF color = 0;
    };
    BoxPen m_boxPen;
};
