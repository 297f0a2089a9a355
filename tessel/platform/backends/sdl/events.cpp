// The SDL backend's events: native input becomes SendInput/SetCursorPos
// records, native window changes become the window system's own calls.
//
//   native event            window system
//   mouse motion, buttons   SetCursorPos (screen = surface origin + native point), SendInput
//   wheel                   SendInput MOUSEEVENTF_WHEEL/HWHEEL, 120 per notch
//   key down/up             SendInput's queue with the virtual key, not injected
//   text                    the same with KEYEVENTF_UNICODE for what TranslateMessage cannot make
//   moved, size changed     SetWindowPos (window rect = native client area + frame),
//                           sizes clamped to WM_GETMINMAXINFO's tracking limits
//   minimised, restored     ShowWindow(SW_MINIMIZE / SW_RESTORE)
//   close button            WM_SYSCOMMAND SC_CLOSE posted: DefWindowProc sends WM_CLOSE
//   focus gained            the window goes on top and takes the focus
//   exposed                 the whole window is presented again
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include <tessel/platform/input_events.h>
#include <tessel/platform/text_encoding.h>
#include "backends/sdl/backend_sdl.h"
#include "user/wait_source_set.h"

namespace tessel::ws {

namespace {

// Virtual keys by SDL key code: the layout's meaning, as Windows' are.
// Letters, digits, F1..F12 and the keypad's digits come in runs (below);
// the table has the rest.
struct KeyMapping {
    SDL_Keycode key;
    WORD vk;
};
constexpr KeyMapping kVirtualKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

constexpr WORD virtualKeyFor(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WORD>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WORD>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<WORD>(VK_NUMPAD1 + (key - SDLK_KP_1));
    for (const KeyMapping& m : kVirtualKeys) {
        if (m.key == key) return m.vk;
    }
    return 0;
}
static_assert(virtualKeyFor(SDLK_KP_5) == VK_NUMPAD5 && virtualKeyFor(SDLK_QUOTE) == VK_OEM_7);

bool extendedKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_INSERT:
        case SDLK_DELETE:
        case SDLK_HOME:
        case SDLK_END:
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN:
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_UP:
        case SDLK_DOWN:
        case SDLK_RCTRL:
        case SDLK_RALT:
        case SDLK_KP_ENTER:
        case SDLK_KP_DIVIDE:
            return true;
        default:
            return false;
    }
}

// TranslateMessage already makes these characters from the key (with the
// US layout's shifted digits): the native text for them would come twice.
bool translatesItself(WORD vk, wchar_t c) {
    if (vk >= 'A' && vk <= 'Z') return c == vk || c == vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9') return c == vk || c == L")!@#$%^&*("[vk - '0'];
    return vk == VK_SPACE && c == L' ';
}

// The user's own key: it takes SendInput's way in, but is not injected.
void nativeKey(WORD vk, WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    queueInput(in, false);
}

}  // namespace

void SdlBackend::wait(long timeoutMs) {
    presentAll();
    WaitSourceSet& sources = WaitSourceSet::instance();
    SDL_Event event;
    int got = 0;
    if (timeoutMs == 0) {
        got = SDL_PollEvent(&event);
    } else if (timeoutMs < 0 && m_windows.empty()) {
        sources.wait(-1);  // no native window: only a descriptor can end the wait
        got = SDL_PollEvent(&event);
    } else {
        got = waitNative(&event, timeoutMs);
    }
    while (got) {
        feed(event);
        got = SDL_PollEvent(&event);
    }
    sources.wait(0);
}

int SdlBackend::waitNative(SDL_Event* event, long timeoutMs) {
    const bool armed = [&] {
        WaitSourceSet::Round watched = WaitSourceSet::instance().round();
        return !watched.fds.empty() && m_watcher.arm(std::move(watched.fds));
    }();
    const int got =
        timeoutMs < 0
            ? SDL_WaitEvent(event)
            : SDL_WaitEventTimeout(event, static_cast<int>(std::min<long>(timeoutMs, INT_MAX)));
    if (armed) {
        m_watcher.disarm();
        // A report still queued would only wake the next wait for nothing.
        SDL_FlushEvent(m_watcher.wakeEvent());
    }
    return got;
}

