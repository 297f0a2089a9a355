#include "YBButton.h"

YBButton::YBButton(unsigned int id, CWnd* owner) : YBComponent(id, owner) {}

YBButton::~YBButton() = default;

void YBButton::onMouseEnter() {
    if (isMouseOver()) return;
    clearFlags(pressed);  // entering always starts unpressed
    setFlags(mouseOver);
    invalidate();
}

void YBButton::onMouseMove(UINT, CPoint) {
    if (isMouseOver()) return;
    setFlags(mouseOver);
    invalidate();
}

void YBButton::onMouseLeave() {
    if (!isMouseOver()) return;
    clearFlags(mouseOver | pressed);
    invalidate();
}

void YBButton::onLeftMouseButton(int action, CPoint) {
    if (action == 1 || action == 2) {
        setFlags(pressed);
        invalidate();
        return;
    }
    if (action != 0) return;
    const bool wasPressed = isPressed();
    clearFlags(pressed);
    invalidate();
    if (wasPressed) sendCommand();
}

bool YBButton::sendCommand() {
    if (!isEnabled() || !m_owner || !m_owner->m_hWnd) return false;
    ::SendMessageW(m_owner->m_hWnd, WM_COMMAND, static_cast<WPARAM>(m_id), 0);
    return true;
}
