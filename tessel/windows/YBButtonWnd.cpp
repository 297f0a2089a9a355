#include "YBButtonWnd.h"

namespace {
constexpr UINT kHoverTime = 400;
}

YBButtonWnd::YBButtonWnd(unsigned int id) : m_id(id) {}

YBButtonWnd::~YBButtonWnd() = default;

void YBButtonWnd::repaint() {
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBButtonWnd::enable(bool enable, bool repaint) {
    disable(!enable, repaint);
}

void YBButtonWnd::disable(bool disable, bool repaint) {
    if (m_disabled == disable) return;
    m_disabled = disable;
    if (repaint) this->repaint();
}

void YBButtonWnd::select(bool select, bool repaint) {
    if (m_selected == select) return;
    m_selected = select;
    if (repaint) this->repaint();
}

void YBButtonWnd::onLeftMouseButton(int action, CPoint) {
    if (action == 1) {
        m_pressed = true;
        repaint();
    } else if (action == 0) {
        m_pressed = false;
        repaint();
        // The parent may destroy this window while handling the command; nothing follows it.
        if (const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr; parent && !m_disabled)
            ::SendMessageW(parent, WM_COMMAND, static_cast<WPARAM>(m_id), 0);
    }
}

void YBButtonWnd::onMouseMove(UINT, CPoint) {
    if (m_mouseOver) return;
    m_mouseOver = true;
    trackMouseEvents(TME_LEAVE, kHoverTime);
    repaint();
}

void YBButtonWnd::onMouseLeave() {
    if (!m_mouseOver) return;
    m_mouseOver = false;
    m_pressed = false;
    trackMouseEvents(TME_CANCEL | TME_LEAVE, kHoverTime);
    repaint();
}
