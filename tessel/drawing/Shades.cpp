#include "Shades.h"

#include <algorithm>
#include <cmath>

namespace {
BYTE scaled(BYTE channel, double factor) {
    return static_cast<BYTE>(std::clamp(std::lround(channel * factor), 0L, 255L));
}
}  // namespace

COLORREF GetShade(COLORREF color, double factor) {
    if (color == CLR_INVALID) return color;
    if (!(factor >= 0)) factor = 0;  // negative and NaN factors give black
    return RGB(scaled(GetRValue(color), factor), scaled(GetGValue(color), factor),
               scaled(GetBValue(color), factor));
}

COLORREF GetGrayscale(COLORREF color) {
    if (color == CLR_INVALID) return color;
    const BYTE y = tessel::drawing::luma(GetRValue(color), GetGValue(color), GetBValue(color));
    return RGB(y, y, y);
}
