#include "YBText.h"

#include <tessel/windows/YBScreenDC.h>

namespace {
constexpr int kUnboundedWidth = 10000;
}

YBText::YBText(const kelp::KLString& text, const GFont& font, unsigned int style, unsigned int id,
               CWnd* owner)
    : YBComponent(id, owner), m_text(text), m_font(font), m_style(style) {
    YBScreenDC screen;
    XDC dc(screen.cdc());
    calcSizes(dc, kUnboundedWidth);
    setInitialSize(getMinSize());
}

YBText::~YBText() = default;

void YBText::text(const kelp::KLString& text) {
    if (text == m_text) return;
    m_text = text;
    if (host()) notifyAccess(EVENT_OBJECT_NAMECHANGE);  // listed, so on the host's thread
}

void YBText::calcSizes(XDC& dc, int maxWidth) {
    m_font.select(dc.cdc());
    setMinSize(dc.getTextExtent(m_text, maxWidth > 0 ? maxWidth : kUnboundedWidth, m_style));
}

void YBText::onDraw(XDC& dc) {
    CRect rect = m_rect;
    if (m_bgColor != XDC::kNoColor) dc.FillRect(rect, m_bgColor);
    if (m_bdColor != XDC::kNoColor) dc.FrameRect(rect, m_bdColor);
    m_font.select(dc.cdc());
    dc.draw(m_text, &rect, m_style);
}
