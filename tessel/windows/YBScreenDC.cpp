#include "YBScreenDC.h"

#include <tessel/platform/win_user.h>

YBScreenDC::YBScreenDC() {
    m_dc.Attach(::GetDC(nullptr));
}

YBScreenDC::~YBScreenDC() {
    ::ReleaseDC(nullptr, m_dc.Detach());
}

CSize YBScreenDC::textExtent(const GFont& font, const kelp::KLString& text) {
    if (!m_dc.m_hDC) return CSize(0, 0);
    font.select(&m_dc);
    if (text.isEmpty()) return CSize(0, 0);
    SIZE extent{};
    if (!::GetTextExtentPoint32W(m_dc.m_hDC, text, text.length(), &extent)) return CSize(0, 0);
    return CSize(extent.cx, extent.cy);
}
