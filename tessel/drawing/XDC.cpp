#include "XDC.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

std::wstring expandTabs(const std::wstring& text, double tabSize) {
    const int stop = std::clamp(static_cast<int>(std::lround(tabSize)), 1, 64);
    std::wstring out;
    int column = 0;
    for (wchar_t c : text) {
        if (c == L'\t') {
            do {
                out.push_back(L' ');
            } while (++column % stop != 0);
        } else {
            out.push_back(c);
            column = (c == L'\n') ? 0 : column + 1;
        }
    }
    return out;
}

}  // namespace

void XDC::FillRect(const CRect& rect, COLORREF color) {
    if (!m_dc || color == kNoColor || !aboutToDraw(&rect, true)) return;
    ::SetDCBrushColor(m_dc->m_hDC, color);
    ::FillRect(m_dc->m_hDC, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void XDC::FillRect(const CRect& rect, CBrush* brush) {
    if (!m_dc || !brush || !brush->m_hObject) return;
    // What the brush paints: a null (hollow) brush nothing at all; only a
    // solid one covers every pixel, so only it may count as opaque.
    LOGBRUSH description{};
    if (::GetObject(brush->m_hObject, sizeof description, &description) != sizeof description ||
        description.lbStyle == BS_NULL) {
        return;
    }
    if (!aboutToDraw(&rect, description.lbStyle == BS_SOLID)) return;
    m_dc->FillRect(&rect, brush);
}

void XDC::FrameRect(const CRect& rect, COLORREF color) {
    if (!m_dc || color == kNoColor || !aboutToDraw(&rect, false)) return;
    ::SetDCBrushColor(m_dc->m_hDC, color);
    ::FrameRect(m_dc->m_hDC, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void XDC::drawBox(const CRect& rect, COLORREF borderColor, int borderWidth, COLORREF fillColor,
                  int cornerRadius) {
    if (!m_dc || rect.IsRectEmpty()) return;
    if (!aboutToDraw(&rect, cornerRadius <= 0 && fillColor != kNoColor)) return;
    const HDC dc = m_dc->m_hDC;
    const int border =
        borderColor == kNoColor
            ? 0
            : std::clamp(borderWidth, 0, std::min(rect.Width(), rect.Height()) / 2 + 1);
    if (cornerRadius > 0) {
        // Rounded: the platform's round rectangle with an inside-frame pen.
        // The brush and pen are put back; the pen stays for the next box.
        ::SetDCBrushColor(dc, fillColor == kNoColor ? 0 : fillColor);
        const HGDIOBJ previousBrush =
            ::SelectObject(dc, ::GetStockObject(fillColor == kNoColor ? NULL_BRUSH : DC_BRUSH));
        const HPEN pen = border > 0 ? boxPen(border, borderColor) : nullptr;
        const HGDIOBJ previousPen =
            ::SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : ::GetStockObject(NULL_PEN));
        // Without a pen GDI leaves the last row and column: give them back.
        const int extra = pen ? 0 : 1;
        ::RoundRect(dc, rect.left, rect.top, rect.right + extra, rect.bottom + extra,
                    2 * cornerRadius, 2 * cornerRadius);
        ::SelectObject(dc, previousPen);
        ::SelectObject(dc, previousBrush);
        return;
    }
    const HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    if (border == 1) {
        ::SetDCBrushColor(dc, borderColor);
        ::FrameRect(dc, &rect, brush);
    } else if (border > 1) {
        ::SetDCBrushColor(dc, borderColor);
        const RECT sides[4] = {
            {rect.left, rect.top, rect.right, rect.top + border},
            {rect.left, rect.bottom - border, rect.right, rect.bottom},
            {rect.left, rect.top + border, rect.left + border, rect.bottom - border},
            {rect.right - border, rect.top + border, rect.right, rect.bottom - border}};
        for (const RECT& side : sides)
            ::FillRect(dc, &side, brush);
    }
    CRect inside = rect;
    inside.DeflateRect(border, border);
    if (fillColor == kNoColor || inside.IsRectEmpty()) return;
    ::SetDCBrushColor(dc, fillColor);
    ::FillRect(dc, &inside, brush);
}

HPEN XDC::boxPen(int width, COLORREF color) {
    if (m_boxPen.handle && m_boxPen.width == width && m_boxPen.color == color)
        return m_boxPen.handle;
    if (m_boxPen.handle) ::DeleteObject(m_boxPen.handle);
    m_boxPen = {::CreatePen(PS_INSIDEFRAME, width, color), width, color};
    return m_boxPen.handle;
}

XDC::~XDC() {
    if (m_boxPen.handle) ::DeleteObject(m_boxPen.handle);
}

void XDC::setTextColor(COLORREF color) {
    if (m_dc && color != kNoColor) m_dc->SetTextColor(color);
}

void XDC::draw(const kelp::KLString& text, CRect* rect, UINT format) {
    if (rect) drawText(text, *rect, format);
}

bool XDC::textShows(const CRect& rect, UINT format) const {
    // Measuring draws nothing; unclipped text may reach beyond the rectangle.
    return (format & DT_CALCRECT) || aboutToDraw((format & DT_NOCLIP) ? nullptr : &rect, false);
}

void XDC::drawText(const kelp::KLString& text, CRect& rect, UINT format) {
    if (m_dc && textShows(rect, format)) placeText(text, rect, format);
}

void XDC::placeText(const kelp::KLString& text, CRect& rect, UINT format) {
    const HDC dc = m_dc->m_hDC;
    // Text goes over the box or fill painted below it, never on a background of its own.
    const int previousMode = ::GetBkMode(dc);
    if (previousMode != TRANSPARENT) ::SetBkMode(dc, TRANSPARENT);
    placeLines(text, rect, format);
    if (previousMode != TRANSPARENT) ::SetBkMode(dc, previousMode);
}

void XDC::placeLines(const kelp::KLString& text, CRect& rect, UINT format) {
    const HDC dc = m_dc->m_hDC;
    if ((format & (DT_VCENTER | DT_BOTTOM)) && !(format & DT_SINGLELINE) &&
        !(format & DT_CALCRECT)) {
        // GDI places only single lines vertically: measure the block, then place it.
        const UINT flow = format & ~(DT_VCENTER | DT_BOTTOM);
        CRect measured = rect;
        const int height = ::DrawTextW(dc, text, text.length(), &measured, flow | DT_CALCRECT);
        CRect placed = rect;
        placed.top = (format & DT_VCENTER) ? rect.top + rect.Height() / 2 - height / 2
                                           : rect.bottom - height;
        placed.bottom = placed.top + height;
        if (!(format & DT_NOCLIP)) {
            // Keep the clip of the original rectangle, not of the moved one.
            const int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
            ::DrawTextW(dc, text, text.length(), &placed, flow | DT_NOCLIP);
            ::RestoreDC(dc, saved);
        } else {
            ::DrawTextW(dc, text, text.length(), &placed, flow);
        }
        return;
    }
    ::DrawTextW(dc, text, text.length(), &rect, format);
}

void XDC::drawText(const kelp::KLString& text, CRect& rect, UINT format, const GFont& font,
                   COLORREF color, double tabSize, double* height) {
    if (!m_dc) return;
    const bool shows = textShows(rect, format);
    if (!shows && !height) return;  // not even the font is selected
    const HDC dc = m_dc->m_hDC;
    const HGDIOBJ previousFont = ::SelectObject(dc, font.handle());
    const COLORREF textColor = color == kNoColor ? font.m_color : color;
    const COLORREF previousColor = ::SetTextColor(dc, textColor);
    kelp::KLString expanded;  // only made when there are tabs to expand
    const bool tabs = (format & DT_EXPANDTABS) && text.str().find(L'\t') != std::wstring::npos;
    if (tabs) expanded = kelp::KLString(std::wstring_view(expandTabs(text.str(), tabSize)));
    const kelp::KLString& shown = tabs ? expanded : text;
    if (height) {
        CRect measured = rect;
        *height = ::DrawTextW(dc, shown, shown.length(), &measured,
                              (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    }
    if (shows) placeText(shown, rect, format & ~DT_EXPANDTABS);
    if (previousColor != textColor) ::SetTextColor(dc, previousColor);
    if (previousFont != font.handle()) ::SelectObject(dc, previousFont);
}

CSize XDC::GetTextExtent(const kelp::KLString& text) const {
    return m_dc ? m_dc->GetTextExtent(text, text.length()) : CSize();
}

CSize XDC::getTextExtent(const kelp::KLString& text, int maxWidth, UINT format) const {
    if (!m_dc || text.isEmpty()) return CSize();
    CRect r(0, 0, std::max(maxWidth, 1), 0);
    UINT flags = (format & ~(DT_VCENTER | DT_BOTTOM | DT_NOCLIP)) | DT_CALCRECT;
    if (!(flags & DT_SINGLELINE)) flags |= DT_WORDBREAK;
    const int height = ::DrawTextW(m_dc->m_hDC, text, text.length(), &r, flags);
    return CSize(r.Width(), height);
}
