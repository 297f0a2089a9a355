// Internal: what the window system asks of a display backend. The headless
// backend keeps everything in memory; the SDL backend shows top-level
// windows as native ones and feeds native input back through SendInput.
// The window system knows backends only through this interface; the layer
// above (backends/) implements it.
#pragma once

#include <cairo.h>

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
    // Waits up to timeoutMs (negative: without limit) for native events or a
    // watched descriptor (user/wait_source_set.h), feeds the events in and
    // runs the callbacks of the descriptors that are ready; returns at once
    // when nothing could end the wait.
    virtual void wait(long timeoutMs) = 0;
    virtual void cursorChanged(HCURSOR cursor) = 0;
};

// What picks the process's backend when the window system starts. The
// backends name theirs as the library loads (backends/choice.cpp): the
// window system calls nothing above it.
using BackendChooser = Backend* (*)();
void setBackendChooser(BackendChooser chooser);

}  // namespace tessel::ws
