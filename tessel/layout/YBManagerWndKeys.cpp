// The manager's keyboard operation: scroll keys of the focused window inside
// it, and the focus kept in view.
#include "YBManagerWnd.h"

#include <algorithm>
#include <climits>

#include <tessel/components/YBScrollBars.h>
#include <tessel/windows/YBScrollKey.h>

namespace {

bool isModifier(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

// The contents' move, in pixels, that brings [low, high) into [0, extent):
// the leading edge wins when the window is larger than the client.
long long moveIntoView(long long low, long long high, long long extent) {
    if (low < 0) return low;
    if (high > extent) return std::min(high - extent, low);
    return 0;
}

int saturate(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

BOOL YBManagerWnd::PreTranslateMessage(MSG* msg) {
    const bool key = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP;
    // The walk reaches here for the focused window and each of its ancestors.
    if (key && msg->hwnd != m_hWnd && ::IsChild(m_hWnd, msg->hwnd) && keyboardEnabled()) {
        if (msg->message == WM_KEYDOWN) {
            if (scrollForKey(*msg)) return TRUE;
        } else {
            const YBScrollKey* scroll = YBScrollKey::find(msg->wParam);
            const bool scrolledFor =
                scroll && isFlagSet(scroll->message == WM_VSCROLL ? verticalScrollBar
                                                                  : horizontalScrollBar);
            // A key-up arrives where the key left the focus; a scroll key
            // leaves it where it was and must not bring it back.
            const bool moved = msg->hwnd != m_shownFocus || msg->wParam == VK_TAB ||
                               msg->wParam == VK_F6;
            if (!scrolledFor && !isModifier(msg->wParam) && moved) {
                m_shownFocus = msg->hwnd;
                scrollIntoView(msg->hwnd);
            }
        }
    }
    return YBChildWnd::PreTranslateMessage(msg);
}

bool YBManagerWnd::scrollForKey(const MSG& msg) {
    const YBScrollKey* scroll = YBScrollKey::find(msg.wParam);
    if (!scroll) return false;
    if (!isFlagSet(scroll->message == WM_VSCROLL ? verticalScrollBar : horizontalScrollBar))
        return false;
    MSG asked = msg;
    const auto code = static_cast<UINT>(::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam,
                                                       reinterpret_cast<LPARAM>(&asked)));
    if (code & (DLGC_WANTARROWS | DLGC_WANTMESSAGE)) return false;
    ::SendMessageW(m_hWnd, scroll->message, MAKEWPARAM(scroll->code, 0), 0);
    return true;
}

void YBManagerWnd::scrollIntoView(HWND window) {
    CRect rect;
    if (!::GetWindowRect(window, &rect)) return;
    ScreenToClient(&rect);
    CRect client;
    getClientRect(client);
    const long long dx = isFlagSet(horizontalScrollBar)
                             ? moveIntoView(rect.left, rect.right, client.Width())
                             : 0;
    const long long dy = isFlagSet(verticalScrollBar)
                             ? moveIntoView(rect.top, rect.bottom, client.Height())
                             : 0;
    if (dx == 0 && dy == 0) return;
    moveBy(bars().step(saturate(dx), saturate(dy)));
}
