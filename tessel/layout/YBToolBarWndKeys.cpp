// The toolbar's keyboard operation: a focused button, moved by the arrows
// and activated by Space and Enter.
#include "YBToolBarWnd.h"

#include <tessel/windows/YBKeyboardCues.h>

#include "YBFocusCues.h"

int YBToolBarWnd::buttonFrom(int index, int step) const {
    for (long long i = index; i >= 0 && i < entryCount(); i += step)
        if (!m_entries.get(static_cast<int>(i))->m_separator) return static_cast<int>(i);
    return -1;
}

int YBToolBarWnd::focusedEntry() const {
    const YBToolBarEntry* kept = entry(m_focusEntry);
    return kept && !kept->m_separator ? m_focusEntry : buttonFrom(0, 1);
}

void YBToolBarWnd::focusEntry(int index) {
    YBFocusCues::show(m_hWnd);  // the arrows navigate, as Tab does
    const YBToolBarEntry* button = entry(index);
    if (!button || button->m_separator || index == focusedEntry()) return;
    m_focusEntry = index;
    m_spaceEntry = -1;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (::GetFocus() == m_hWnd) notifyEntry(EVENT_OBJECT_FOCUS, index);
}

bool YBToolBarWnd::sendCommand(int index) {
    const YBToolBarEntry* button = entry(index);
    const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (!button || button->m_separator || !parent || !::IsWindowEnabled(m_hWnd)) return false;
    ::SendMessageW(parent, WM_COMMAND, static_cast<WPARAM>(button->m_id), 0);
    return true;
}

bool YBToolBarWnd::key(bool down, WPARAM key, bool repeated) {
    const int focused = focusedEntry();
    if (down && (key == VK_LEFT || key == VK_UP)) {
        focusEntry(buttonFrom(focused - 1, -1));
    } else if (down && (key == VK_RIGHT || key == VK_DOWN)) {
        focusEntry(buttonFrom(focused + 1, 1));
    } else if (down && key == VK_RETURN) {
        if (!repeated) sendCommand(focused);
    } else if (key == VK_SPACE) {
        if (down && !repeated) {
            m_spaceEntry = focused;
        } else if (!down) {
            const int pressed = m_spaceEntry;
            m_spaceEntry = -1;
            if (pressed >= 0 && pressed == focused) sendCommand(pressed);
        }
    } else if (down && key == VK_ESCAPE) {
        m_spaceEntry = -1;
    } else {
        return false;
    }
    return true;
}

bool YBToolBarWnd::keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            return key(message == WM_KEYDOWN, wParam, (HIWORD(lParam) & KF_REPEAT) != 0);
        case WM_KILLFOCUS:
            m_spaceEntry = -1;
            [[fallthrough]];
        case WM_SETFOCUS:
        case WM_UPDATEUISTATE:
            ::InvalidateRect(m_hWnd, nullptr, FALSE);  // the ring comes or goes
            return false;
        default:
            return false;
    }
}

void YBToolBarWnd::drawKeyboardCues(HDC dc) {
    const YBToolBarEntry* focused = entry(focusedEntry());
    if (focused && YBKeyboardCues::showsFocus(m_hWnd))
        YBKeyboardCues::drawFocusRing(dc, focused->m_rect);
}

UINT YBToolBarWnd::keyboardDlgCode(const MSG* msg) {
    // Enter activates the button instead of the dialog's default; Escape
    // cancels a held Space instead of the dialog.
    const bool keeps =
        msg && (msg->wParam == VK_RETURN || (msg->wParam == VK_ESCAPE && m_spaceEntry >= 0));
    return keeps ? DLGC_WANTARROWS | DLGC_WANTMESSAGE : DLGC_WANTARROWS;
}
