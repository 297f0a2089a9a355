#include "YBScreenDC.h"

#include <tessel/platform/win_user.h>

YBScreenDC::YBScreenDC() : m_handle(::GetDC(nullptr)), m_dc(CDC::FromHandle(m_handle)) {}

YBScreenDC::~YBScreenDC() {
    ::ReleaseDC(nullptr, m_handle);
}

CSize YBScreenDC::textExtent(const GFont& font, const kelp::KLString& text) {
    if (!m_dc) return CSize(0, 0);
    font.select(m_dc);
    if (text.isEmpty()) return CSize(0, 0);
    SIZE extent{};
    if (!::GetTextExtentPoint32W(m_handle, text, text.length(), &extent)) return CSize(0, 0);
    return CSize(extent.cx, extent.cy);
}
