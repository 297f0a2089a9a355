#include "YBButtonWnd.h"

#include <tessel/platform/win_events.h>
#include <tessel/windows/YBKeyboardCues.h>

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
    if (m_hWnd) ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    if (repaint) this->repaint();
}

void YBButtonWnd::select(bool select, bool repaint) {
    if (m_selected == select) return;
    m_selected = select;
    if (m_hWnd) ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
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
        sendCommand();
    }
}

bool YBButtonWnd::sendCommand() {
    const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (!parent || m_disabled) return false;
    ::SendMessageW(parent, WM_COMMAND, static_cast<WPARAM>(m_id), 0);
    return true;
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

namespace {
CPoint centreOf(HWND window) {
    CRect client;
    ::GetClientRect(window, &client);
    return client.CenterPoint();
}
}  // namespace

void YBButtonWnd::click() {
    onLeftMouseButton(0, centreOf(m_hWnd));
}

DWORD YBButtonWnd::keyboardStyle() const {
    return m_disabled ? 0 : WS_TABSTOP;
}

UINT YBButtonWnd::keyboardDlgCode(const MSG* msg) {
    UINT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    // Enter clicks through the button itself, on the key down.
    if (msg && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || (msg->wParam == VK_ESCAPE && m_pressed)))
        code |= DLGC_WANTMESSAGE;
    return code;
}

bool YBButtonWnd::keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool repeat = HIWORD(lParam) & KF_REPEAT;
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                if (!repeat) onLeftMouseButton(1, centreOf(m_hWnd));
                return true;
            }
            if (wParam == VK_RETURN) {
                if (!repeat) click();
                return true;
            }
            if (wParam != VK_ESCAPE || !m_pressed) return false;
            m_pressed = false;
            repaint();
            return true;
        case WM_KEYUP:
            if (wParam != VK_SPACE || !m_pressed) return false;
            click();
            return true;
        case BM_CLICK:
            click();
            return true;
        case WM_KILLFOCUS:
            m_pressed = false;
            repaint();
            return false;
        case WM_SETFOCUS:
        case WM_UPDATEUISTATE:
            repaint();
            return false;
        default:
            return false;
    }
}

void YBButtonWnd::drawKeyboardCues(HDC dc) {
    if (!YBKeyboardCues::showsFocus(m_hWnd)) return;
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    YBKeyboardCues::drawFocusRing(dc, client);
}
