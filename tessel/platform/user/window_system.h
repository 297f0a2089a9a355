// Internal: the window system's model. One instance per process, used from
// the user-interface thread only. The windows themselves are in user/window.h.
#pragma once

#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <tessel/platform/win_user.h>
#include "base/handle_slots.h"
#include "user/window.h"

namespace tessel::ws {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    std::uint64_t due;
    TIMERPROC procedure;
};

class Backend;

// One raw input event as SendInput or the display backend gave it.
struct RawInput {
    INPUT event;
    bool injected;  // from SendInput: a program's, not the user's (LLKHF_INJECTED)
};

class WindowSystem {
public:
    // Never destroyed: windows of objects with static storage may still be
    // torn down during exit, after static destruction has passed this.
    static WindowSystem& instance() {
        static WindowSystem* const system = create();
        return *system;
    }
    ~WindowSystem();

    Window* find(HWND handle) const {  // live windows only
        const auto* slot = m_windows.find(reinterpret_cast<std::uint64_t>(handle));
        return slot ? slot->get() : nullptr;
    }
    HWND insert(std::unique_ptr<Window> window);
    void retire(Window* window);   // handle invalid from now on
    void release(Window* window);  // frees a dead window once not busy

    std::vector<Window*> topLevel;  // topmost first
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::deque<MSG> posted;
    std::vector<HWND> paintQueue;  // windows that may need painting
    std::vector<Timer> timers;
    bool quitPosted = false;
    int quitCode = 0;
    LONG messageTime = 0;
    POINT messagePos{0, 0};
    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    HCURSOR cursor = nullptr;
    POINT cursorPos{0, 0};
    std::deque<RawInput> input;  // raw events from SendInput and the backend
    BYTE keys[256] = {};         // 0x80: down, 0x01: toggled
    WORD packetCharacter = 0;    // the character of the last VK_PACKET key
    HWND hover = nullptr;        // the window the pointer was last over
    HWND tracking = nullptr;     // TrackMouseEvent(TME_LEAVE) target
    // Alt went down and no other key since: its release is a system key too.
    bool altAlone = false;
    // The last input came from the keyboard: UIS_INITIALIZE shows the cues.
    bool keyboardInputLast = false;
    struct Click {
        HWND window = nullptr;
        UINT message = 0;
        std::uint64_t time = 0;
        POINT screen{0, 0};
        bool armed = false;  // the next press may become a double click
    } lastClick;
    // The standard scroll bar being pressed: it takes the pointer until release.
    struct ScrollTrack {
        HWND window = nullptr;
        int bar = SB_VERT;
        int part = -1;  // SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN or SB_THUMBTRACK
        int grab = 0;   // pointer offset into the thumb, bar pixels
    } scrollTrack;
    // DeferWindowPos batches by handle value.
    std::unordered_map<std::uintptr_t, std::vector<WINDOWPOS>> deferred;
    std::uintptr_t nextBatch = 1;
    SIZE screen{1920, 1080};
    Backend* backend = nullptr;

    // The clock: real milliseconds since start, or a virtual clock for tests.
    std::uint64_t now() const;
    bool virtualClock = false;
    std::uint64_t virtualNow = 0;

private:
    WindowSystem();
    static WindowSystem* create();
    HandleSlots<std::unique_ptr<Window>> m_windows;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// The registered class of that name or atom, or null (window_classes.cpp).
std::shared_ptr<WindowClass> findClass(LPCWSTR name);
// The parent's children changed (added, removed, restacked).
void childrenChanged(Window* parent);
// `child` was taken out of the parent's children.
void childRemoved(Window* parent, Window* child);
// The parent's index, made or refreshed as needed; null for few children.
inline ChildIndex* indexOf(Window* parent) {
    if (parent->children.size() < ChildIndex::kThreshold) {
        if (parent->childIndex) parent->childIndex.reset();
        return nullptr;
    }
    if (!parent->childIndex) parent->childIndex = std::make_unique<ChildIndex>();
    return parent->childIndex.get();
}

template <class Visit>
void ChildIndex::forEachOverlapping(Window& parent, const RECT& r, Visit visit) {
    if (m_stale) rebuild(parent);
    ++m_visit;
    auto consider = [&](Window* child) {
        if (child->visited == m_visit) return;
        child->visited = m_visit;
        const RECT& c = child->rect;
        if (c.left < r.right && r.left < c.right && c.top < r.bottom && r.top < c.bottom)
            visit(child);
    };
    for (Window* child : m_large)
        consider(child);
    int x0, y0, x1, y1;
    if (!cellRange(r, x0, y0, x1, y1)) return;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            for (Window* child : m_cells[static_cast<std::size_t>(y) * m_columns + x])
                consider(child);
        }
    }
}