NativeWindow* SdlBackend::nativeOf(Uint32 windowId) {
    const auto found = m_windows.find(windowId);
    if (found == m_windows.end()) return nullptr;
    if (!windowOf(found->second->handle)) {  // became a child, then died as one
        m_windows.erase(found);
        return nullptr;
    }
    return found->second.get();
}

void SdlBackend::feed(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
            if (NativeWindow* native = nativeOf(event.motion.windowID))
                pointerAt(*native, event.motion.x, event.motion.y, true);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            mouseButton(event.button);
            break;
        case SDL_MOUSEWHEEL: {
            const SDL_MouseWheelEvent& wheel = event.wheel;
            if (!nativeOf(wheel.windowID)) break;
            const float sign = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
            if (const long y = std::lround(wheel.preciseY * WHEEL_DELTA * sign))
                sendMouseInput(MOUSEEVENTF_WHEEL, static_cast<LONG>(y));
            if (const long x = std::lround(wheel.preciseX * WHEEL_DELTA * sign))
                sendMouseInput(MOUSEEVENTF_HWHEEL, static_cast<LONG>(x));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            key(event.key);
            break;
        case SDL_TEXTINPUT:
            text(event.text.text);
            break;
        case SDL_WINDOWEVENT:
            windowEvent(event.window);
            break;
        case SDL_DISPLAYEVENT:
            WindowSystem::instance().screen = screenSize();
            break;
        default:
            break;
    }
}

void SdlBackend::pointerAt(NativeWindow& native, int x, int y, bool always) {
    Window* w = windowOf(native.handle);
    if (!w) return;
    const POINT origin = surfaceOriginOnScreen(w);
    const POINT screen{origin.x + x, origin.y + y};
    if (!always && screen.x == m_pointer.x && screen.y == m_pointer.y) return;
    m_pointer = screen;
    SetCursorPos(screen.x, screen.y);
}

void SdlBackend::mouseButton(const SDL_MouseButtonEvent& event) {
    NativeWindow* native = nativeOf(event.windowID);
    if (!native) return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    DWORD flags = 0;
    switch (event.button) {
        case SDL_BUTTON_LEFT:
            flags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            break;
        case SDL_BUTTON_RIGHT:
            flags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
            break;
        case SDL_BUTTON_MIDDLE:
            flags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
            break;
        default:
            return;
    }
    pointerAt(*native, event.x, event.y, false);
    sendMouseInput(flags);
}

void SdlBackend::key(const SDL_KeyboardEvent& event) {
    const bool down = event.type == SDL_KEYDOWN;
    const WORD vk = virtualKeyFor(event.keysym.sym);
    if (down) m_lastKey = vk;
    if (!vk) return;  // a key without a virtual key: its text comes as VK_PACKET
    DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
    if (extendedKey(event.keysym.sym)) flags |= KEYEVENTF_EXTENDEDKEY;
    nativeKey(vk, 0, flags);
}

