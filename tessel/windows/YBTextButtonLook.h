// What the two text buttons, the windowless YBTextButton and the window
// YBTextButtonWnd, share: eight styles addressed by a state index, the styles
// a new button starts with, the derivation of state styles from one style,
// and the box the text sits in.
//
// clang-format off
//   index  state                 drawn when
//   0      disabled              disabled, whatever else
//   1      normal                -
//   2      mouse over            mouse over
//   3      pressed               pressed, over or not
//   4      selected, disabled    never (a disabled button draws 0)
//   5..7   selected              as 1..3, selected
// clang-format on
#pragma once

#include <tessel/drawing/GPadding.h>
#include <tessel/drawing/XDC.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/windows/YBTextButtonStyle.h>

class YBTextButtonLook {
public:
    static constexpr int styleCount = 8;
    // Centred both ways, with the font's external leading.
    static constexpr UINT textFormat = DT_CENTER | DT_VCENTER | DT_EXTERNALLEADING;
    static constexpr int defaultPadding = 5;

    static bool isStyleIndex(int index) { return index >= 0 && index < styleCount; }
    static int styleIndex(bool disabled, bool selected, bool pressed, bool mouseOver);

    // Indices 0-3 and 5-7 in the given font, stored in that order; index 4
    // comes into being as a default style when index 5 is stored.
    static void setInitialStyles(kelp::KLArray<YBTextButtonStyle>& styles, const GFont& font);

    // The style of state `index` derived from `style`: greyed for 0 and 4,
    // unchanged for 1 and 5, lighter for 2 and 6, darker for 3 and 7. Only
    // the three colours change.
    static YBTextButtonStyle derive(const YBTextButtonStyle& style, int index);

    // A measured side of a button: the text, the padding on both sides and the
    // frame (both borders), kept within int for hostile paddings and borders.
    static int measuredSide(long long textPixels, long long paddingPixels, long long framePixels);

    // The box over `rect`; returns the rectangle the text goes in.
    static CRect drawBox(XDC& dc, const CRect& rect, const YBTextButtonStyle& style,
                         const GPadding& padding);
};
