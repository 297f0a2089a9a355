// Who gets input: capture, focus, the active window, leave tracking; the cursor.
#include <utility>

#include "user/backend.h"
#include "user/window_system.h"

namespace tessel::ws {

void releaseInputState(Window* w) {
    WindowSystem& ws = WindowSystem::instance();
    auto inside = [&](HWND h) {
        for (Window* x = windowOf(h); x; x = x->parent) {
            if (x == w) return true;
        }
        return false;
    };
    if (inside(ws.scrollTrack.window)) cancelScrollBarTracking(ws.scrollTrack.window);
    if (inside(ws.capture)) ReleaseCapture();
    if (inside(ws.focus)) {
        const HWND old = ws.focus;
        ws.focus = nullptr;
        send(windowOf(old), WM_KILLFOCUS, 0, 0);
    }
    if (inside(ws.tracking)) ws.tracking = nullptr;
    if (inside(ws.active)) ws.active = nullptr;
    if (inside(ws.hover)) ws.hover = nullptr;
}

}  // namespace tessel::ws

using namespace tessel::ws;

HWND SetCapture(HWND handle) {
    WindowSystem& ws = WindowSystem::instance();
    if (!windowOf(handle)) return nullptr;
    const HWND old = ws.capture;
    if (old == handle) return old;
    ws.capture = handle;
    if (Window* previous = windowOf(old))
        send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    return old;
}

BOOL ReleaseCapture() {
    WindowSystem& ws = WindowSystem::instance();
    const HWND old = ws.capture;
    if (!old) return TRUE;
    ws.capture = nullptr;
    if (Window* previous = windowOf(old)) send(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    WindowSystem& ws = WindowSystem::instance();
    return windowOf(ws.capture) ? ws.capture : nullptr;
}

HWND SetFocus(HWND handle) {
    WindowSystem& ws = WindowSystem::instance();
    if (handle && !windowOf(handle)) return nullptr;
    const HWND old = windowOf(ws.focus) ? ws.focus : nullptr;
    if (old == handle) return old;
    ws.focus = handle;
    if (handle) {
        const HWND top = topLevelOf(windowOf(handle))->handle;
        if (std::exchange(ws.active, top) != top)
            NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, top, OBJID_WINDOW, CHILDID_SELF);
    }
    if (Window* previous = windowOf(old))
        send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (windowOf(handle) && ws.focus == handle) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, handle, OBJID_CLIENT, CHILDID_SELF);
        if (Window* next = windowOf(handle); next && ws.focus == handle)
            send(next, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    WindowSystem& ws = WindowSystem::instance();
    return windowOf(ws.focus) ? ws.focus : nullptr;
}

HWND GetActiveWindow() {
    WindowSystem& ws = WindowSystem::instance();
    return windowOf(ws.active) ? ws.active : nullptr;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track) {
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
    WindowSystem& ws = WindowSystem::instance();
    if (track->dwFlags & TME_QUERY) {
        track->dwFlags = ws.tracking ? TME_LEAVE : 0;
        track->hwndTrack = ws.tracking;
        return TRUE;
    }
    Window* w = windowOf(track->hwndTrack);
    if (!w) return FALSE;
    if (track->dwFlags & TME_CANCEL) {
        if ((track->dwFlags & TME_LEAVE) && ws.tracking == track->hwndTrack) ws.tracking = nullptr;
        return TRUE;
    }
    if (!(track->dwFlags & TME_LEAVE)) return TRUE;
    ws.tracking = track->hwndTrack;
    // Already outside the client area: the leave message comes at once.
    Window* under = windowAt(ws.cursorPos);
    POINT client = ws.cursorPos;
    ScreenToClient(track->hwndTrack, &client);
    const RECT& c = w->client;
    const bool inClient = under == w && client.x >= 0 && client.y >= 0 &&
                          client.x < c.right - c.left && client.y < c.bottom - c.top;
    if (!inClient) {
        ws.posted.push_back(
            MSG{track->hwndTrack, WM_MOUSELEAVE, 0, 0, static_cast<DWORD>(ws.now()), ws.cursorPos});
        ws.tracking = nullptr;
    }
    return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    // System cursors are shared: their handle is their resource number.
    const auto id = reinterpret_cast<ULONG_PTR>(name);
    if (id < reinterpret_cast<ULONG_PTR>(IDC_ARROW) ||
        id > reinterpret_cast<ULONG_PTR>(IDC_APPSTARTING))
        return nullptr;
    return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor) {
    WindowSystem& ws = WindowSystem::instance();
    const HCURSOR old = ws.cursor;
    if (cursor != old) {
        ws.cursor = cursor;
        ws.backend->cursorChanged(cursor);
    }
    return old;
}

HCURSOR GetCursor() {
    return WindowSystem::instance().cursor;
}
