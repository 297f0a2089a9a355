#include "YBSplitterBar.h"

#include <tessel/platform/afx_gdi.h>

namespace {
void fill(XDC& dc, const CRect& rect, COLORREF color) {
    CBrush brush;
    brush.CreateSolidBrush(color);
    dc.FillRect(rect, &brush);
}
}  // namespace

YBSplitterBar::YBSplitterBar(bool vertical, int width, int margin, COLORREF lineColor,
                             COLORREF bgColor)
    : m_vertical(vertical),
      m_width(width),
      m_margin(margin),
      m_lineColor(lineColor),
      m_bgColor(bgColor) {}

void YBSplitterBar::draw(XDC& dc) {
    if (m_bgColor != XDC::kNoColor && m_rect.Width() > 0 && m_rect.Height() > 0)
        fill(dc, m_rect, m_bgColor);
    if (m_lineColor == XDC::kNoColor) return;
    CRect line = m_rect;
    if (m_vertical) {
        line.top += m_margin;
        line.bottom -= m_margin;
    } else {
        line.left += m_margin;
        line.right -= m_margin;
    }
    if (line.Width() >= 1 && line.Height() >= 1) fill(dc, line, m_lineColor);
}
