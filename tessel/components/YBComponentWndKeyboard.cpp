// Keyboard operation of the component host: its own focused component, Tab
// through the components, the button keys and the scroll keys. Reached only
// through YBKeyboardItem, so a host without keyboard operation never runs it.
#include <algorithm>
#include <climits>
#include <cstdint>

#include <tessel/components/YBButton.h>
#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/windows/YBKeyboardCues.h>
#include <tessel/windows/YBScrollKey.h>

#include "YBComponentWnd.h"

namespace {

bool isDown(int key) {
    return ::GetKeyState(key) < 0;
}

CPoint centreOf(const YBComponent& component) {
    return component.rect().CenterPoint();
}

const kelp::KLString* captionOf(const YBComponent& component) {
    if (const auto* text = dynamic_cast<const YBTextButton*>(&component)) return &text->getText();
    if (const auto* image = dynamic_cast<const YBImageButton*>(&component))
        return &image->getButtonText();
    return nullptr;
}

// Pressed and released where it is, as a click of the left button: the
// release sends the command, and whoever handles it may delete the button
// and the host, so nothing may follow this.
void click(YBComponent& button) {
    const CPoint centre = centreOf(button);
    button.onLeftMouseButton(1, centre);
    button.onLeftMouseButton(0, centre);
}

// How far to scroll, in pixels, so that [first, end) lies within [0, extent):
// a whole number of bar units, the start kept in view when it cannot all fit.
int intoView(long long first, long long end, long long extent, int scale) {
    long long move = 0;
    if (first < 0) {
        move = first;
    } else if (end > extent) {
        move = std::min(end - extent, first);
    }
    const long long units = (std::abs(move) + scale - 1) / scale;
    return static_cast<int>(
        std::clamp<long long>(move < 0 ? -units * scale : units * scale, INT_MIN, INT_MAX));
}

}  // namespace

bool YBComponentWnd::isFocusable(const YBComponent& component) {
    return component.isEnabled() && component.isVisible() &&
           dynamic_cast<const YBButton*>(&component) != nullptr;
}

YBComponent* YBComponentWnd::focusedButton() const {
    return m_focused && isFocusable(*m_focused) ? m_focused : nullptr;
}

int YBComponentWnd::focusedIndex() const {
    return m_focused ? indexOf(*m_focused) : -1;
}

int YBComponentWnd::nextFocusable(int from, bool forward) const {
    const int count = getComponentCount();
    const int step = forward ? 1 : -1;
    int i = from < 0 ? (forward ? 0 : count - 1) : from + step;
    for (; i >= 0 && i < count; i += step)
        if (isFocusable(*m_components.get(i))) return i;
    return -1;
}

int YBComponentWnd::tabTarget(bool forward) const {
    const int next = nextFocusable(focusedIndex(), forward);
    if (next >= 0) return next;
    // The only tab stop of its window: Tab goes round inside it.
    const CWnd* top = GetTopLevelParent();
    if (!top || ::GetNextDlgTabItem(top->m_hWnd, m_hWnd, !forward) != m_hWnd) return -1;
    return nextFocusable(-1, forward);
}

DWORD YBComponentWnd::keyboardStyle() const {
    return nextFocusable(-1, true) >= 0 ? WS_TABSTOP : 0;
}

UINT YBComponentWnd::keyboardDlgCode(const MSG* msg) {
    UINT code = DLGC_WANTARROWS;
    if (!msg || msg->message != WM_KEYDOWN) return code;
    const YBComponent* focused = focusedButton();
    switch (msg->wParam) {
        case VK_TAB:
            if (tabTarget(!isDown(VK_SHIFT)) >= 0) code |= DLGC_WANTTAB;
            break;
        case VK_RETURN:
            if (focused) code |= DLGC_WANTMESSAGE;
            break;
        case VK_ESCAPE:
            if (focused && focused->isPressed()) code |= DLGC_WANTMESSAGE;
            break;
        default:
            break;
    }
    return code;
}

bool YBComponentWnd::activateMnemonic(wchar_t letter) {
    for (int i = 0; i < getComponentCount(); ++i) {
        YBComponent* component = m_components.get(i);
        if (!isFocusable(*component)) continue;
        const kelp::KLString* caption = captionOf(*component);
        if (!caption || !YBKeyboardCues::hasMnemonic(*caption, letter)) continue;
        click(*component);
        return true;
    }
    return false;
}