// Helpers shared by the window system's files.
// Inline: every call of the window system starts here.
inline Window* windowOf(HWND handle) {
    return WindowSystem::instance().find(handle);
}
LRESULT send(Window* window, UINT message, WPARAM wParam, LPARAM lParam);
POINT clientOriginOnScreen(const Window* window);
POINT windowOriginOnScreen(const Window* window);
Window* topLevelOf(Window* window);
bool reallyVisible(const Window* window);      // it and all its ancestors visible
RECT frameInsets(DWORD style, DWORD exStyle);  // borders and caption, no scroll bars
// Sends WM_NCCALCSIZE for the window's rect and stores the client area it gives.
void recalculateClient(Window* window);
MINMAXINFO defaultMinMaxInfo(const Window* window);
// A sizable or overlapped top-level window keeps its size within the tracking
// limits of WM_GETMINMAXINFO (a popup without a thick frame may be any size).
bool keepsTrackLimits(DWORD style, const Window* parent);
// The size within the limits; the minimum (unless left out: a minimised
// window) wins over a smaller maximum.
void applyTrackLimits(const MINMAXINFO& limits, int& width, int& height, bool minimum = true);
// Positions and sizes kept within the 16-bit range of window coordinates.
void limitCoordinates(int& x, int& y, int& width, int& height);
// The end of a window's life: owned windows, WM_DESTROY (optional), the
// children, WM_NCDESTROY, then the handle is retired.
void destroyWindow(Window* window, bool sendDestroy);
// Capture, focus and mouse tracking held by the window or a descendant end.
void releaseInputState(Window* window);
// SetWindowPos; `quietly` leaves out every invalidation (the caller repaints).
BOOL placeWindow(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags,
                 bool quietly);
// The window waits for WM_PAINT.
void markForPaint(Window* window);
// What of the window's update region can no longer show (outside its
// ancestors' client areas, or off the surface) is dropped: whatever shows
// it again invalidates it anew. Wholly hidden, its descendants' go too.
void cropUpdate(Window* window);
// The window no longer waits for painting.
void forgetPaint(Window* window);
// Adds to the update region (client coordinates; null: the whole client area).
void invalidate(Window* window, const cairo_region_t* region, bool erase, bool children);
// The part of the parent (and of the windows under it) that `rect` covered
// becomes invalid: what was behind a moved or hidden window shows again.
void expose(Window* window, const RECT& rectInParent);
void expose(Window* window, const cairo_region_t* regionInParent);
// Where `r` (window-relative when `nonClient`, else client) lies on the surface.
RECT onSurface(const Window* window, RECT r, bool nonClient);
// The part of the surface where the window shows (the whole window when
// `nonClient`, else its client area), cut by its ancestors' client areas and
// the siblings above, and, unless `withChildren`, without its own children;
// cut to `within` (surface coordinates) when given. The caller destroys it.
cairo_region_t* visibleRegion(const Window* window, bool nonClient, bool withChildren = false,
                              const RECT* within = nullptr);
// Where the window and its descendants show on the surface with pixels that
// are up to date: nothing that waits for WM_PAINT or WM_NCPAINT. Null when
// the window has no surface to show on (window_bits.cpp). `shown`, when
// given, is visibleRegion(window, true, true), already at hand.
cairo_region_t* validArea(const Window* window, const cairo_region_t* shown = nullptr);
// Copies the surface's pixels into `destination` (surface coordinates) from
// where they lie (dx, dy) away, and presents them (window_bits.cpp).
void moveBits(Window* topLevel, const cairo_region_t* destination, int dx, int dy);
// The same for `count` rectangles of a region's bands, in the region's order.
void moveBits(Window* topLevel, const cairo_rectangle_int_t* rects, int count, int dx, int dy);
// The topmost visible, enabled window under a screen point, or null.
// Windows in `skip` (which answered HTTRANSPARENT) count as absent.
Window* windowAt(POINT screenPoint, const std::vector<Window*>& skip = {});
// The top-level window's surface covers the window inside its frame and
// caption (client area and scroll bars), which the desktop decorates.
POINT surfaceOriginOnScreen(const Window* topLevel);
// The size of that surface: the window inside its frame, cut to the largest
// surface there may be (metrics::kMaxSurfaceExtent, kMaxSurfacePixels) from
// its top-left corner. Nothing beyond it is painted or shown.
SIZE surfaceExtent(const Window* topLevel);
// The window (filtered by `filter` when not null) that should get WM_PAINT
// next, parents before children; null when none.
Window* nextToPaint(HWND filter);
// The default WM_NCPAINT: frames and scroll bars of the window.
void drawNonClient(Window* window);
// Calls the hooks of a kind (WH_x), newest first; 0 without any (hooks.cpp).
LRESULT callHooks(int kind, int code, WPARAM wParam, LPARAM lParam);
// Queues a raw input event; a backend's native events are not injected (input.cpp).
void queueInput(const INPUT& event, bool injected);
// Turns the next raw input event into a message (input.cpp).
bool nextInput(MSG* out, HWND filter, UINT first, UINT last, bool remove);
// A press on a standard scroll bar starts its interaction; while it lasts the
// pointer's moves and release go to the bar (scroll_bar.cpp).
void beginScrollBarTracking(Window* window, int hit, LPARAM screenPoint);
bool scrollBarTracking();
// Ends a bar interaction of `handle` without notifications (the window is going away).
void cancelScrollBarTracking(HWND handle);
void scrollBarPointer(UINT message);
void drawScrollBars(Window* window, HDC windowDC);
// The default WM_NCCALCSIZE on a rectangle in the parent's coordinates.
void defaultClientRect(const Window* window, RECT* rect);

}  // namespace tessel::ws
