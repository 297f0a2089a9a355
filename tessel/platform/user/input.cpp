// Raw input: SendInput, the pointer and the keys, turned into messages.
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include <tessel/platform/input_events.h>
#include "user/metrics.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

constexpr std::uint64_t kDoubleClickMs = metrics::kDoubleClickTime;
// The window system's key table, as GetKeyboardState's: the high bit says a
// key is down, the low bit that it toggled (as Caps Lock does).
constexpr BYTE kKeyDown = 0x80, kKeyToggled = 0x01;
// Absolute pointer coordinates: 0..kAbsoluteSpan spans the screen, as on Windows.
constexpr long long kAbsoluteSpan = 65535;

WPARAM keyState() {
    const BYTE* k = WindowSystem::instance().keys;
    WPARAM flags = 0;
    if (k[VK_LBUTTON] & kKeyDown) flags |= MK_LBUTTON;
    if (k[VK_RBUTTON] & kKeyDown) flags |= MK_RBUTTON;
    if (k[VK_MBUTTON] & kKeyDown) flags |= MK_MBUTTON;
    if (k[VK_SHIFT] & kKeyDown) flags |= MK_SHIFT;
    if (k[VK_CONTROL] & kKeyDown) flags |= MK_CONTROL;
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
    if (mouseMessage >= WM_NCMOUSEMOVE && mouseMessage <= WM_NCMBUTTONDBLCLK) {
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
    // Every button's double click is as far from its press as the left one's.
    return doubled ? down + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN) : down;
}

void setButton(int key, bool down) {
    BYTE& k = WindowSystem::instance().keys[key];
    k = down ? static_cast<BYTE>(k | kKeyDown) : static_cast<BYTE>(k & ~kKeyDown);
}

// Which keys are system keys, as Windows decides: any key while Alt is held
// without Ctrl, F10, and every key when no window has the focus. Alt's own
// release is one only when no other key was pressed since Alt went down
// (Alt then another key ends in WM_KEYUP for Alt). Ctrl keeps its plain
// messages, so AltGr (Ctrl+Alt) types characters.
bool systemKey(WORD vk, bool up, bool focused) {
    WindowSystem& ws = WindowSystem::instance();
    const bool alt = ws.keys[VK_MENU] & kKeyDown, ctrl = ws.keys[VK_CONTROL] & kKeyDown;
    if (vk == VK_MENU) {
        if (up) return std::exchange(ws.altAlone, false) || !focused;
        ws.altAlone = true;
        return !ctrl || !focused;
    }
    if (vk == VK_CONTROL) return !focused;
    if (!up && alt) ws.altAlone = false;
    return vk == VK_F10 || (alt && !ctrl) || !focused;
}

bool keyMessage(const KEYBDINPUT& ki, MSG* out) {
    WindowSystem& ws = WindowSystem::instance();
    const bool up = ki.dwFlags & KEYEVENTF_KEYUP;
    const WORD vk = (ki.dwFlags & KEYEVENTF_UNICODE) ? VK_PACKET : ki.wVk;
    BYTE& state = ws.keys[LOBYTE(vk)];
    const bool wasDown = state & kKeyDown;
    state = up ? static_cast<BYTE>(state & ~kKeyDown)
               : static_cast<BYTE>((state | kKeyDown) ^ (wasDown ? 0 : kKeyToggled));
    const bool focused = windowOf(ws.focus) != nullptr;
    HWND target = focused ? ws.focus : ws.active;
    const bool system = systemKey(vk, up, focused);
    if (!windowOf(target)) return false;
    // A VK_PACKET press carries its character beside the message, for TranslateMessage.
    if (ki.dwFlags & KEYEVENTF_UNICODE) ws.packetCharacter = ki.wScan;
    // A repeat count of one, the scan code and the KF_ flags in the high word.
    WORD flags = LOBYTE(ki.wScan);
    if (ki.dwFlags & KEYEVENTF_EXTENDEDKEY) flags |= KF_EXTENDED;
    if (wasDown) flags |= KF_REPEAT;
    if (up) flags |= KF_REPEAT | KF_UP;
    // The context code: Alt is down and the message goes to the focus.
    if (system && focused && (ws.keys[VK_MENU] & kKeyDown)) flags |= KF_ALTDOWN;
    const LPARAM lParam = 1 | (static_cast<LPARAM>(flags) << 16);
    const UINT kind = system ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    *out = message(target, kind, vk, lParam);
    return true;
}

