// Colour arithmetic of the drawing library.
#pragma once

#include <tessel/platform/win_types.h>

// The colour with each channel scaled by `factor` (1.1 lighter, 0.9 darker),
// rounded and clamped to 0..255. The no-colour value 0xFFFFFFFF stays as it is.
COLORREF GetShade(COLORREF color, double factor);

// The grey of equal brightness: Rec. 601 luma, 0.299 R + 0.587 G + 0.114 B, rounded.
COLORREF GetGrayscale(COLORREF color);

namespace tessel::drawing {
// The luma of one pixel, shared by GetGrayscale and image grayscale conversion.
inline BYTE luma(BYTE r, BYTE g, BYTE b) {
    return static_cast<BYTE>((299 * r + 587 * g + 114 * b + 500) / 1000);
}
}  // namespace tessel::drawing
