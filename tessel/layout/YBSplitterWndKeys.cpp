// The splitter's keyboard operation: F6 between panes, F8 and the keys of a
// focused bar.
#include "YBSplitterWnd.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <tessel/windows/YBKeyboardCues.h>

#include "YBFocusCues.h"

namespace {

bool shiftDown() {
    return ::GetKeyState(VK_SHIFT) < 0;
}

bool focusable(HWND window) {
    return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window);
}

}  // namespace

BOOL YBSplitterWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_F6 || msg->wParam == VK_F8) &&
        keyboardEnabled()) {
        const bool done = msg->wParam == VK_F6 ? focusNextPane(shiftDown()) : focusNextBar();
        if (done) return TRUE;
    }
    return YBManagerWnd::PreTranslateMessage(msg);
}

bool YBSplitterWnd::barFocused() const {
    return m_keyBar >= 0 && m_keyBar < getPaneCount() - 1 && m_hWnd && ::GetFocus() == m_hWnd;
}

int YBSplitterWnd::paneHolding(HWND window) const {
    for (int i = 0; i < getPaneCount(); ++i) {
        const YBSplitterPane* p = pane(i);
        const HWND paneWindow = p && p->getWnd() ? p->getWnd()->m_hWnd : nullptr;
        if (paneWindow && (paneWindow == window || ::IsChild(paneWindow, window))) return i;
    }
    return -1;
}

HWND YBSplitterWnd::paneTabItem(int index, bool backwards) const {
    const YBSplitterPane* p = pane(index);
    YBChildWnd* wnd = p ? p->getWnd() : nullptr;
    if (!wnd || !focusable(wnd->m_hWnd)) return nullptr;
    if (const auto* nested = dynamic_cast<const YBSplitterWnd*>(wnd); nested && backwards) {
        for (int i = nested->getPaneCount() - 1; i >= 0; --i)
            if (const HWND item = nested->paneTabItem(i, true)) return item;
        return nullptr;
    }
    if (wnd->GetStyle() & WS_TABSTOP) return wnd->m_hWnd;
    const HWND first = ::GetNextDlgTabItem(wnd->m_hWnd, nullptr, FALSE);
    const bool inside = first && ::IsChild(wnd->m_hWnd, first) && focusable(first) &&
                        (::GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP);
    return inside ? first : nullptr;
}

bool YBSplitterWnd::insideSplitter() const {
    for (HWND up = ::GetParent(m_hWnd); up; up = ::GetParent(up))
        if (dynamic_cast<YBSplitterWnd*>(CWnd::FromHandlePermanent(up))) return true;
    return false;
}

bool YBSplitterWnd::focusNextPane(bool backwards) {
    const int count = getPaneCount();
    if (count == 0) return false;
    int current = paneHolding(::GetFocus());
    if (barFocused())
        current = backwards ? m_keyBar + 1 : m_keyBar;
    else if (current < 0)
        current = backwards ? count : -1;
    const bool wraps = !insideSplitter();
    for (int step = 1; step <= count; ++step) {
        long long index = 0LL + current + (backwards ? -step : step);
        if (index < 0 || index >= count) {
            if (!wraps) return false;  // the splitter around moves on from this one
            index = (index % count + count) % count;
        }
        if (const HWND item = paneTabItem(static_cast<int>(index), backwards)) {
            if (barFocused()) ::InvalidateRect(m_hWnd, nullptr, FALSE);  // the ring goes
            m_keyBar = -1;
            ::SetFocus(item);
            YBFocusCues::show(m_hWnd);  // the keyboard was used, as after Tab
            return true;
        }
    }
    return false;
}

