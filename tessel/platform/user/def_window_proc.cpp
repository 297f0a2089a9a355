// DefWindowProc: what a window does with a message its procedure leaves to
// the system. One step per message; unknown messages answer 0.
#include <algorithm>
#include <cwchar>
#include <vector>

#include <tessel/platform/gdi.h>
#include "user/backend.h"
#include "user/metrics.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

// What part of the window a screen point is over (WM_NCHITTEST).
LRESULT hitTest(Window* w, POINT screen) {
    const POINT origin = windowOriginOnScreen(w);
    const POINT p{screen.x - origin.x, screen.y - origin.y};
    const LONG width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) return HTNOWHERE;
    const RECT& c = w->client;
    if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom) return HTCLIENT;
    if ((w->style & WS_VSCROLL) && p.x >= c.right && p.x < c.right + metrics::kScrollBar &&
        p.y >= c.top && p.y < c.bottom)
        return HTVSCROLL;
    if ((w->style & WS_HSCROLL) && p.y >= c.bottom && p.y < c.bottom + metrics::kScrollBar &&
        p.x >= c.left && p.x < c.right)
        return HTHSCROLL;
    const RECT frame = frameInsets(w->style, w->exStyle);
    if ((w->style & WS_CAPTION) == WS_CAPTION && p.y >= frame.left && p.y < frame.top)
        return HTCAPTION;
    if (w->style & WS_THICKFRAME) {
        const bool left = p.x < frame.left, right = p.x >= width - frame.right;
        const bool top = p.y < frame.left, bottom = p.y >= height - frame.bottom;
        if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    return frame.left > 0 ? HTBORDER : HTNOWHERE;
}

LPCWSTR cursorForHit(int hit) {
    switch (hit) {
        case HTLEFT:
        case HTRIGHT:
            return IDC_SIZEWE;
        case HTTOP:
        case HTBOTTOM:
            return IDC_SIZENS;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            return IDC_SIZENWSE;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            return IDC_SIZENESW;
        default:
            return IDC_ARROW;
    }
}

LRESULT onNcCreate(Window* w, LPARAM lParam) {
    auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (cs && cs->lpszName) w->text = cs->lpszName;
    return TRUE;
}

LRESULT onNcCalcSize(Window* w, WPARAM wParam, LPARAM lParam) {
    if (wParam) {
        defaultClientRect(w, &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
    } else if (lParam) {
        defaultClientRect(w, reinterpret_cast<RECT*>(lParam));
    }
    return 0;
}

LRESULT onSetCursor(Window* w, WPARAM wParam, LPARAM lParam) {
    const HWND handle = w->handle;
    // The parent has the first say.
    if ((w->style & WS_CHILD) && w->parent && send(w->parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    const int hit = static_cast<SHORT>(LOWORD(lParam));
    if (hit == HTCLIENT) {
        // The cursor is the class cursor of the window under the pointer
        // (wParam), so a parent's default handling keeps a child's cursor.
        const Window* under = windowOf(reinterpret_cast<HWND>(wParam));
        if (!under) under = windowOf(handle);
        if (!under || !under->windowClass->cursor) return FALSE;
        SetCursor(under->windowClass->cursor);
        return TRUE;
    }
    if (hit == HTERROR || hit == HTNOWHERE) return FALSE;
    SetCursor(LoadCursorW(nullptr, cursorForHit(hit)));
    return TRUE;
}

// A child passes the wheel to its parent; a top-level window lets it go.
LRESULT onMouseWheel(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    return (w->style & WS_CHILD) && w->parent ? send(w->parent, message, wParam, lParam) : 0;
}

LRESULT onEraseBackground(Window* w, WPARAM wParam) {
    HBRUSH brush = w->windowClass->background;
    if (!brush) return 0;
    RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
    return 1;
}

LRESULT onPaint(Window* w) {
    PAINTSTRUCT ps;
    BeginPaint(w->handle, &ps);
    EndPaint(w->handle, &ps);
    return 0;
}

// A sizable or overlapped top-level window keeps within its tracking limits
// whoever sizes it; a handler that answers WM_WINDOWPOSCHANGING itself decides.
LRESULT onWindowPosChanging(Window* w, LPARAM lParam) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!pos || (pos->flags & SWP_NOSIZE) || !keepsTrackLimits(w->style, w->parent)) return 0;
    const HWND handle = w->handle;
    MINMAXINFO limits = defaultMinMaxInfo(w);
    send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    if (!(w = windowOf(handle))) return 0;
    applyTrackLimits(limits, pos->cx, pos->cy, !(w->style & WS_MINIMIZE));
    return 0;
}

// WM_MOVE and WM_SIZE from what changed.
LRESULT onWindowPosChanged(Window* w, LPARAM lParam) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!pos) return 0;
    const HWND handle = w->handle;
    if (!(pos->flags & SWP_NOCLIENTMOVE))
        send(w, WM_MOVE, 0, MAKELONG(w->rect.left + w->client.left, w->rect.top + w->client.top));
    if ((w = windowOf(handle)) && !(pos->flags & SWP_NOCLIENTSIZE) && !(w->style & WS_MINIMIZE)) {
        send(w, WM_SIZE, (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED,
             MAKELONG(w->client.right - w->client.left, w->client.bottom - w->client.top));
    }
    return 0;
}

LRESULT onSetText(Window* w, LPARAM lParam) {
    w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
    const HWND handle = w->handle;
    if (!w->parent) WindowSystem::instance().backend->topLevelChanged(*w);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, handle, OBJID_WINDOW, CHILDID_SELF);
    return TRUE;
}

