// A button window that shows a text centred in a box, drawn in one of eight
// styles chosen by its state (see YBTextButtonLook). Its size is measured
// once, in the constructor, from the constructor's font; changing the text
// or the styles later never resizes it, and nothing repaints by itself.
//
//   YBTextButtonWnd ok(IDOK, L"OK", GFont("Arial", 9.0, 0, 0), 0, 0);
//   ok.createAt(10, 10, &dialog);   // at the measured size
#pragma once

#include <tessel/drawing/GPadding.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLString.h>
#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBTextButtonStyle.h>

class YBTextButtonWnd : public YBButtonWnd {
public:
    // A width or height of 0 is measured: the text's extent plus the padding
    // and 2; both non-zero measure nothing.
    YBTextButtonWnd(unsigned int id, const kelp::KLString& text, const GFont& font, int width,
                    int height);
    ~YBTextButtonWnd() override;

    void setText(const kelp::KLString& text);
    const kelp::KLString& getText() const { return m_text; }
    // Indices outside 0..7 are ignored; getStyle then leaves `style` alone.
    void setStyle(int index, const YBTextButtonStyle& style);
    void getStyle(int index, YBTextButtonStyle& style) const;
    // Derive styles 0-7, 4-7 and 0-3 from `style`. The window always applies
    // the whole derivation: its bool is kept for symmetry with YBTextButton,
    // where only setAllUnselectedStyles reads it.
    void setAllStyles(const YBTextButtonStyle& style, bool shade);
    void setAllSelectedStyles(const YBTextButtonStyle& style, bool shade);
    void setAllUnselectedStyles(const YBTextButtonStyle& style, bool shade);

    // The letter after '&' in the text clicks the button.
    bool activateMnemonic(wchar_t letter) override;

protected:
    void onDraw(XDC& dc) override;
    void drawStyle(XDC& dc, YBTextButtonStyle& style);

private:
    void deriveStyles(const YBTextButtonStyle& style, int first, int last);

    kelp::KLString m_text;
    kelp::KLArray<YBTextButtonStyle> m_styles;
    GPadding m_padding;
};