void YBComponentWnd::cancelPress() {
    if (!m_focused || !m_focused->isPressed()) return;
    m_focused->clearFlags(YBComponent::pressed);
    m_focused->invalidate();
}

void YBComponentWnd::focusComponent(int index) {
    YBComponent* next = index >= 0 ? m_components.get(index) : nullptr;
    if (next != m_focused) cancelPress();
    m_focused = next;
    if (next) {
        // Its deletion must reach this host even if it was listed without addComponent.
        next->m_host = this;
        next->m_hostIndex = index;
        scrollIntoView(*next);
        if (m_hWnd && ::GetFocus() == m_hWnd) next->notifyAccess(EVENT_OBJECT_FOCUS);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool YBComponentWnd::focusOn(YBComponent& component) {
    const int index = indexOf(component);
    if (index < 0 || !isFocusable(component) || !m_hWnd) return false;
    // Focused first, so that the host's own focus handling keeps it.
    if (&component != m_focused) cancelPress();
    m_focused = &component;
    if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
    focusComponent(index);
    return true;
}

void YBComponentWnd::scrollIntoView(const YBComponent& component) {
    CRect client;
    getClientRect(client);
    const CRect r = component.rect();
    const int dx = isFlagSet(horizontalScrollBar)
                       ? intoView(r.left, r.right, client.Width(), m_hScrollScale)
                       : 0;
    const int dy = isFlagSet(verticalScrollBar)
                       ? intoView(r.top, r.bottom, client.Height(), m_vScrollScale)
                       : 0;
    if (dx == 0 && dy == 0) return;
    // Not a step: a step stops at nMax - nPage, short of the last unit at scales above 1.
    const CPoint now = getScrollPosition();
    scrollToPosition(CPoint(static_cast<int>(std::clamp(0LL + now.x + dx, 0LL, 0LL + INT_MAX)),
                            static_cast<int>(std::clamp(0LL + now.y + dy, 0LL, 0LL + INT_MAX))));
}

bool YBComponentWnd::keyDown(WPARAM key, bool repeat) {
    YBComponent* focused = focusedButton();
    switch (key) {
        case VK_TAB: {
            const int next = tabTarget(!isDown(VK_SHIFT));
            if (next < 0) return false;
            focusComponent(next);
            return true;
        }
        case VK_SPACE:
            if (!focused) return false;
            if (!repeat) focused->onLeftMouseButton(1, centreOf(*focused));
            return true;
        case VK_RETURN:
            if (!focused) return false;
            if (!repeat) click(*focused);
            return true;
        case VK_ESCAPE:
            if (!focused || !focused->isPressed()) return false;
            cancelPress();
            return true;
        default:
            break;
    }
    const YBScrollKey* scroll = YBScrollKey::find(key);
    if (!scroll) return false;
    ::SendMessageW(m_hWnd, scroll->message, scroll->code, 0);
    return true;
}

bool YBComponentWnd::keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            return keyDown(wParam, HIWORD(lParam) & KF_REPEAT);
        case WM_KEYUP: {
            YBComponent* focused = focusedButton();
            if (wParam != VK_SPACE || !focused || !focused->isPressed()) return false;
            focused->onLeftMouseButton(0, centreOf(*focused));
            return true;
        }
        case WM_SETFOCUS:
            // Tab enters at the first component and Shift+Tab at the last; any
            // other way in finds the one focused before.
            if (isDown(VK_TAB) || !focusedButton()) {
                focusComponent(nextFocusable(-1, !(isDown(VK_TAB) && isDown(VK_SHIFT))));
            } else {
                scrollIntoView(*m_focused);
                ::InvalidateRect(m_hWnd, nullptr, TRUE);
            }
            return false;
        case WM_KILLFOCUS:
            cancelPress();
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            return false;
        case WM_UPDATEUISTATE:
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
            return false;
        default:
            return false;
    }
}

void YBComponentWnd::drawKeyboardCues(HDC dc) {
    const YBComponent* focused = focusedButton();
    if (focused && YBKeyboardCues::showsFocus(m_hWnd))
        YBKeyboardCues::drawFocusRing(dc, focused->rect());
}
