// Internal: what the window system asks of a display backend. The headless
// backend keeps everything in memory; the SDL backend shows top-level
// windows as native ones and feeds native input back through SendInput.
#pragma once

#include <cairo.h>

#include <string>

#include <tessel/platform/win_types.h>

namespace tessel::ws {

struct Window;

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* name() const = 0;
    virtual SIZE screenSize() const = 0;
    // A top-level window was shown, hidden, moved or resized, or its title changed.
    virtual void topLevelChanged(Window& window) = 0;
    virtual void topLevelDestroyed(Window& window) = 0;
    // Pixels of the top-level window's surface changed within `damage` (surface pixels).
    virtual void present(Window& window, const RECT& damage) = 0;
    // Waits up to timeoutMs (negative: without limit) for native events and
    // feeds them in; returns at once when there are none to wait for.
    virtual void wait(long timeoutMs) = 0;
    virtual void cursorChanged(HCURSOR cursor) = 0;
};

// The headless backend: a screen of TESSEL_SCREEN=WxH (default 1920x1080).
Backend* headlessBackend();
// The SDL backend, started on the first call; null when SDL's video cannot
// start, and `failure` then says why.
Backend* sdlBackend(std::string& failure);
// The backend of this process: TESSEL_BACKEND=headless|sdl forces one (an
// unknown value or an sdl that fails says so on stderr and gives headless);
// otherwise sdl when a display is announced and answers, else headless.
Backend* chooseBackend();

}  // namespace tessel::ws