// The pointer moves to an absolute (0..kAbsoluteSpan) or relative place,
// kept on the screen.
void movePointer(const MOUSEINPUT& mi) {
    WindowSystem& ws = WindowSystem::instance();
    if (mi.dwFlags & MOUSEEVENTF_ABSOLUTE) {
        ws.cursorPos = {static_cast<LONG>((static_cast<long long>(mi.dx) * (ws.screen.cx - 1) +
                                           kAbsoluteSpan / 2) /
                                          kAbsoluteSpan),
                        static_cast<LONG>((static_cast<long long>(mi.dy) * (ws.screen.cy - 1) +
                                           kAbsoluteSpan / 2) /
                                          kAbsoluteSpan)};
    } else {
        ws.cursorPos.x += mi.dx, ws.cursorPos.y += mi.dy;
    }
    ws.cursorPos.x = std::clamp<LONG>(ws.cursorPos.x, 0, ws.screen.cx - 1);
    ws.cursorPos.y = std::clamp<LONG>(ws.cursorPos.y, 0, ws.screen.cy - 1);
}

// A wheel turn goes to the capture or the window under the pointer.
bool wheelMessage(const MOUSEINPUT& mi, MSG* out) {
    WindowSystem& ws = WindowSystem::instance();
    Window* target = windowOf(ws.capture);
    if (!target) target = windowAt(ws.cursorPos);
    if (!target) return false;
    const WPARAM wParam =
        keyState() |
        (static_cast<WPARAM>(static_cast<WORD>(static_cast<SHORT>(mi.mouseData))) << 16);
    *out =
        message(target->handle, (mi.dwFlags & MOUSEEVENTF_WHEEL) ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL,
                wParam, packed(ws.cursorPos));
    return true;
}

// One mouse record: a move (its further button flags follow as another
// record), a press, a release or a wheel turn.
bool mouseMessage(const INPUT& in, MSG* out) {
    const MOUSEINPUT& mi = in.mi;
    const DWORD f = mi.dwFlags;
    if (f & MOUSEEVENTF_MOVE) {
        movePointer(mi);
        const bool produced = pointerMessage(WM_MOUSEMOVE, out);
        if (f & ~(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE)) {
            INPUT rest = in;
            rest.mi.dwFlags &= ~(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
            WindowSystem::instance().input.push_front(RawInput{rest, false});
        }
        return produced;
    }
    if (f & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_MIDDLEDOWN)) {
        const bool left = f & MOUSEEVENTF_LEFTDOWN, right = f & MOUSEEVENTF_RIGHTDOWN;
        setButton(left ? VK_LBUTTON : right ? VK_RBUTTON : VK_MBUTTON, true);
        const UINT down = left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
        return pointerMessage(pressMessage(down), out);
    }
    if (f & (MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_MIDDLEUP)) {
        const bool left = f & MOUSEEVENTF_LEFTUP, right = f & MOUSEEVENTF_RIGHTUP;
        setButton(left ? VK_LBUTTON : right ? VK_RBUTTON : VK_MBUTTON, false);
        return pointerMessage(left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : WM_MBUTTONUP, out);
    }
    if (f & (MOUSEEVENTF_WHEEL | MOUSEEVENTF_HWHEEL)) return wheelMessage(mi, out);
    return false;
}

