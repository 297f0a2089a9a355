// Internal: the SDL2 display backend. Each visible top-level window is a
// native SDL window the size of its surface (the window inside the frame and
// caption, which the desktop draws instead). Native input enters through
// SetCursorPos and SendInput like a test's; native moving, resizing,
// minimising and closing become the window system's own calls.
//
// Invariants:
// - A top-level window has a native one from its first showing until it is
//   destroyed; Window::backendData then points at its record.
// - A record's `position`, `size` and state flags are what the native side
//   last reported or was last told, so each change is applied once, in
//   whichever direction it came from.
// - Painting only collects damage; wait() presents it before it looks for
//   events, so a turn of the message loop uploads each window's damage once
//   and never holds up input.
//
// - While wait() blocks in SDL, the watched descriptors are polled by
//   m_watcher's thread; their callbacks run here, after the wait.
//
//   TESSEL_BACKEND=sdl ./app    (or a DISPLAY/WAYLAND_DISPLAY to choose it)
//   GetMessage/DispatchMessage as usual: wait() feeds native events in.
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

#include "backends/backend.h"
#include "backends/sdl/descriptor_watcher.h"
#include "user/window_system.h"

namespace tessel::ws {

struct SdlDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
    void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
    void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};

struct NativeWindow {
    std::unique_ptr<SDL_Window, SdlDeleter> window;
    HWND handle = nullptr;
    POINT position{};  // of the native client area on the desktop
    SIZE size{};       // logical pixels, as the window system counts them
    std::string title;
    bool shown = false;
    bool minimized = false;
    bool maximized = false;
    std::unique_ptr<cairo_region_t, SdlDeleter> damage;  // surface pixels, not yet presented
};

class SdlBackend final : public Backend {
public:
    // Starts SDL's video; null (and `failure` says why) when it cannot.
    // The backend is never destroyed: windows of static objects may be torn
    // down after static destruction.
    static SdlBackend* start(std::string& failure);

    const char* name() const override { return "sdl"; }
    SIZE screenSize() const override;
    void topLevelChanged(Window& window) override;
    void topLevelDestroyed(Window& window) override;
    void present(Window& window, const RECT& damage) override;
    void wait(long timeoutMs) override;
    void cursorChanged(HCURSOR cursor) override;

private:
    SdlBackend() = default;

    // Tracking sizes of the native client area; zero when the window has gone.
    struct Limits {
        SIZE minimum{0, 0};
        SIZE maximum{0, 0};
    };

    // backend_sdl.cpp: native windows and presentation.
    NativeWindow* create(Window& window);
    // Asks WM_GETMINMAXINFO (the handler may destroy the window).
    static Limits limitsOf(HWND handle);
    // The limits, also set on the native window for the desktop to keep.
    Limits applyLimits(NativeWindow& native);
    void damageAll(NativeWindow& native);
    void presentDamage(NativeWindow& native);
    void presentAll();

    // backend_sdl_events.cpp: native events into the window system.
    void feed(const SDL_Event& event);
    void windowEvent(const SDL_WindowEvent& event);
    void nativeResized(NativeWindow& native, SIZE size);
    void adoptNativeGeometry(NativeWindow& native);
    void activated(HWND handle);
    void pointerLeft(NativeWindow& native);
    void mouseButton(const SDL_MouseButtonEvent& event);
    void key(const SDL_KeyboardEvent& event);
    void text(const char* utf8);
    // Waits in SDL for up to timeoutMs, woken early by a watched descriptor.
    int waitNative(SDL_Event* event, long timeoutMs);
    // The native window of an event, dropped when its window has gone.
    NativeWindow* nativeOf(Uint32 windowId);
    // The pointer at a native window's point, through SetCursorPos; unless
    // `always`, only when it is not there already.
    void pointerAt(NativeWindow& native, int x, int y, bool always);

    std::unordered_map<Uint32, std::unique_ptr<NativeWindow>> m_windows;  // by SDL window id
    std::array<std::unique_ptr<SDL_Cursor, SdlDeleter>, SDL_NUM_SYSTEM_CURSORS> m_cursors;
    POINT m_pointer{-1, -1};  // where native input last put the pointer (screen)
    WORD m_lastKey = 0;  // the last key pressed: its text may already come from TranslateMessage
    DescriptorWatcher m_watcher;  // the watched descriptors while SDL waits
};

}  // namespace tessel::ws
