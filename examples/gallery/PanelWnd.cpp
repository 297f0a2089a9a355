#include "PanelWnd.h"

#include <tessel/drawing/Shades.h>

PanelWnd::PanelWnd(int id, std::wstring caption, COLORREF color)
    : m_id(id), m_caption(std::move(caption)), m_color(color) {}

void PanelWnd::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    const double shade = m_pressed ? 0.8 : m_hover ? 1.2 : 1.0;
    dc.drawBox(client, GetShade(m_color, 0.6), 2, GetShade(m_color, shade), 6);
    static const GFont font("Arial", 11, GFont::Bold, RGB(255, 255, 255));
    dc.drawText(m_caption.c_str(), client, DT_CENTER | DT_VCENTER | DT_SINGLELINE, font,
                RGB(255, 255, 255), 4.0, nullptr);
}

void PanelWnd::setLook(bool hover, bool pressed) {
    if (hover == m_hover && pressed == m_pressed) return;
    m_hover = hover;
    m_pressed = pressed;
    Invalidate();
}

void PanelWnd::onMouseMove(UINT, CPoint point) {
    CRect client;
    getClientRect(client);
    const bool inside = client.PtInRect(point);
    if (inside && !m_hover) trackMouseEvents(TME_LEAVE, 400);
    setLook(inside, m_pressed);
}

void PanelWnd::onMouseLeave() {
    setLook(false, m_pressed);
}

void PanelWnd::onLeftMouseButton(int action, CPoint point) {
    if (action != 0) {  // a press, or the double click in place of the second one
        SetCapture();
        setLook(true, true);
        return;
    }
    const bool wasPressed = m_pressed;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    CRect client;
    getClientRect(client);
    const bool inside = client.PtInRect(point);
    setLook(inside, false);
    if (wasPressed && inside)
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_id, 0),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

bool PanelWnd::onSetCursor(UINT hitTest, UINT) {
    if (hitTest != HTCLIENT) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}
