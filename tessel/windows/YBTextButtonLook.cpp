#include "YBTextButtonLook.h"

#include <algorithm>
#include <climits>

#include <tessel/drawing/Shades.h>

namespace {

struct InitialStyle {
    int index;
    COLORREF bdColor;
    int bdWidth;
    COLORREF bgColor;
    COLORREF fgColor;
    int boxParam;
};

// Index 4 is missing on purpose: it stays the default style.
constexpr InitialStyle kInitialStyles[] = {
    {0, 0x969696, 2, 0xC8C8C8, 0xDCDCDC, 2}, {1, 0x969696, 2, 0xF0F0F0, 0x000000, 2},
    {2, 0x969696, 2, 0xFFFFFF, 0x1414FF, 2}, {3, 0x323232, 3, 0x80FFFF, 0x1414FF, 2},
    {5, 0x969696, 2, 0xF0F0F0, 0x000000, 2}, {6, 0x969696, 2, 0xFFFFFF, 0x1414FF, 2},
    {7, 0x323232, 3, 0x80FFFF, 0x1414FF, 2},
};

}  // namespace

int YBTextButtonLook::styleIndex(bool disabled, bool selected, bool pressed, bool mouseOver) {
    if (disabled) return 0;
    const int unselected = pressed ? 3 : mouseOver ? 2 : 1;
    return selected ? unselected + 4 : unselected;
}

void YBTextButtonLook::setInitialStyles(kelp::KLArray<YBTextButtonStyle>& styles,
                                        const GFont& font) {
    for (const InitialStyle& initial : kInitialStyles) {
        YBTextButtonStyle& style = styles[initial.index];
        style.font = font;
        style.fgColor = initial.fgColor;
        style.bgColor = initial.bgColor;
        style.bdColor = initial.bdColor;
        style.bdWidth = initial.bdWidth;
        style.boxParam = initial.boxParam;
    }
}

YBTextButtonStyle YBTextButtonLook::derive(const YBTextButtonStyle& style, int index) {
    YBTextButtonStyle derived = style;
    const auto change = [&derived](auto rule) {
        derived.bdColor = rule(derived.bdColor);
        derived.bgColor = rule(derived.bgColor);
        derived.fgColor = rule(derived.fgColor);
    };
    switch (index % 4) {
    case 0: change([](COLORREF c) { return GetGrayscale(c); }); break;
    case 2: change([](COLORREF c) { return GetShade(c, 1.1); }); break;
    case 3: change([](COLORREF c) { return GetShade(c, 0.9); }); break;
    default: break;
    }
    return derived;
}

int YBTextButtonLook::measuredSide(long long textPixels, long long paddingPixels,
                                   long long framePixels) {
    return static_cast<int>(
        std::clamp(textPixels + paddingPixels + framePixels, 0LL, static_cast<long long>(INT_MAX)));
}

CRect YBTextButtonLook::drawBox(XDC& dc, const CRect& rect, const YBTextButtonStyle& style,
                                const GPadding& padding) {
    dc.drawBox(rect, style.bdColor, style.bdWidth, style.bgColor, style.boxParam);
    // 64-bit: a hostile border or padding must not wrap the text rectangle around.
    const auto inset = [](LONG edge, long long by) {
        return static_cast<LONG>(std::clamp<long long>(edge + by, INT_MIN, INT_MAX));
    };
    const long long border = style.bdWidth;
    return CRect(inset(rect.left, padding.left + border), inset(rect.top, padding.top + border),
                 inset(rect.right, -(padding.right + border)),
                 inset(rect.bottom, -(padding.bottom + border)));
}
