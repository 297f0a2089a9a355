// A child window showing one fixed text, centred both ways, in one font and
// colour over an optional background. It takes its text's extent as its
// size when constructed and again on resizeToFit. Colour changes show at
// the next paint, which the caller asks for.
//
//   YBTextWnd title(L"Settings", GFont("Arial", 12.0, GFont::Bold, 0), XDC::kNoColor);
//   title.createAt(10, 10, &panel);
#pragma once

#include <tessel/drawing/GFont.h>
#include <tessel/foundation/KLString.h>
#include <tessel/windows/YBChildWnd.h>

class YBTextWnd : public YBChildWnd {
public:
    // bgColor 0xFFFFFFFF (XDC::kNoColor): the client area is not filled.
    YBTextWnd(const kelp::KLString& text, const GFont& font, COLORREF bgColor);
    ~YBTextWnd() override;

    const kelp::KLString& text() const { return m_text; }
    COLORREF fgColor() const { return m_fgColor; }
    void fgColor(COLORREF color) { m_fgColor = color; }
    COLORREF bgColor() const { return m_bgColor; }
    void bgColor(COLORREF color) { m_bgColor = color; }

    // Measures the text again, makes that the remembered and minimum size,
    // resizes the window to it (position and z-order kept) and repaints.
    void resizeToFit();

protected:
    void onDraw(XDC& dc) override;

private:
    CSize measure() const;

    const kelp::KLString m_text;
    GFont m_font;
    COLORREF m_fgColor;
    COLORREF m_bgColor;
};