void SdlBackend::text(const char* utf8) {
    for (const wchar_t c : decodeUtf8(utf8)) {
        if (translatesItself(m_lastKey, c)) {
            m_lastKey = 0;  // once: the rest of the text is the input method's
            continue;
        }
        if (c > std::numeric_limits<WORD>::max()) continue;  // KEYBDINPUT carries 16 bits
        nativeKey(0, static_cast<WORD>(c), KEYEVENTF_UNICODE);
        nativeKey(0, static_cast<WORD>(c), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
}

void SdlBackend::windowEvent(const SDL_WindowEvent& event) {
    NativeWindow* native = nativeOf(event.windowID);
    if (!native) return;
    const HWND handle = native->handle;
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:  // the desktop lost the pixels; the surface has them
            damageAll(*native);
            presentDamage(*native);
            break;
        case SDL_WINDOWEVENT_MOVED:
            native->position = {event.data1, event.data2};
            if (!native->minimized) adoptNativeGeometry(*native);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            nativeResized(*native, {event.data1, event.data2});
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            native->minimized = true;
            if (!IsIconic(handle)) ShowWindow(handle, SW_MINIMIZE);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            native->minimized = false;
            native->maximized = true;
            if (!(GetWindowLongPtrW(handle, GWL_STYLE) & WS_MAXIMIZE))
                ShowWindow(handle, SW_MAXIMIZE);
            if ((native = nativeOf(event.windowID))) adoptNativeGeometry(*native);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            native->minimized = native->maximized = false;
            if (GetWindowLongPtrW(handle, GWL_STYLE) & (WS_MINIMIZE | WS_MAXIMIZE))
                ShowWindow(handle, SW_RESTORE);
            if ((native = nativeOf(event.windowID))) {
                damageAll(*native);
                adoptNativeGeometry(*native);
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            activated(handle);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            pointerLeft(*native);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default:
            break;
    }
}

void SdlBackend::nativeResized(NativeWindow& native, SIZE size) {
    if (size.cx == native.size.cx && size.cy == native.size.cy) return;  // our own change
    const Uint32 id = SDL_GetWindowID(native.window.get());
    const Limits limits = applyLimits(native);
    NativeWindow* still = nativeOf(id);
    if (!still || limits.minimum.cx == 0) return;
    const SIZE kept{std::clamp(size.cx, limits.minimum.cx, limits.maximum.cx),
                    std::clamp(size.cy, limits.minimum.cy, limits.maximum.cy)};
    if (kept.cx != size.cx || kept.cy != size.cy)
        SDL_SetWindowSize(still->window.get(), kept.cx, kept.cy);
    still->size = kept;
    damageAll(*still);  // a new frame buffer holds nothing yet
    if (!still->minimized) adoptNativeGeometry(*still);
}

// The window rect follows the native client area, with the frame around it.
// A native window as large as the window's surface shows all it can: the
// window, which may be larger, keeps its size.
void SdlBackend::adoptNativeGeometry(NativeWindow& native) {
    Window* w = windowOf(native.handle);
    if (!w) return;
    const RECT frame = frameInsets(w->style, w->exStyle);
    const SIZE extent = surfaceExtent(w);
    const bool showsAll = native.size.cx == extent.cx && native.size.cy == extent.cy;
    const LONG left = native.position.x - frame.left, top = native.position.y - frame.top;
    const RECT wanted = showsAll ? RECT{left, top, left + (w->rect.right - w->rect.left),
                                        top + (w->rect.bottom - w->rect.top)}
                                 : RECT{left, top, native.position.x + native.size.cx + frame.right,
                                        native.position.y + native.size.cy + frame.bottom};
    const RECT& r = w->rect;
    if (r.left == wanted.left && r.top == wanted.top && r.right == wanted.right &&
        r.bottom == wanted.bottom)
        return;
    SetWindowPos(native.handle, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                 wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Activation on the desktop: the window system's order and focus follow, so
// that hit testing agrees with what the user sees and keys reach the window.
void SdlBackend::activated(HWND handle) {
    WindowSystem& ws = WindowSystem::instance();
    const auto top = std::find_if(ws.topLevel.begin(), ws.topLevel.end(), [](const Window* t) {
        return (t->style & WS_VISIBLE) && !(t->style & WS_MINIMIZE);
    });
    if (top != ws.topLevel.end() && (*top)->handle != handle)
        SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HWND focus = GetFocus();
    if (!focus || (focus != handle && !IsChild(handle, focus))) SetFocus(handle);
}

// Without a button held the pointer went elsewhere on the desktop: it goes
// there in the window system too, so leave tracking and hovering end.
void SdlBackend::pointerLeft(NativeWindow& native) {
    if (SDL_GetMouseState(nullptr, nullptr) != 0) return;  // captured: motion keeps coming
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    const bool inside = x >= native.position.x && x < native.position.x + native.size.cx &&
                        y >= native.position.y && y < native.position.y + native.size.cy;
    if (inside) return;  // the desktop does not tell where (Wayland)
    m_pointer = {x, y};
    SetCursorPos(x, y);
}

}  // namespace tessel::ws
