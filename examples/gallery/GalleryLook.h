// The gallery's colours, fonts and button styles, shared by its windows.
#pragma once

#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/windows/YBTextButtonStyle.h>

namespace gallery {

constexpr COLORREF kPage = RGB(250, 250, 252);      // the main window and the status line
constexpr COLORREF kHostFill = RGB(255, 255, 255);  // the component host
constexpr COLORREF kPaneFill = RGB(244, 245, 248);  // the window controls' manager
constexpr COLORREF kBarLine = RGB(170, 172, 182);
constexpr COLORREF kBarFill = RGB(228, 230, 236);  // a bar must fill its slot: what was there stays otherwise
constexpr COLORREF kInk = RGB(30, 30, 40);

inline GFont captionFont() {
    return GFont("Arial", 9.0, 0, kInk);
}

// A flat box with a thin border; the hover and pressed looks are shaded from it.
inline YBTextButtonStyle flatStyle(COLORREF fill, COLORREF border, COLORREF ink) {
    YBTextButtonStyle style;
    style.font = captionFont();
    style.font.m_color = ink;
    style.fgColor = ink;
    style.bgColor = fill;
    style.bdColor = border;
    style.bdWidth = 1;
    style.boxParam = 5;  // corner radius
    return style;
}

inline YBTextButtonStyle blueStyle() {
    return flatStyle(RGB(52, 120, 190), RGB(30, 70, 120), RGB(255, 255, 255));
}
inline YBTextButtonStyle greenStyle() {
    return flatStyle(RGB(46, 150, 100), RGB(20, 90, 60), RGB(255, 255, 255));
}
inline YBTextButtonStyle greyStyle() {
    return flatStyle(RGB(236, 237, 242), RGB(160, 162, 175), kInk);
}
inline YBTextButtonStyle amberStyle() {
    return flatStyle(RGB(250, 214, 120), RGB(190, 140, 40), kInk);
}

// Image-button caption colours by state: grey when disabled, blue under the pointer.
inline kelp::KLIntegerArray captionColours() {
    const int grey = static_cast<int>(RGB(150, 150, 150)), ink = static_cast<int>(RGB(40, 40, 48)),
              over = static_cast<int>(RGB(30, 90, 200)), pressed = static_cast<int>(RGB(20, 50, 130));
    return kelp::KLIntegerArray{grey, ink, over, pressed, grey, ink, over, pressed};
}

}  // namespace gallery
