#include <tessel/drawing/XImage.h>

#include <tessel/drawing/XDC.h>

#include <algorithm>
#include <cmath>

namespace {

// The largest rectangle of the image's proportions inside `area`, centred.
CRect fitted(const CRect& area, int width, int height) {
    const double scale = std::min(static_cast<double>(area.Width()) / width,
                                  static_cast<double>(area.Height()) / height);
    const int w = static_cast<int>(std::lround(width * scale));
    const int h = static_cast<int>(std::lround(height * scale));
    const int left = area.left + (area.Width() - w) / 2;
    const int top = area.top + (area.Height() - h) / 2;
    return CRect(left, top, left + w, top + h);
}

}  // namespace

bool XImage::load(const kelp::KLString& path, unsigned flags) {
    if (!m_data.load(path.toUtf8())) return false;
    if (flags & LoadGrayscale) m_data.grayscale();
    return true;
}

void XImage::draw(XDC& dc, CRect rect, unsigned mode, short alpha, XImage* second) {
    draw(static_cast<HDC>(dc), rect, mode, alpha, second);
}

void XImage::draw(HDC dc, CRect rect, unsigned mode, short alpha, XImage* second) {
    const BYTE opacity = static_cast<BYTE>(std::clamp<short>(alpha, 0, 255));
    drawOne(dc, rect, mode, opacity);
    if (second) second->drawOne(dc, rect, mode, opacity);
}

void XImage::drawOne(HDC dc, const CRect& rect, unsigned mode, BYTE alpha) const {
    if (!m_data.valid() || rect.Width() <= 0 || rect.Height() <= 0) return;
    const CRect target = (mode & KeepAspect) ? fitted(rect, m_data.width(), m_data.height()) : rect;
    m_data.draw(dc, target, nullptr, (mode & Smooth) != 0, alpha);
}
