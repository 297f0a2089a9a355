// A component that shows one text in a font (which also carries the text
// colour), inside its rectangle, over an optional fill and inside an
// optional one-pixel frame. It measures itself when constructed, so a host
// can lay it out at once; calcSizes measures again against a width. It
// takes no mouse event. Setters neither measure nor repaint; a new text is
// told to assistive technology as a name change.
//
//   auto* label = new YBText(L"Name", GFont("Arial", 9.0, 0, 0), DT_LEFT, 0, &host);
//   label->bgColor(RGB(255, 255, 224));
//   host.addComponent(label, true, true);
#pragma once

#include <tessel/components/YBComponent.h>
#include <tessel/drawing/GFont.h>
#include <tessel/foundation/KLString.h>

class YBText : public YBComponent {
public:
    // `style`: DrawText's format flags, for measuring and drawing alike.
    YBText(const kelp::KLString& text, const GFont& font, unsigned int style, unsigned int id,
           CWnd* owner);
    YBText(const YBText&) = default;
    YBText& operator=(const YBText&) = default;
    ~YBText() override;

    const kelp::KLString& text() const { return m_text; }
    void text(const kelp::KLString& text);
    GFont font() const { return m_font; }
    void font(const GFont& font) { m_font = font; }
    unsigned int style() const { return m_style; }
    void style(unsigned int style) { m_style = style; }
    COLORREF fgColor() const { return m_font.m_color; }
    void fgColor(COLORREF color) { m_font.m_color = color; }
    // 0xFFFFFFFF (XDC::kNoColor): none.
    COLORREF bgColor() const { return m_bgColor; }
    void bgColor(COLORREF color) { m_bgColor = color; }
    COLORREF bdColor() const { return m_bdColor; }
    void bdColor(COLORREF color) { m_bdColor = color; }

    // The minimum size becomes the text's extent wrapped within maxWidth
    // (0 or less: 10000); the size and rectangle stay.
    void calcSizes(XDC& dc, int maxWidth);
    void onDraw(XDC& dc) override;

private:
    kelp::KLString m_text;
    GFont m_font;
    COLORREF m_bgColor = XDC::kNoColor;
    COLORREF m_bdColor = XDC::kNoColor;
    unsigned int m_style;
};
