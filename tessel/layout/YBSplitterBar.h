// One bar of a splitter: a line of m_width pixels with m_margin pixels of
// space on each side, across the split axis, over an optional fill. It
// looks the same whether hovered or dragged (the splitter shows a drag by
// the cursor only).
#pragma once

#include <tessel/drawing/XDC.h>

class YBSplitterBar {
public:
    // 0xFFFFFFFF (XDC::kNoColor) for either colour: nothing in it.
    explicit YBSplitterBar(bool vertical = false, int width = 2, int margin = 2,
                           COLORREF lineColor = 0xC8C8C8, COLORREF bgColor = XDC::kNoColor);

    // The whole thickness: the line and both margins (saturated, never wrapping).
    int size() const;
    void draw(XDC& dc);

    bool m_vertical;  // a bar of a vertical split: a horizontal strip
    int m_width;
    int m_margin;
    COLORREF m_lineColor;
    COLORREF m_bgColor;
    CRect m_rect{0, 0, 0, 0};  // in the splitter's client coordinates
};