// WH_KEYBOARD_LL: the hooks see the key before the window system does, as
// Windows shows it to them; a nonzero answer swallows it, so no message
// comes and the key state stays as it was.
bool swallowedByHooks(const KEYBDINPUT& ki, bool injected) {
    WindowSystem& ws = WindowSystem::instance();
    const bool up = ki.dwFlags & KEYEVENTF_KEYUP;
    const WORD vk = (ki.dwFlags & KEYEVENTF_UNICODE) ? VK_PACKET : ki.wVk;
    const bool alt = vk == VK_MENU ? !up : (ws.keys[VK_MENU] & kKeyDown) != 0;
    const bool ctrl = (ws.keys[VK_CONTROL] & kKeyDown) != 0;
    DWORD flags = 0;
    if (ki.dwFlags & KEYEVENTF_EXTENDEDKEY) flags |= LLKHF_EXTENDED;
    if (injected) flags |= LLKHF_INJECTED;
    if (alt) flags |= LLKHF_ALTDOWN;
    if (up) flags |= LLKHF_UP;
    KBDLLHOOKSTRUCT key{vk, ki.wScan, flags, ki.time ? ki.time : static_cast<DWORD>(ws.now()),
                        ki.dwExtraInfo};
    const WPARAM kind =
        alt && !ctrl ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    return callHooks(WH_KEYBOARD_LL, HC_ACTION, kind, reinterpret_cast<LPARAM>(&key)) != 0;
}

}  // namespace

void queueInput(const INPUT& event, bool injected) {
    WindowSystem::instance().input.push_back(RawInput{event, injected});
}

bool nextInput(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    WindowSystem& ws = WindowSystem::instance();
    (void)first, (void)last;
    while (!ws.input.empty()) {
        // Input is consumed in order whatever the filter: it is state, not mail.
        const RawInput raw = ws.input.front();
        const INPUT& in = raw.event;
        if (!remove) return false;  // peeking cannot turn input into messages without consuming it
        ws.input.pop_front();
        MSG m;
        bool produced = false;
        if (in.type == INPUT_KEYBOARD) {
            if (swallowedByHooks(in.ki, raw.injected)) continue;
            ws.keyboardInputLast = true;
            produced = keyMessage(in.ki, &m);
        } else if (in.type == INPUT_MOUSE) {
            ws.keyboardInputLast = false;
            produced = mouseMessage(in, &m);
        }
        if (produced && (!filter || m.hwnd == filter)) {
            *out = m;
            return true;
        }
        if (produced) ws.posted.push_back(m);  // for another window: keep it in line
    }
    return false;
}

}  // namespace tessel::ws

using namespace tessel::ws;

UINT SendInput(UINT count, LPINPUT inputs, int size) {
    if (!inputs || size != static_cast<int>(sizeof(INPUT))) return 0;
    for (UINT i = 0; i < count; ++i)
        queueInput(inputs[i], true);
    return count;
}

BOOL SetCursorPos(int x, int y) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    const SIZE screen = WindowSystem::instance().screen;
    x = std::clamp(x, 0, static_cast<int>(screen.cx) - 1);
    y = std::clamp(y, 0, static_cast<int>(screen.cy) - 1);
    // Inverse of the absolute mapping, so the event lands exactly on (x, y).
    move.mi.dx = static_cast<LONG>((x * kAbsoluteSpan + (screen.cx - 1) / 2) /
                                   std::max<LONG>(1, screen.cx - 1));
    move.mi.dy = static_cast<LONG>((y * kAbsoluteSpan + (screen.cy - 1) / 2) /
                                   std::max<LONG>(1, screen.cy - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &move, sizeof move) == 1;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = WindowSystem::instance().cursorPos;
    return TRUE;
}

SHORT GetKeyState(int key) {
    constexpr int kDownBit = 0x8000;  // GetKeyState's high bit: the key is down
    const BYTE k = WindowSystem::instance().keys[LOBYTE(key)];
    return static_cast<SHORT>(((k & kKeyDown) ? kDownBit : 0) | (k & kKeyToggled));
}

SHORT GetAsyncKeyState(int key) {
    constexpr int kDownBit = 0x8000;  // the key is down (no "pressed since" bit here)
    return static_cast<SHORT>(GetKeyState(key) & kDownBit);
}

UINT GetDoubleClickTime() {
    return metrics::kDoubleClickTime;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    WindowSystem& ws = WindowSystem::instance();
    const UINT vk = static_cast<UINT>(msg->wParam);
    const bool shift = ws.keys[VK_SHIFT] & kKeyDown;
    wchar_t ch = 0;
    if (vk == VK_PACKET) {
        ch = static_cast<wchar_t>(ws.packetCharacter);
    } else if (vk >= 'A' && vk <= 'Z') {
        ch = static_cast<wchar_t>(shift ? vk : vk - 'A' + 'a');
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