bool YBSplitterWnd::focusNextBar() {
    const int bars = getPaneCount() - 1;
    if (bars < 1) return false;
    if (barFocused()) {
        m_keyBar = (m_keyBar + 1) % bars;
    } else {
        m_focusBeforeBar = ::GetFocus();
        m_sizesBeforeBar.clear();
        for (int i = 0; i < getPaneCount(); ++i) {
            const YBSplitterPane* p = pane(i);
            m_sizesBeforeBar.push_back(p ? PaneSizes{p->currentSize(), p->preferredSize()}
                                         : PaneSizes{0, 0});
        }
        m_keyBar = 0;
        ::SetFocus(m_hWnd);
    }
    YBFocusCues::show(m_hWnd);  // the keyboard was used, as after Tab
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

long long YBSplitterWnd::reachableMove(int index, long long pixels) {
    // Every move short of the farthest one the panes allow is allowed too:
    // the farthest is found by halving.
    const int sign = pixels < 0 ? -1 : 1;
    long long low = 0, high = std::min<long long>(std::llabs(pixels), INT_MAX);
    while (low < high) {
        const long long middle = low + (high - low + 1) / 2;
        const int delta = static_cast<int>(sign * middle);
        if (canAdjustSize(index, delta, -1) && canAdjustSize(index + 1, -delta, +1))
            low = middle;
        else
            high = middle - 1;
    }
    return sign * low;
}

void YBSplitterWnd::moveBar(int index, long long pixels) {
    if (index < 0 || index >= getPaneCount() - 1) return;
    const long long move = reachableMove(index, pixels);
    if (move != 0) moveSpace(index, static_cast<int>(move));
}

bool YBSplitterWnd::barRange(int index, int& least, int& position, int& most) {
    if (index < 0 || index >= getPaneCount() - 1) return false;
    const CRect r = m_bars.get(index).m_rect;
    position = isVerticalSplit() ? r.top : r.left;
    long long before = 0, after = 0;  // what the panes on each side of the bar hold
    for (int i = 0; i < getPaneCount(); ++i)
        if (const YBSplitterPane* p = pane(i)) (i <= index ? before : after) += p->currentSize();
    least =
        static_cast<int>(std::max<long long>(INT_MIN, position + reachableMove(index, -before)));
    most = static_cast<int>(std::min<long long>(INT_MAX, position + reachableMove(index, after)));
    return true;
}

void YBSplitterWnd::leaveBar(bool restore) {
    if (restore && m_sizesBeforeBar.size() == static_cast<std::size_t>(getPaneCount())) {
        for (int i = 0; i < getPaneCount(); ++i) {
            YBSplitterPane* p = pane(i);
            if (!p) continue;
            p->currentSize(m_sizesBeforeBar[static_cast<std::size_t>(i)].current);
            p->preferredSize(m_sizesBeforeBar[static_cast<std::size_t>(i)].preferred);
        }
        movePanes();
    }
    m_keyBar = -1;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (::IsWindow(m_focusBeforeBar)) ::SetFocus(m_focusBeforeBar);
}

bool YBSplitterWnd::barKey(WPARAM key) {
    long long before = 0, after = 0;  // what the panes on each side of the bar hold
    for (int i = 0; i < getPaneCount(); ++i)
        if (const YBSplitterPane* p = pane(i)) (i <= m_keyBar ? before : after) += p->currentSize();
    const WPARAM back = isVerticalSplit() ? VK_UP : VK_LEFT;
    const WPARAM on = isVerticalSplit() ? VK_DOWN : VK_RIGHT;
    if (key == back)
        moveBar(m_keyBar, -keyboardStep);
    else if (key == on)
        moveBar(m_keyBar, keyboardStep);
    else if (key == VK_HOME)
        moveBar(m_keyBar, -before);
    else if (key == VK_END)
        moveBar(m_keyBar, after);
    else if (key == VK_RETURN || key == VK_ESCAPE)
        leaveBar(key == VK_ESCAPE);
    else
        return false;
    return true;
}

bool YBSplitterWnd::keyboardMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_KEYDOWN) return barFocused() && barKey(wParam);
    if (message == WM_KILLFOCUS && m_keyBar >= 0) {
        m_keyBar = -1;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);  // the ring goes
    } else if (message == WM_UPDATEUISTATE && barFocused()) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return false;
}

void YBSplitterWnd::drawKeyboardCues(HDC dc) {
    if (barFocused() && YBKeyboardCues::showsFocus(m_hWnd))
        YBKeyboardCues::drawFocusRing(dc, m_bars.get(m_keyBar).m_rect);
}

UINT YBSplitterWnd::keyboardDlgCode(const MSG* msg) {
    if (!barFocused()) return 0;
    const bool keeps = msg && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE ||
                               msg->wParam == VK_HOME || msg->wParam == VK_END);
    return keeps ? DLGC_WANTARROWS | DLGC_WANTMESSAGE : DLGC_WANTARROWS;
}
