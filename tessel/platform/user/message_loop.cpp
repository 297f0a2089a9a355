// Sending, posting and retrieving messages; timers; DefWindowProc.
#include <algorithm>
#include <cwchar>

#include "backends/backend.h"
#include <tessel/platform/gdi.h>
#include "user/window_system.h"

namespace tessel::ws {

namespace {

constexpr UINT kTimerMinimum = 10;

bool matches(const MSG& m, HWND filter, UINT first, UINT last) {
    if (filter && m.hwnd != filter) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

MSG make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem& ws = WindowSystem::instance();
    return MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(ws.now()), ws.cursorPos};
}

// The next message in Win32's order: posted, quit, input, paint, timers.
bool nextMessage(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    WindowSystem& ws = WindowSystem::instance();
    for (auto it = ws.posted.begin(); it != ws.posted.end(); ++it) {
        if (!matches(*it, filter, first, last)) continue;
        *out = *it;
        if (remove) ws.posted.erase(it);
        return true;
    }
    if (ws.quitPosted) {
        *out = make(nullptr, WM_QUIT, static_cast<WPARAM>(ws.quitCode), 0);
        if (remove) ws.quitPosted = false;
        return true;
    }
    if (nextInput(out, filter, first, last, remove)) return true;
    if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
        if (Window* w = nextToPaint(filter)) {
            *out = make(w->handle, WM_PAINT, 0, 0);
            return true;
        }
    }
    if (first == 0 && last == 0 ? true : (WM_TIMER >= first && WM_TIMER <= last)) {
        const std::uint64_t now = ws.now();
        Timer* due = nullptr;
        for (Timer& t : ws.timers) {
            if (t.due <= now && (!filter || t.window == filter) && (!due || t.due < due->due))
                due = &t;
        }
        if (due) {
            *out = make(due->window, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->procedure));
            if (remove) due->due = now + due->interval;
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer falls due, or -1 without timers.
long untilNextTimer() {
    WindowSystem& ws = WindowSystem::instance();
    if (ws.timers.empty()) return -1;
    const std::uint64_t now = ws.now();
    std::uint64_t soonest = ws.timers.front().due;
    for (const Timer& t : ws.timers)
        soonest = std::min(soonest, t.due);
    return soonest <= now ? 0 : static_cast<long>(soonest - now);
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(windowOf(handle), message, wParam, lParam);
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle && !windowOf(handle)) return FALSE;
    WindowSystem::instance().posted.push_back(make(handle, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    WindowSystem& ws = WindowSystem::instance();
    ws.quitPosted = true;
    ws.quitCode = exitCode;
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    WindowSystem& ws = WindowSystem::instance();
    ws.backend->wait(0);  // take in what the display has for us
    return nextMessage(msg, window, first, last, (remove & PM_REMOVE) != 0);
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT first, UINT last) {
    if (!msg) return -1;
    WindowSystem& ws = WindowSystem::instance();
    for (;;) {
        ws.backend->wait(0);
        if (nextMessage(msg, window, first, last, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        // With a virtual clock time only moves when a test moves it: wait for input alone.
        ws.backend->wait(ws.virtualClock ? -1 : untilNextTimer());
    }
}

BOOL WaitMessage() {
    WindowSystem& ws = WindowSystem::instance();
    MSG m;
    while (!nextMessage(&m, nullptr, 0, 0, false))
        ws.backend->wait(ws.virtualClock ? -1 : untilNextTimer());
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    WindowSystem& ws = WindowSystem::instance();
    ws.messageTime = static_cast<LONG>(msg->time);
    ws.messagePos = msg->pt;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    Window* w = windowOf(msg->hwnd);
    if (!w) return 0;  // thread messages and messages to destroyed windows
    if (msg->message != WM_PAINT) return send(w, msg->message, msg->wParam, msg->lParam);
    const std::uint64_t serial = w->paintSerial;
    const HWND handle = w->handle;
    const LRESULT result = send(w, WM_PAINT, 0, 0);
    // A handler that neither painted nor validated would be asked again forever.
    if ((w = windowOf(handle)) && w->paintSerial == serial) {
        w->frameWanted = false;
        ValidateRect(handle, nullptr);
    }
    return result;
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LONG GetMessageTime() {
    return WindowSystem::instance().messageTime;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(WindowSystem::instance().now());
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    WindowSystem& ws = WindowSystem::instance();
    if (window && !windowOf(window)) return 0;
    if (!window) {
        static UINT_PTR nextId = 0x7FFF0000;
        if (!id) id = ++nextId;
    }
    elapse = std::max(elapse, kTimerMinimum);
    const std::uint64_t due = ws.now() + elapse;
    for (Timer& t : ws.timers) {
        if (t.window == window && t.id == id) {
            t = Timer{window, id, elapse, due, procedure};
            return id ? id : 1;
        }
    }
    ws.timers.push_back(Timer{window, id, elapse, due, procedure});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = WindowSystem::instance().timers;
    const auto removed =
        std::erase_if(timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    return removed > 0;
}

namespace {

LRESULT hitTest(Window* w, POINT screen) {
    const POINT origin = windowOriginOnScreen(w);
    const POINT p{screen.x - origin.x, screen.y - origin.y};
    const LONG width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) return HTNOWHERE;
    const RECT& c = w->client;
    if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom) return HTCLIENT;
    if ((w->style & WS_VSCROLL) && p.x >= c.right && p.x < c.right + 17 && p.y >= c.top &&
        p.y < c.bottom)
        return HTVSCROLL;
    if ((w->style & WS_HSCROLL) && p.y >= c.bottom && p.y < c.bottom + 17 && p.x >= c.left &&
        p.x < c.right)
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

}  // namespace

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = windowOf(handle);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName) w->text = cs->lpszName;
            return TRUE;
        }
        case WM_NCCALCSIZE:
            if (wParam) {
                defaultClientRect(w, &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
            } else if (lParam) {
                defaultClientRect(w, reinterpret_cast<RECT*>(lParam));
            }
            return 0;
        case WM_NCHITTEST:
            return hitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SETCURSOR: {
            // The parent has the first say.
            if ((w->style & WS_CHILD) && w->parent && send(w->parent, WM_SETCURSOR, wParam, lParam))
                return TRUE;
            const int hit = static_cast<SHORT>(LOWORD(lParam));
            if (hit == HTCLIENT) {
                if (!(w = windowOf(handle)) || !w->windowClass->cursor) return FALSE;
                SetCursor(w->windowClass->cursor);
                return TRUE;
            }
            if (hit == HTERROR || hit == HTNOWHERE) return FALSE;
            SetCursor(LoadCursorW(nullptr, cursorForHit(hit)));
            return TRUE;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            return (w->style & WS_CHILD) && w->parent ? send(w->parent, message, wParam, lParam)
                                                      : 0;
        case WM_CLOSE:
            DestroyWindow(handle);
            return 0;
        case WM_ERASEBKGND: {
            HBRUSH brush = w->windowClass->background;
            if (!brush) return 0;
            RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(handle, &ps);
            EndPaint(handle, &ps);
            return 0;
        }
        case WM_NCPAINT:
            drawNonClient(w);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!pos) return 0;
            if (!(pos->flags & 0x1000))
                send(w, WM_MOVE, 0,
                     MAKELONG(w->rect.left + w->client.left, w->rect.top + w->client.top));
            if ((w = windowOf(handle)) && !(pos->flags & 0x0800) && !(w->style & WS_MINIMIZE)) {
                send(w, WM_SIZE, (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELONG(w->client.right - w->client.left, w->client.bottom - w->client.top));
            }
            return 0;
        }
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            if (!w->parent) WindowSystem::instance().backend->topLevelChanged(*w);
            return TRUE;
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
            std::wmemcpy(buffer, w->text.data(), n);
            buffer[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case 0xF060:
                    send(w, WM_CLOSE, 0, 0);
                    return 0;  // SC_CLOSE
                case 0xF020:
                    ShowWindow(handle, SW_MINIMIZE);
                    return 0;  // SC_MINIMIZE
                case 0xF030:
                    ShowWindow(handle, SW_MAXIMIZE);
                    return 0;  // SC_MAXIMIZE
                case 0xF120:
                    ShowWindow(handle, SW_RESTORE);
                    return 0;  // SC_RESTORE
                default:
                    return 0;
            }
        case WM_MOUSEACTIVATE:
            return 1;  // MA_ACTIVATE
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTVSCROLL || wParam == HTHSCROLL)
                beginScrollBarTracking(w, static_cast<int>(wParam), lParam);
            return 0;
        default:
            return 0;
    }
}
