// Internal: a window, its class and its standard scroll bars.
//
// Invariants:
// - A Window lives in the handle table from creation until WM_NCDESTROY;
//   its memory is kept until no message to it is being processed (`busy`),
//   so a window destroyed inside its own handler never dangles.
// - `rect` is in the parent's client coordinates (screen coordinates for a
//   top-level window); `client` is the client area relative to `rect`'s
//   top-left corner, as WM_NCCALCSIZE computed it.
// - `children` is in z-order, topmost first.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tessel/platform/win_user.h>
#include "user/child_index.h"
#include "user/update_region.h"

namespace tessel::ws {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct ScrollBar {
    int minimum = 0;
    int maximum = 0;
    UINT page = 0;
    int position = 0;
    int trackPosition = 0;
    UINT disabledArrows = 0;       // ESB_ flags
    bool disableNoScroll = false;  // shown disabled instead of hidden
};

// What few windows use, kept apart so that the many windows of a long list
// stay small: made on the first write.
struct WindowExtras {
    ScrollBar bars[2];
    LONG_PTR userData = 0;
};

// Members are ordered by size so that padding costs no bytes per window.
struct Window {
    Window() = default;
    ~Window() {
        if (surface) cairo_surface_destroy(surface);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Bar SB_HORZ or SB_VERT; a window that never had one reads an empty bar.
    const ScrollBar& bar(int which) const {
        static const ScrollBar none;
        return extras ? extras->bars[which] : none;
    }
    ScrollBar& barToChange(int which) { return moreData().bars[which]; }
    LONG_PTR userData() const { return extras ? extras->userData : 0; }
    WindowExtras& moreData() {
        if (!extras) extras = std::make_unique<WindowExtras>();
        return *extras;
    }

    HWND handle = nullptr;
    std::uint32_t slot = 0;  // index in the handle table
    int zOrder = 0;          // position among the siblings (kept by the index)
    std::shared_ptr<const WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring text;
    LONG_PTR id = 0;
    Window* parent = nullptr;
    Window* owner = nullptr;
    std::vector<Window*> children;           // topmost first
    std::unique_ptr<ChildIndex> childIndex;  // made once there are many children
    std::unique_ptr<WindowExtras> extras;    // null until a bar or user data is set
    std::uint32_t childrenSerial = 0;        // raised when children are added, removed, restacked
    std::uint32_t visited = 0;               // ChildIndex's once-per-query mark
    RECT rect{};                             // parent client coordinates (screen for top-level)
    RECT client{};                           // relative to rect's top-left
    UpdateRegion update;                     // client coordinates
    std::uint64_t paintSerial = 0;           // raised by every change of `update`
    int busy = 0;                            // messages being processed
    bool eraseWanted = false;
    bool frameWanted = false;  // non-client area needs drawing
    BYTE uiState = 0;          // UISF_ bits: keyboard cues hidden until the keyboard is used
    bool paintQueued = false;  // listed in WindowSystem::paintQueue
    bool destroying = false;
    bool dead = false;  // after WM_NCDESTROY: freed when not busy
    // Top-level only: the backing surface of the client area.
    cairo_surface_t* surface = nullptr;
    void* backendData = nullptr;
};

}  // namespace tessel::ws
