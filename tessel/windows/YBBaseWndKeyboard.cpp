// Keyboard operation of the toolkit's windows: the opt-in on the top-level
// window, the styles its keyboard items take, the routing of their messages
// and the dialog navigation of the top-level's message pre-translation.
// Nothing here acts until enableKeyboard was called.
#include "YBBaseWnd.h"

#include <tessel/windows/YBKeyboardItem.h>

namespace {

// The styles that follow YBKeyboardItem's answers while keyboard operation is on.
constexpr DWORD kItemStyles = WS_TABSTOP | WS_GROUP;
constexpr DWORD kItemExStyles = WS_EX_CONTROLPARENT;

bool isChildWindow(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0;
}

HWND topLevelOf(HWND window) {
    while (window && isChildWindow(window)) {
        const HWND parent = ::GetParent(window);
        if (!parent) break;
        window = parent;
    }
    return window;
}

const YBBaseWnd* toolkitWindow(HWND window) {
    return dynamic_cast<const YBBaseWnd*>(CWnd::FromHandlePermanent(window));
}

YBKeyboardItem* keyboardItemOf(HWND window) {
    return dynamic_cast<YBKeyboardItem*>(CWnd::FromHandlePermanent(window));
}

bool isItemMessage(UINT message) {
    switch (message) {
        case WM_GETDLGCODE:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
        case BM_CLICK:
            return true;
        default:
            return false;
    }
}

void replaceBits(HWND window, int index, DWORD managed, DWORD wanted) {
    const auto old = static_cast<DWORD>(::GetWindowLongPtrW(window, index));
    const DWORD now = (old & ~managed) | wanted;
    if (now != old) ::SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(now));
}

// The descendants of `parent`, depth first in child order (the tab order),
// until `visit` answers true.
template <class Visit>
bool anyDescendant(HWND parent, const Visit& visit) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (visit(child) || anyDescendant(child, visit)) return true;
    }
    return false;
}

void applyItemStyles(HWND topLevel) {
    anyDescendant(topLevel, [](HWND window) {
        if (const YBKeyboardItem* item = keyboardItemOf(window)) {
            replaceBits(window, GWL_STYLE, kItemStyles, item->keyboardStyle());
            replaceBits(window, GWL_EXSTYLE, kItemExStyles, item->keyboardExStyle());
        }
        return false;
    });
}

// The character a key message offers as a mnemonic, as IsDialogMessage takes
// it: any with Alt, and one typed alone when the focus takes no characters.
wchar_t mnemonicOf(const MSG& msg) {
    const auto ch = static_cast<wchar_t>(msg.wParam);
    if (ch <= L' ') return 0;
    if (msg.message == WM_SYSCHAR) return ch;
    if (msg.message != WM_CHAR) return 0;
    const LRESULT code =
        ::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) ? 0 : ch;
}

// The first shown, enabled keyboard item in tab order whose windowless items take it.
bool activateMnemonic(HWND topLevel, wchar_t letter) {
    const auto takes = [letter](HWND window) {
        if (!::IsWindowVisible(window) || !::IsWindowEnabled(window)) return false;
        YBKeyboardItem* item = keyboardItemOf(window);
        return item && item->activateMnemonic(letter);
    };
    return takes(topLevel) || anyDescendant(topLevel, takes);
}

}  // namespace

void YBBaseWnd::enableKeyboard() {
    m_keyboard = true;
    if (m_hWnd) applyItemStyles(m_hWnd);
}

bool YBBaseWnd::keyboardEnabled() const {
    if (!m_hWnd) return m_keyboard;
    const HWND top = topLevelOf(m_hWnd);
    if (top == m_hWnd) return m_keyboard;
    const YBBaseWnd* topLevel = toolkitWindow(top);
    return topLevel && topLevel->m_keyboard;
}

YBKeyboardItem* YBBaseWnd::keyboardItem() {
    // Asked at every paint: most windows go without the keyboard, and asking
    // the top-level window is cheaper than the cross-cast.
    return keyboardEnabled() ? dynamic_cast<YBKeyboardItem*>(this) : nullptr;
}

void YBBaseWnd::addKeyboardStyles(CREATESTRUCT& cs) {
    if (!(cs.style & WS_CHILD) || !cs.hwndParent) return;
    const auto* item = dynamic_cast<const YBKeyboardItem*>(this);
    const YBBaseWnd* topLevel = item ? toolkitWindow(topLevelOf(cs.hwndParent)) : nullptr;
    if (!topLevel || !topLevel->m_keyboard) return;
    cs.style |= static_cast<LONG>(item->keyboardStyle());
    cs.dwExStyle |= item->keyboardExStyle();
}

LRESULT YBBaseWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (isItemMessage(message)) {
        if (YBKeyboardItem* item = keyboardItem()) {
            if (message == WM_GETDLGCODE)
                return item->keyboardDlgCode(reinterpret_cast<const MSG*>(lParam));
            // Taken: the item may have sent a command that destroyed this window.
            if (item->keyboardMessage(message, wParam, lParam)) return 0;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

bool YBBaseWnd::navigateKeyboard(MSG* msg) {
    if (!m_hWnd || topLevelOf(m_hWnd) != m_hWnd) return false;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return false;
    // Buttons are disabled and components hidden without a message to tell.
    if (msg->message == WM_KEYDOWN) applyItemStyles(m_hWnd);
    if (const wchar_t letter = mnemonicOf(*msg); letter && activateMnemonic(m_hWnd, letter))
        return true;
    return ::IsDialogMessageW(m_hWnd, msg) != FALSE;
}
