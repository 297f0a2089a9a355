#include "YBSplitterBar.h"

#include <algorithm>
#include <climits>

#include <tessel/platform/afx_gdi.h>

namespace {
LONG saturate(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

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

int YBSplitterBar::size() const {
    return saturate(m_width + 2LL * m_margin);
}

void YBSplitterBar::draw(XDC& dc) {
    if (m_bgColor != XDC::kNoColor && m_rect.Width() > 0 && m_rect.Height() > 0)
        fill(dc, m_rect, m_bgColor);
    if (m_lineColor == XDC::kNoColor) return;
    CRect line = m_rect;
    if (m_vertical) {
        line.top = saturate(0LL + line.top + m_margin);
        line.bottom = saturate(0LL + line.bottom - m_margin);
    } else {
        line.left = saturate(0LL + line.left + m_margin);
        line.right = saturate(0LL + line.right - m_margin);
    }
    if (0LL + line.right - line.left >= 1 && 0LL + line.bottom - line.top >= 1)
        fill(dc, line, m_lineColor);
}
