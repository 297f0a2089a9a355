// The SDL backend's native windows and presentation.
#include "backends/sdl/backend_sdl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include <tessel/platform/text_encoding.h>
#include "user/metrics.h"

namespace tessel::ws {

namespace {

bool same(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

bool same(SIZE a, SIZE b) {
    return a.cx == b.cx && a.cy == b.cy;
}

SDL_SystemCursor systemCursorFor(HCURSOR cursor) {
    switch (reinterpret_cast<ULONG_PTR>(cursor)) {
        case 32513:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case 32514:
            return SDL_SYSTEM_CURSOR_WAIT;
        case 32515:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case 32642:
            return SDL_SYSTEM_CURSOR_SIZENWSE;
        case 32643:
            return SDL_SYSTEM_CURSOR_SIZENESW;
        case 32644:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case 32645:
            return SDL_SYSTEM_CURSOR_SIZENS;
        case 32646:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        case 32648:
            return SDL_SYSTEM_CURSOR_NO;
        case 32649:
            return SDL_SYSTEM_CURSOR_HAND;
        case 32650:  // IDC_APPSTARTING
            return SDL_SYSTEM_CURSOR_WAITARROW;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

// Cairo's ARGB32 and these SDL formats share one layout on every platform
// SDL and Cairo agree on: rows can be copied as they are.
bool sameLayout(const SDL_Surface* target) {
    return target->format->format == SDL_PIXELFORMAT_ARGB8888 ||
           target->format->format == SDL_PIXELFORMAT_RGB888;
}

// SDL falls back to drivers without a screen (offscreen, dummy) when no
// display answers; unless SDL_VIDEODRIVER names a driver, only the desktops
// that the environment announces are tried.
bool startVideo(std::string& failure) {
    if (const char* asked = std::getenv("SDL_VIDEODRIVER"); asked && *asked) {
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
        failure = SDL_GetError();
        return false;
    }
    failure = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    const std::pair<const char*, const char*> desktops[] = {{"DISPLAY", "x11"},
                                                            {"WAYLAND_DISPLAY", "wayland"}};
    for (const auto& [variable, driver] : desktops) {
        const char* display = std::getenv(variable);
        if (!display || !*display) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
        failure = SDL_GetError();
    }
    return false;
}

}  // namespace

SdlBackend* SdlBackend::start(std::string& failure) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");         // Ctrl+C ends the program as usual
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");  // closing is WM_CLOSE's business
    // A click that activates a window reaches it too, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");  // a desktop program, not a game
    // The desktop's own frame buffer (X11: shared memory) takes just the
    // damaged rectangles; SDL's accelerated one re-uploads the whole window
    // through OpenGL on every update and may wait for the swap.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!startVideo(failure)) return nullptr;
    alignas(SdlBackend) static unsigned char storage[sizeof(SdlBackend)];
    return new (storage) SdlBackend;
}

Backend* sdlBackend(std::string& failure) {
    static SdlBackend* const backend = SdlBackend::start(failure);
    return backend;
}

SIZE SdlBackend::screenSize() const {
    // The union of the displays, which SDL places from (0, 0) on.
    SIZE screen{0, 0};
    for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
        screen.cx = std::max<LONG>(screen.cx, bounds.x + bounds.w);
        screen.cy = std::max<LONG>(screen.cy, bounds.y + bounds.h);
    }
    return screen.cx > 0 && screen.cy > 0 ? screen : SIZE{1920, 1080};
}

NativeWindow* SdlBackend::create(Window& w) {
    const SIZE size = surfaceExtent(&w);
    const POINT at = surfaceOriginOnScreen(&w);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (w.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((w.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    auto native = std::make_unique<NativeWindow>();
    native->title = encodeUtf8(w.text);
    native->window.reset(
        SDL_CreateWindow(native->title.c_str(), at.x, at.y, size.cx, size.cy, flags));
    if (!native->window) {
        std::fprintf(stderr, "tessel: cannot create a native window: %s\n", SDL_GetError());
        return nullptr;
    }
    native->handle = w.handle;
    native->position = at;
    native->size = size;
    NativeWindow* made = native.get();
    w.backendData = made;
    m_windows.emplace(SDL_GetWindowID(made->window.get()), std::move(native));
    applyLimits(*made);
    return made;
}

SdlBackend::Limits SdlBackend::limitsOf(HWND handle) {
    Window* w = windowOf(handle);
    if (!w) return {};
    MINMAXINFO info = defaultMinMaxInfo(w);
    if (keepsTrackLimits(w->style, w->parent)) {
        send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        if (!(w = windowOf(handle))) return {};
    } else {  // a popup without a thick frame may be any size
        info.ptMinTrackSize = {0, 0};
        info.ptMaxTrackSize = {metrics::kMaxWindowSize, metrics::kMaxWindowSize};
    }
    const RECT frame = frameInsets(w->style, w->exStyle);
    const LONG dx = frame.left + frame.right, dy = frame.top + frame.bottom;
    // A handler's limits may be anything; the native window is never larger
    // than the surface it shows.
    auto inRange = [](LONG size, LONG frameSize) {
        return std::min<LONG>(std::clamp<LONG>(size, 0, metrics::kMaxWindowSize) - frameSize,
                              metrics::kMaxSurfaceExtent);
    };
    const SIZE minimum{std::max<LONG>(1, inRange(info.ptMinTrackSize.x, dx)),
                       std::max<LONG>(1, inRange(info.ptMinTrackSize.y, dy))};
    return {minimum,
            {std::max(minimum.cx, inRange(info.ptMaxTrackSize.x, dx)),
             std::max(minimum.cy, inRange(info.ptMaxTrackSize.y, dy))}};
}

SdlBackend::Limits SdlBackend::applyLimits(NativeWindow& native) {
    const HWND handle = native.handle;
    const Uint32 id = SDL_GetWindowID(native.window.get());
    const Limits limits = limitsOf(handle);
    // WM_GETMINMAXINFO's handler may have destroyed the window, and the record with it.
    if (NativeWindow* still = nativeOf(id); still && limits.minimum.cx > 0) {
        SDL_SetWindowMinimumSize(still->window.get(), limits.minimum.cx, limits.minimum.cy);
        SDL_SetWindowMaximumSize(still->window.get(), limits.maximum.cx, limits.maximum.cy);
    }
    return limits;
}

void SdlBackend::topLevelChanged(Window& w) {
    if (w.parent) return;
    const HWND handle = w.handle;
    auto* native = static_cast<NativeWindow*>(w.backendData);
    const bool visible = (w.style & WS_VISIBLE) != 0;
    if (!native) {
        if (!visible || !(native = create(w))) return;
        Window* again = windowOf(handle);  // creation asked WM_GETMINMAXINFO
        if (!again || again->backendData != native) return;
    }
    SDL_Window* window = native->window.get();
    if (!visible) {
        if (native->shown) SDL_HideWindow(window);
        native->shown = false;
        return;
    }
    if (std::string title = encodeUtf8(w.text); title != native->title) {
        SDL_SetWindowTitle(window, title.c_str());
        native->title = std::move(title);
    }
    // The desktop decides where minimised and maximised windows are.
    if (!native->minimized && !native->maximized) {
        const SIZE size = surfaceExtent(&w);
        const POINT at = surfaceOriginOnScreen(&w);
        if (!same(size, native->size)) {
            SDL_SetWindowSize(window, size.cx, size.cy);
            native->size = size;
        }
        if (!same(at, native->position)) {
            SDL_SetWindowPosition(window, at.x, at.y);
            native->position = at;
        }
    }
    if (!native->shown) SDL_ShowWindow(window);
    native->shown = true;
    const bool minimized = (w.style & WS_MINIMIZE) != 0, maximized = (w.style & WS_MAXIMIZE) != 0;
    if (minimized != native->minimized || maximized != native->maximized) {
        native->minimized = minimized;
        native->maximized = maximized;
        if (minimized) {
            SDL_MinimizeWindow(window);
        } else if (maximized) {
            SDL_MaximizeWindow(window);
        } else {
            SDL_RestoreWindow(window);
        }
    }
}

void SdlBackend::topLevelDestroyed(Window& w) {
    auto* native = static_cast<NativeWindow*>(w.backendData);
    if (!native) return;
    w.backendData = nullptr;
    m_windows.erase(SDL_GetWindowID(native->window.get()));
}

void SdlBackend::present(Window& w, const RECT& damage) {
    auto* native = static_cast<NativeWindow*>(w.backendData);
    if (!native) return;  // shown later: showing repaints everything
    const cairo_rectangle_int_t r{damage.left, damage.top, damage.right - damage.left,
                                  damage.bottom - damage.top};
    if (native->damage) {
        cairo_region_union_rectangle(native->damage.get(), &r);
    } else {
        native->damage.reset(cairo_region_create_rectangle(&r));
    }
}

void SdlBackend::damageAll(NativeWindow& native) {
    const cairo_rectangle_int_t all{0, 0, native.size.cx, native.size.cy};
    native.damage.reset(cairo_region_create_rectangle(&all));
}

void SdlBackend::presentAll() {
    for (auto& [id, native] : m_windows)
        presentDamage(*native);
}

namespace {

// Copies a rectangle of surface pixels into a frame buffer of the same
// layout and scale; false when nothing of it lies on the frame buffer, which
// may still have the size from before a resize.
bool copyPixels(SDL_Surface* target, const unsigned char* pixels, int stride,
                const cairo_rectangle_int_t& r, SDL_Rect* copied) {
    const int right = std::min(r.x + r.width, target->w);
    const int bottom = std::min(r.y + r.height, target->h);
    if (right <= r.x || bottom <= r.y) return false;
    auto* to = static_cast<unsigned char*>(target->pixels);
    for (int y = r.y; y < bottom; ++y) {
        std::memcpy(to + static_cast<std::ptrdiff_t>(y) * target->pitch + r.x * 4,
                    pixels + static_cast<std::ptrdiff_t>(y) * stride + r.x * 4,
                    static_cast<std::size_t>(right - r.x) * 4);
    }
    *copied = {r.x, r.y, right - r.x, bottom - r.y};
    return true;
}

}  // namespace

// Copies the damaged part of the window's surface into the native window's
// frame buffer and shows that part alone. A frame buffer larger than the
// window (a high-DPI drawable) gets the surface scaled up.
void SdlBackend::presentDamage(NativeWindow& native) {
    if (!native.damage) return;
    const auto damage = std::move(native.damage);
    Window* w = windowOf(native.handle);
    if (!w || !w->surface || !native.shown || native.minimized) return;
    SDL_Window* window = native.window.get();
    SDL_Surface* target = SDL_GetWindowSurface(window);
    // A frame buffer whose size SDL could not count in an int is not to be written.
    if (!target || !target->pixels ||
        static_cast<long long>(target->pitch) * target->h > std::numeric_limits<int>::max()) {
        return;
    }
    cairo_surface_t* surface = w->surface;
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const cairo_rectangle_int_t bounds{0, 0, width, height};
    cairo_region_intersect_rectangle(damage.get(), &bounds);
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    const double sx = static_cast<double>(target->w) / std::max(1, windowWidth);
    const double sy = static_cast<double>(target->h) / std::max(1, windowHeight);
    const bool direct = sx == 1.0 && sy == 1.0 && sameLayout(target);
    std::unique_ptr<SDL_Surface, SdlDeleter> source;
    if (!direct) {
        source.reset(SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, stride,
                                                        SDL_PIXELFORMAT_ARGB8888));
        if (!source) return;
        SDL_SetSurfaceBlendMode(source.get(), SDL_BLENDMODE_NONE);
    }
    const int count = cairo_region_num_rectangles(damage.get());
    std::vector<SDL_Rect> shown;
    shown.reserve(static_cast<std::size_t>(count));
    if (direct && SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(damage.get(), i, &r);
        if (direct) {
            SDL_Rect copied;
            if (copyPixels(target, pixels, stride, r, &copied)) shown.push_back(copied);
        } else {
            SDL_Rect from{r.x, r.y, r.width, r.height};
            const int left = static_cast<int>(std::floor(r.x * sx));
            const int top = static_cast<int>(std::floor(r.y * sy));
            SDL_Rect to{left, top, static_cast<int>(std::ceil((r.x + r.width) * sx)) - left,
                        static_cast<int>(std::ceil((r.y + r.height) * sy)) - top};
            if (SDL_BlitScaled(source.get(), &from, target, &to) == 0 && to.w > 0 && to.h > 0)
                shown.push_back(to);  // clipped to the frame buffer by the blit
        }
    }
    if (direct && SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (!shown.empty())
        SDL_UpdateWindowSurfaceRects(window, shown.data(), static_cast<int>(shown.size()));
}

void SdlBackend::cursorChanged(HCURSOR cursor) {
    if (!cursor) {  // SetCursor(nullptr) hides the pointer
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    const SDL_SystemCursor id = systemCursorFor(cursor);
    auto& made = m_cursors[id];
    if (!made) made.reset(SDL_CreateSystemCursor(id));
    if (made) SDL_SetCursor(made.get());
    SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace tessel::ws
