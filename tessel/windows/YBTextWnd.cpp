#include "YBTextWnd.h"

#include <tessel/windows/YBScreenDC.h>

YBTextWnd::YBTextWnd(const kelp::KLString& text, const GFont& font, COLORREF bgColor)
    : m_text(text), m_font(font), m_fgColor(font.m_color), m_bgColor(bgColor) {
    m_size = measure();
    YBBaseWnd::setMinSize(m_size);
}

YBTextWnd::~YBTextWnd() = default;

CSize YBTextWnd::measure() const {
    return YBScreenDC().textExtent(m_font, m_text);
}

void YBTextWnd::resizeToFit() {
    const CSize extent = measure();
    m_size = extent;
    setMinSize(extent);
    if (!m_hWnd) return;
    ::SetWindowPos(m_hWnd, ::GetParent(m_hWnd), 0, 0, extent.cx, extent.cy,
                   SWP_NOMOVE | SWP_NOZORDER);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBTextWnd::onDraw(XDC& dc) {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    if (m_bgColor != XDC::kNoColor) dc.FillRect(client, m_bgColor);
    m_font.select(dc.cdc());
    dc.setTextColor(m_fgColor);
    dc.draw(m_text, &client, DT_CENTER | DT_VCENTER);
}
