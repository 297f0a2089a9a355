// How a text button looks in one of its states: the font, the text colour,
// the box's fill and border, and the box's last drawing value (the corner
// radius of XDC::drawBox). A plain record that applications fill in.
//
//   YBTextButtonStyle style;
//   style.bgColor = RGB(0, 120, 215);
//   style.fgColor = RGB(255, 255, 255);
//   button.setAllStyles(style, true);
#pragma once

#include <tessel/drawing/GFont.h>

class YBTextButtonStyle {
public:
    // fgColor may sit in the font's tail padding: a style is 32 bytes, so a
    // button's eight fit the style array's first 256-byte block.
    [[no_unique_address]] GFont font;  // "Arial", 10 points
    COLORREF fgColor = RGB(0, 0, 0);   // the text
    COLORREF bgColor = 0xC8C8C8;       // the box's fill
    COLORREF bdColor = RGB(0, 0, 0);   // the box's border
    int bdWidth = 1;                   // border width; the text is inset by it
    int boxParam = 0;                  // handed to XDC::drawBox after the fill colour
};

static_assert(sizeof(YBTextButtonStyle) <= 32, "eight styles in 256 bytes");