LRESULT onGetText(Window* w, WPARAM wParam, LPARAM lParam) {
    if (wParam == 0 || !lParam) return 0;
    auto* buffer = reinterpret_cast<LPWSTR>(lParam);
    const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
    std::wmemcpy(buffer, w->text.data(), n);
    buffer[n] = L'\0';
    return static_cast<LRESULT>(n);
}

// The window menu's commands: close, minimise, maximise, restore.
LRESULT onSysCommand(Window* w, WPARAM wParam) {
    constexpr WPARAM kCommandBits = 0xFFF0;  // the low four bits are the system's own
    switch (wParam & kCommandBits) {
        case SC_CLOSE:
            send(w, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(w->handle, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(w->handle, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(w->handle, SW_RESTORE);
            return 0;
        default:
            return 0;
    }
}

// A press on a standard scroll bar starts its interaction.
LRESULT onNcLeftButtonDown(Window* w, WPARAM wParam, LPARAM lParam) {
    if (wParam == HTVSCROLL || wParam == HTHSCROLL)
        beginScrollBarTracking(w, static_cast<int>(wParam), lParam);
    return 0;
}

// Alt+F4 closes the top-level window, from whichever window has the focus.
LRESULT onSysKeyDown(Window* w, WPARAM wParam, LPARAM lParam) {
    if (wParam != VK_F4 || !(HIWORD(lParam) & KF_ALTDOWN)) return 0;
    const Window* top = topLevelOf(w);
    if (!(top->windowClass->style & CS_NOCLOSE))
        PostMessageW(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

constexpr WORD kUiStateBits = UISF_HIDEFOCUS | UISF_HIDEACCEL | UISF_ACTIVE;

// UIS_INITIALIZE: the cues show after keyboard input and hide after the mouse.
WORD resolvedAction(WORD action) {
    if (action != UIS_INITIALIZE) return action;
    return WindowSystem::instance().keyboardInputLast ? UIS_CLEAR : UIS_SET;
}

BYTE changedUiState(BYTE state, WORD action, WORD bits) {
    return static_cast<BYTE>(action == UIS_SET ? state | bits : state & ~bits);
}

bool validUiChange(WPARAM wParam, LPARAM lParam) {
    const WORD action = LOWORD(wParam), bits = HIWORD(wParam);
    return lParam == 0 && !(bits & ~kUiStateBits) && action >= UIS_SET && action <= UIS_INITIALIZE;
}

// A child hands the request up; the top-level window updates the tree only
// when its own state would change.
LRESULT onChangeUiState(Window* w, WPARAM wParam, LPARAM lParam) {
    if (!validUiChange(wParam, lParam)) return 0;
    if ((w->style & WS_CHILD) && w->parent)
        return send(w->parent, WM_CHANGEUISTATE, wParam, lParam);
    const WORD action = resolvedAction(LOWORD(wParam)), bits = HIWORD(wParam);
    if (changedUiState(w->uiState, action, bits) != w->uiState)
        send(w, WM_UPDATEUISTATE, MAKEWPARAM(action, bits), 0);
    return 0;
}

// The window takes the state; when it changed, so do its children.
LRESULT onUpdateUiState(Window* w, WPARAM wParam, LPARAM lParam) {
    if (!validUiChange(wParam, lParam)) return 0;
    const WORD action = resolvedAction(LOWORD(wParam)), bits = HIWORD(wParam);
    const BYTE state = changedUiState(w->uiState, action, bits);
    if (state == w->uiState) return 0;
    w->uiState = state;
    std::vector<HWND> children;  // a handler may create or destroy windows
    children.reserve(w->children.size());
    for (const Window* child : w->children)
        children.push_back(child->handle);
    for (const HWND child : children)
        send(windowOf(child), WM_UPDATEUISTATE, MAKEWPARAM(action, bits), 0);
    return 0;
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = windowOf(handle);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE:
            return onNcCreate(w, lParam);
        case WM_NCCALCSIZE:
            return onNcCalcSize(w, wParam, lParam);
        case WM_NCHITTEST:
            return hitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SETCURSOR:
            return onSetCursor(w, wParam, lParam);
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            return onMouseWheel(w, message, wParam, lParam);
        case WM_CLOSE:
            DestroyWindow(handle);
            return 0;
        case WM_ERASEBKGND:
            return onEraseBackground(w, wParam);
        case WM_PAINT:
            return onPaint(w);
        case WM_NCPAINT:
            drawNonClient(w);
            return 0;
        case WM_WINDOWPOSCHANGING:
            return onWindowPosChanging(w, lParam);
        case WM_WINDOWPOSCHANGED:
            return onWindowPosChanged(w, lParam);
        case WM_SETTEXT:
            return onSetText(w, lParam);
        case WM_GETTEXT:
            return onGetText(w, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SYSCOMMAND:
            return onSysCommand(w, wParam);
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        case WM_SYSKEYDOWN:
            return onSysKeyDown(w, wParam, lParam);
        case WM_GETDLGCODE:  // a window keeps no key from dialog navigation
            return 0;
        case WM_CHANGEUISTATE:
            return onChangeUiState(w, wParam, lParam);
        case WM_UPDATEUISTATE:
            return onUpdateUiState(w, wParam, lParam);
        case WM_QUERYUISTATE:
            return w->uiState;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            return onNcLeftButtonDown(w, wParam, lParam);
        default:
            return 0;
    }
}
