// Raw input: SendInput, the pointer, capture, focus, leave tracking, cursors.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "backends/backend.h"
#include <tessel/platform/input_events.h>
#include "user/window_system.h"

namespace tessel::ws {

namespace {

constexpr std::uint64_t kDoubleClickMs = 500;

WPARAM keyState() {
    const BYTE* k = WindowSystem::instance().keys;
    WPARAM flags = 0;
    if (k[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
    if (k[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

MSG message(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowSystem& ws = WindowSystem::instance();
    return MSG{hwnd, msg, wParam, lParam, static_cast<DWORD>(ws.now()), ws.cursorPos};
}

LPARAM packed(POINT p) {
    return MAKELONG(static_cast<SHORT>(p.x), static_cast<SHORT>(p.y));
}

// TME_LEAVE: one WM_MOUSELEAVE when the pointer leaves the client area.
void checkLeave(Window* under, int hit) {
    WindowSystem& ws = WindowSystem::instance();
    if (!ws.tracking) return;
    Window* tracked = windowOf(ws.tracking);
    if (!tracked) return void(ws.tracking = nullptr);
    if (under == tracked && hit == HTCLIENT) return;
    ws.posted.push_back(message(ws.tracking, WM_MOUSELEAVE, 0, 0));
    ws.tracking = nullptr;
}

// A pointer event: hit test, WM_SETCURSOR, then the mouse message.
bool pointerMessage(UINT clientMessage, MSG* out) {
    WindowSystem& ws = WindowSystem::instance();
    if (scrollBarTracking()) {
        scrollBarPointer(clientMessage);
        return false;
    }
    Window* target = windowOf(ws.capture);
    int hit = HTCLIENT;
    if (!target) {
        target = windowAt(ws.cursorPos);
        // Windows that call themselves transparent pass the point to what lies below.
        std::vector<Window*> passed;  // answered transparent: the windows below them are asked
        while (target) {
            hit = static_cast<int>(send(target, WM_NCHITTEST, 0, packed(ws.cursorPos)));
            if (hit != HTTRANSPARENT) break;
            passed.push_back(target);
            target = windowAt(ws.cursorPos, passed);
        }
    }
    checkLeave(target, hit);
    if (!target) return false;
    const HWND handle = target->handle;
    const UINT mouseMessage = hit == HTCLIENT || ws.capture
                                  ? clientMessage
                                  : clientMessage - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    if (!ws.capture) {
        send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MAKELONG(hit, clientMessage));
        if (!(target = windowOf(handle))) return false;
    }
    ws.hover = handle;
    if (mouseMessage >= WM_NCMOUSEMOVE && mouseMessage <= WM_NCMOUSEMOVE + 9) {
        *out = message(handle, mouseMessage, static_cast<WPARAM>(hit), packed(ws.cursorPos));
        return true;
    }
    POINT client = ws.cursorPos;
    ScreenToClient(handle, &client);
    *out = message(handle, mouseMessage, keyState(), packed(client));
    return true;
}

// Presses of a CS_DBLCLKS window become double clicks within the time and box.
UINT pressMessage(UINT down) {
    WindowSystem& ws = WindowSystem::instance();
    Window* target = windowOf(ws.capture);
    if (!target) target = windowAt(ws.cursorPos);
    auto& last = ws.lastClick;
    const std::uint64_t now = ws.now();
    const bool doubled =
        target && last.armed && last.window == target->handle && last.message == down &&
        now - last.time < kDoubleClickMs &&
        std::abs(ws.cursorPos.x - last.screen.x) < GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(ws.cursorPos.y - last.screen.y) < GetSystemMetrics(SM_CYDOUBLECLK) / 2 &&
        (target->windowClass->style & CS_DBLCLKS);
    last = {target ? target->handle : nullptr, down, now, ws.cursorPos, !doubled};
    return doubled ? down + 2 : down;  // WM_xBUTTONDOWN + 2 == WM_xBUTTONDBLCLK
}

void setButton(int key, bool down) {
    BYTE& k = WindowSystem::instance().keys[key];
    k = down ? static_cast<BYTE>(k | 0x80) : static_cast<BYTE>(k & ~0x80);
}

bool keyMessage(const KEYBDINPUT& ki, MSG* out) {
    WindowSystem& ws = WindowSystem::instance();
    const bool up = ki.dwFlags & KEYEVENTF_KEYUP;
    const WORD vk = (ki.dwFlags & KEYEVENTF_UNICODE) ? 0xE7 /* VK_PACKET */ : ki.wVk;
    BYTE& state = ws.keys[vk & 0xFF];
    const bool wasDown = state & 0x80;
    state = up ? static_cast<BYTE>(state & ~0x80)
               : static_cast<BYTE>((state | 0x80) ^ (wasDown ? 0 : 0x01));
    HWND target = ws.focus ? ws.focus : ws.active;
    if (!windowOf(target)) return false;
    // A VK_PACKET press carries its character beside the message, for TranslateMessage.
    if (ki.dwFlags & KEYEVENTF_UNICODE) ws.packetCharacter = ki.wScan;
    LPARAM lParam = 1 | (static_cast<LPARAM>(ki.wScan & 0xFF) << 16);
    if (ki.dwFlags & KEYEVENTF_EXTENDEDKEY) lParam |= LPARAM{1} << 24;
    if (wasDown) lParam |= LPARAM{1} << 30;
    if (up) lParam |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    *out = message(target, up ? WM_KEYUP : WM_KEYDOWN, vk, lParam);
    return true;
}

}  // namespace

bool nextInput(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    WindowSystem& ws = WindowSystem::instance();
    (void)first, (void)last;
    while (!ws.input.empty()) {
        // Input is consumed in order whatever the filter: it is state, not mail.
        const INPUT in = ws.input.front();
        if (!remove) return false;  // peeking cannot turn input into messages without consuming it
        ws.input.pop_front();
        MSG m;
        bool produced = false;
        if (in.type == INPUT_KEYBOARD) {
            produced = keyMessage(in.ki, &m);
        } else if (in.type == INPUT_MOUSE) {
            const MOUSEINPUT& mi = in.mi;
            const DWORD f = mi.dwFlags;
            if (f & MOUSEEVENTF_MOVE) {
                if (f & MOUSEEVENTF_ABSOLUTE) {
                    // 0..65535 spans the screen, as on Windows.
                    ws.cursorPos = {
                        static_cast<LONG>(
                            (static_cast<long long>(mi.dx) * (ws.screen.cx - 1) + 32767) / 65535),
                        static_cast<LONG>(
                            (static_cast<long long>(mi.dy) * (ws.screen.cy - 1) + 32767) / 65535)};
                } else {
                    ws.cursorPos.x += mi.dx, ws.cursorPos.y += mi.dy;
                }
                ws.cursorPos.x = std::clamp<LONG>(ws.cursorPos.x, 0, ws.screen.cx - 1);
                ws.cursorPos.y = std::clamp<LONG>(ws.cursorPos.y, 0, ws.screen.cy - 1);
                produced = pointerMessage(WM_MOUSEMOVE, &m);
                // Further button flags of the same record follow as separate events.
                if (f & ~(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE)) {
                    INPUT rest = in;
                    rest.mi.dwFlags &= ~(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
                    ws.input.push_front(rest);
                }
            } else if (f &
                       (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_MIDDLEDOWN)) {
                const bool left = f & MOUSEEVENTF_LEFTDOWN, right = f & MOUSEEVENTF_RIGHTDOWN;
                setButton(left ? VK_LBUTTON : right ? VK_RBUTTON : VK_MBUTTON, true);
                const UINT down = left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
                produced = pointerMessage(pressMessage(down), &m);
            } else if (f & (MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_MIDDLEUP)) {
                const bool left = f & MOUSEEVENTF_LEFTUP, right = f & MOUSEEVENTF_RIGHTUP;
                setButton(left ? VK_LBUTTON : right ? VK_RBUTTON : VK_MBUTTON, false);
                produced = pointerMessage(left    ? WM_LBUTTONUP
                                          : right ? WM_RBUTTONUP
                                                  : WM_MBUTTONUP,
                                          &m);
            } else if (f & (MOUSEEVENTF_WHEEL | MOUSEEVENTF_HWHEEL)) {
                Window* target = windowOf(ws.capture);
                if (!target) target = windowAt(ws.cursorPos);
                if (target) {
                    const WPARAM wParam =
                        keyState() |
                        (static_cast<WPARAM>(static_cast<WORD>(static_cast<SHORT>(mi.mouseData)))
                         << 16);
                    m = message(target->handle,
                                (f & MOUSEEVENTF_WHEEL) ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL, wParam,
                                packed(ws.cursorPos));
                    produced = true;
                }
            }
        }
        if (produced && (!filter || m.hwnd == filter)) {
            *out = m;
            return true;
        }
        if (produced) ws.posted.push_back(m);  // for another window: keep it in line
    }
    return false;
}

void releaseInputState(Window* w) {
    WindowSystem& ws = WindowSystem::instance();
    auto inside = [&](HWND h) {
        for (Window* x = windowOf(h); x; x = x->parent) {
            if (x == w) return true;
        }
        return false;
    };
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

UINT SendInput(UINT count, LPINPUT inputs, int size) {
    if (!inputs || size != static_cast<int>(sizeof(INPUT))) return 0;
    WindowSystem& ws = WindowSystem::instance();
    for (UINT i = 0; i < count; ++i)
        ws.input.push_back(inputs[i]);
    return count;
}

BOOL SetCursorPos(int x, int y) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    const SIZE screen = WindowSystem::instance().screen;
    x = std::clamp(x, 0, static_cast<int>(screen.cx) - 1);
    y = std::clamp(y, 0, static_cast<int>(screen.cy) - 1);
    // Inverse of the absolute mapping, so the event lands exactly on (x, y).
    move.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65535 + (screen.cx - 1) / 2) /
                                   std::max<LONG>(1, screen.cx - 1));
    move.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65535 + (screen.cy - 1) / 2) /
                                   std::max<LONG>(1, screen.cy - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &move, sizeof move) == 1;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = WindowSystem::instance().cursorPos;
    return TRUE;
}

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
    if (handle) ws.active = topLevelOf(windowOf(handle))->handle;
    if (Window* previous = windowOf(old))
        send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (Window* next = windowOf(handle); next && ws.focus == handle)
        send(next, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
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

SHORT GetKeyState(int key) {
    const BYTE k = WindowSystem::instance().keys[key & 0xFF];
    return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int key) {
    return static_cast<SHORT>(GetKeyState(key) & 0x8000);
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    // System cursors are shared: their handle is their resource number.
    const auto id = reinterpret_cast<ULONG_PTR>(name);
    if (id < 32512 || id > 32650) return nullptr;
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

UINT GetDoubleClickTime() {
    return 500;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    WindowSystem& ws = WindowSystem::instance();
    const UINT vk = static_cast<UINT>(msg->wParam);
    const bool shift = ws.keys[VK_SHIFT] & 0x80;
    wchar_t ch = 0;
    if (vk == 0xE7) {
        ch = static_cast<wchar_t>(ws.packetCharacter);
    } else if (vk >= 'A' && vk <= 'Z') {
        ch = static_cast<wchar_t>(shift ? vk : vk + 32);
    } else if (vk >= '0' && vk <= '9') {
        static const wchar_t shifted[] = L")!@#$%^&*(";
        ch = shift ? shifted[vk - '0'] : static_cast<wchar_t>(vk);
    } else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_TAB ||
               vk == VK_ESCAPE) {
        ch = vk == VK_RETURN ? L'\r' : static_cast<wchar_t>(vk);
    }
    if (!ch) return FALSE;
    ws.posted.push_front(
        MSG{msg->hwnd,
            msg->message == WM_KEYDOWN ? static_cast<UINT>(WM_CHAR) : static_cast<UINT>(WM_SYSCHAR),
            static_cast<WPARAM>(ch), msg->lParam, msg->time, msg->pt});
    return TRUE;
}

namespace tessel {

bool sendMouseInput(DWORD flags, LONG data) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = static_cast<DWORD>(data);
    return SendInput(1, &in, sizeof in) == 1;
}

bool sendKeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return SendInput(1, &in, sizeof in) == 1;
}

}  // namespace tessel
