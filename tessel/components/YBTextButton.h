// A windowless button that shows a text centred in a box, drawn in one of
// eight styles chosen by its state bits (see YBTextButtonLook). Its size
// is the widest and tallest text over all eight style fonts, plus the
// padding and twice the widest border, unless given; it is recomputed
// whenever the text, the padding or a style changes, never while drawing.
// Setters do not repaint: call invalidate.
//
//   auto* save = new YBTextButton(ID_SAVE, L"Save", GFont("Arial", 9.0, 0, 0), 0, 0, &host);
//   save->setAllStyles(blueStyle, true);
//   host.addComponent(save, true, true);
#pragma once

#include <tessel/components/YBButton.h>
#include <tessel/drawing/GPadding.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLString.h>
#include <tessel/windows/YBTextButtonStyle.h>

class YBTextButton : public YBButton {
public:
    // A width and height both non-zero are taken as they are, nothing measured;
    // a 0 on one axis is measured on that axis.
    YBTextButton(unsigned int id, const kelp::KLString& text, const GFont& font, int width,
                 int height, CWnd* owner);
    YBTextButton(const YBTextButton&) = default;
    YBTextButton& operator=(const YBTextButton&) = default;
    ~YBTextButton() override;

    void setText(const kelp::KLString& text);
    const kelp::KLString& getText() const { return m_text; }
    void setPadding(const GPadding& padding);
    // Indices outside 0..7 are ignored (nothing is measured); getStyle then
    // leaves `style` alone.
    void setStyle(int index, const YBTextButtonStyle& style);
    void getStyle(int index, YBTextButtonStyle& style) const;
    // Derive the state styles 0-7, 4-7 or 0-3 from `style`. Only
    // setAllUnselectedStyles reads its bool: false keeps `style` as it is for
    // the mouse-over and pressed states (2 and 3). The other two always
    // derive every state, so a whole set can never be left half shaded.
    void setAllStyles(const YBTextButtonStyle& style, bool shade);
    void setAllSelectedStyles(const YBTextButtonStyle& style, bool shade);
    void setAllUnselectedStyles(const YBTextButtonStyle& style, bool shade);

    void onDraw(XDC& dc) override;

protected:
    void calcSize();
    void drawStyle(XDC& dc, YBTextButtonStyle& style);

private:
    void deriveStyles(const YBTextButtonStyle& style, int first, int last, bool shade);

    kelp::KLString m_text;
    kelp::KLArray<YBTextButtonStyle> m_styles;
    GPadding m_padding;
    int m_fixedWidth;
    int m_fixedHeight;
};
