// Update regions, painting and device contexts over the top-level surfaces.
#include <algorithm>
#include <initializer_list>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>
#include "gdi/state.h"
#include "user/backend.h"
#include "user/metrics.h"
#include "user/region_rects.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

RECT clientBox(const Window* w) {
    return {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
}

}  // namespace

void markForPaint(Window* w) {
    ++w->paintSerial;
    if (!w->paintQueued) {
        w->paintQueued = true;
        WindowSystem::instance().paintQueue.push_back(w->handle);
    }
}

SIZE surfaceExtent(const Window* top) {
    const RECT frame = frameInsets(top->style, top->exStyle);
    const long long width =
        std::clamp<long long>(0LL + top->rect.right - top->rect.left - frame.left - frame.right, 1,
                              metrics::kMaxSurfaceExtent);
    long long height =
        std::clamp<long long>(0LL + top->rect.bottom - top->rect.top - frame.top - frame.bottom, 1,
                              metrics::kMaxSurfaceExtent);
    height = std::min(height, metrics::kMaxSurfacePixels / width);
    return {static_cast<LONG>(width), static_cast<LONG>(height)};
}

namespace {

// The top-level window of `w`, its surface made or resized to its extent.
// When the memory cannot be had, the window has no surface: nothing paints.
Window* surfaceWindow(Window* w) {
    Window* top = topLevelOf(w);
    const SIZE extent = surfaceExtent(top);
    if (top->surface && cairo_image_surface_get_width(top->surface) == extent.cx &&
        cairo_image_surface_get_height(top->surface) == extent.cy) {
        return top;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, extent.cx, extent.cy);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        !cairo_image_surface_get_data(surface)) {
        cairo_surface_destroy(surface);
        surface = nullptr;
    } else {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        if (top->surface) {  // keep what was there until it is repainted
            cairo_set_source_surface(cr, top->surface, 0, 0);
            cairo_paint(cr);
        }
        cairo_destroy(cr);
    }
    if (top->surface) cairo_surface_destroy(top->surface);
    top->surface = surface;
    return top;
}

}  // namespace

RECT onSurface(const Window* w, RECT r, bool nonClient) {
    const Window* top = topLevelOf(const_cast<Window*>(w));
    const POINT surface = surfaceOriginOnScreen(top);
    const POINT origin = nonClient ? windowOriginOnScreen(w) : clientOriginOnScreen(w);
    OffsetRect(&r, origin.x - surface.x, origin.y - surface.y);
    return r;
}

cairo_region_t* visibleRegion(const Window* w, bool nonClient, bool withChildren,
                              const RECT* within) {
    const RECT own = nonClient
                         ? RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top}
                         : clientBox(w);
    RECT box = onSurface(w, own, nonClient);
    // Everything that follows is cut to `within` first: a small paint over a
    // window of many children then looks only at the few it touches.
    if (within) {
        box = {std::max(box.left, within->left), std::max(box.top, within->top),
               std::min(box.right, within->right), std::min(box.bottom, within->bottom)};
    }
    // Most windows show as one rectangle: the region is made only once a cut
    // actually bites, and what misses the shown part is never subtracted.
    cairo_region_t* region = nullptr;
    std::vector<cairo_rectangle_int_t> cuts;  // still to come off the region
    // The region, when made, always lies within the box.
    auto empty = [&] {
        return box.left >= box.right || box.top >= box.bottom ||
               (region && cairo_region_is_empty(region));
    };
    auto cut = [&](const RECT& r) {
        if (empty() || r.left >= box.right || box.left >= r.right || r.top >= box.bottom ||
            box.top >= r.bottom || r.left >= r.right || r.top >= r.bottom) {
            return;
        }
        if (!region) {
            // A cut across the whole box from one side leaves a smaller box.
            const bool rows = r.top <= box.top && r.bottom >= box.bottom;
            const bool columns = r.left <= box.left && r.right >= box.right;
            if (rows && r.left <= box.left) {
                box.left = std::min(r.right, box.right);
            } else if (rows && r.right >= box.right) {
                box.right = std::max(r.left, box.left);
            } else if (columns && r.top <= box.top) {
                box.top = std::min(r.bottom, box.bottom);
            } else if (columns && r.bottom >= box.bottom) {
                box.bottom = std::max(r.top, box.top);
            } else {
                const cairo_rectangle_int_t first = cairoRect(box);
                region = cairo_region_create_rectangle(&first);
            }
            if (!region) return;
        }
        cuts.push_back(cairoRect(r));
    };
    // Many cuts (a strip across a row of children) go in one subtraction:
    // one at a time, each would split the growing region again.
    auto applyCuts = [&] {
        if (cuts.empty()) return;
        cairo_region_t* covered =
            cairo_region_create_rectangles(cuts.data(), static_cast<int>(cuts.size()));
        cairo_region_subtract(region, covered);
        cairo_region_destroy(covered);
        cuts.clear();
    };
    auto finish = [&] {
        if (region) {
            applyCuts();
            return region;
        }
        const cairo_rectangle_int_t c = cairoRect(box);
        return cairo_region_create_rectangle(&c);
    };
    for (const Window* a = w; a->parent; a = a->parent) {
        const RECT parentClient = onSurface(a->parent, clientBox(a->parent), false);
        box = {std::max(box.left, parentClient.left), std::max(box.top, parentClient.top),
               std::min(box.right, parentClient.right), std::min(box.bottom, parentClient.bottom)};
        if (region) {
            applyCuts();
            const cairo_rectangle_int_t c = cairoRect(parentClient);
            cairo_region_intersect_rectangle(region, &c);
        }
        if (empty()) return finish();
        auto cutSibling = [&](const Window* sibling) {
            if (!(sibling->style & WS_VISIBLE)) return;
            const RECT whole{0, 0, sibling->rect.right - sibling->rect.left,
                             sibling->rect.bottom - sibling->rect.top};
            cut(onSurface(sibling, whole, true));
        };
        if (ChildIndex* index = indexOf(a->parent)) {
            // Only the siblings above that overlap can cover anything.
            index->forEachOverlapping(*a->parent, a->rect, [&](const Window* sibling) {
                if (sibling->zOrder < a->zOrder) cutSibling(sibling);
            });
        } else {
            for (const Window* sibling : a->parent->children) {
                if (sibling == a) break;  // the rest lie below
                cutSibling(sibling);
            }
        }
    }
    if (withChildren || w->children.empty() || empty()) return finish();
    auto cutChild = [&](const Window* child) {
        if (!(child->style & WS_VISIBLE)) return;
        const RECT whole{0, 0, child->rect.right - child->rect.left,
                         child->rect.bottom - child->rect.top};
        cut(onSurface(child, whole, true));
    };
    if (ChildIndex* index = indexOf(const_cast<Window*>(w))) {
        RECT reach = box;
        if (region) {
            applyCuts();
            reach = regionBox(region);
        }
        const RECT origin = onSurface(w, {0, 0, 0, 0}, false);
        OffsetRect(&reach, -origin.left, -origin.top);
        index->forEachOverlapping(*const_cast<Window*>(w), reach, cutChild);
    } else {
        for (const Window* child : w->children)
            cutChild(child);
    }
    return finish();
}

namespace {

// A DC reaches no further than the surface, whatever the window's size
// (a top-level window's frame lies outside it); null without a surface.
HDC dcFor(Window* w, const cairo_region_t* limit, bool nonClient) {
    Window* top = surfaceWindow(w);
    if (!top->surface) return nullptr;
    RECT reach;
    if (limit) {
        reach = regionBox(limit);
    }
    cairo_region_t* visible = visibleRegion(w, nonClient, false, limit ? &reach : nullptr);
    if (limit) cairo_region_intersect(visible, limit);
    const cairo_rectangle_int_t bounds{0, 0, cairo_image_surface_get_width(top->surface),
                                       cairo_image_surface_get_height(top->surface)};
    cairo_region_intersect_rectangle(visible, &bounds);
    const RECT origin = onSurface(w, {0, 0, 0, 0}, nonClient);
    HDC dc = tessel::gdi::createSurfaceDC(top->surface, {origin.left, origin.top}, visible);
    cairo_region_destroy(visible);
    return dc;
}

}  // namespace

POINT surfaceOriginOnScreen(const Window* top) {
    const RECT frame = frameInsets(top->style, top->exStyle);
    return {top->rect.left + frame.left, top->rect.top + frame.top};
}

namespace {

// Adds a rectangle (client coordinates) to the update region, and with
// `children` the parts of it that the children cover to theirs. A region that
// already holds the rectangle needs no arithmetic: scrolling many children
// invalidates the same areas over and over.
bool intersect(const RECT& a, const RECT& b, RECT* out) {
    *out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
    return out->left < out->right && out->top < out->bottom;
}

// The part of `w`'s client area on its top-level window's surface and inside
// every ancestor's client area (client coordinates): what lies beyond is
// never painted, so it never becomes invalid.
RECT paintableClient(const Window* w) {
    const SIZE extent = surfaceExtent(topLevelOf(const_cast<Window*>(w)));
    const RECT origin = onSurface(w, {0, 0, 0, 0}, false);
    RECT out = onSurface(w, clientBox(w), false);
    if (!intersect(out, {0, 0, extent.cx, extent.cy}, &out)) return {0, 0, 0, 0};
    for (const Window* a = w->parent; a; a = a->parent) {
        if (!intersect(out, onSurface(a, clientBox(a), false), &out)) return {0, 0, 0, 0};
    }
    OffsetRect(&out, -origin.left, -origin.top);
    return out;
}

// `r` lies within the paintable part of `w`; so do the parts given to the children.
void invalidateRect(Window* w, RECT r, bool erase, bool children, bool loosely = false) {
    if (!intersect(r, clientBox(w), &r)) return;
    if (loosely) {
        w->update.addLoosely(r);
    } else {
        w->update.add(r);
    }
    w->eraseWanted = w->eraseWanted || erase;
    markForPaint(w);
    if (!children || w->children.empty()) return;
    auto into = [&](Window* child) {
        if (!(child->style & WS_VISIBLE)) return;
        RECT inChild;
        if (!intersect(r, child->rect, &inChild)) return;
        OffsetRect(&inChild, -child->rect.left - child->client.left,
                   -child->rect.top - child->client.top);
        child->frameWanted = true;
        invalidateRect(child, inChild, erase, true);
    };
    if (ChildIndex* index = indexOf(w)) {
        index->forEachOverlapping(*w, r, into);
    } else {
        for (Window* child : w->children)
            into(child);
    }
}

}  // namespace

void invalidate(Window* w, const cairo_region_t* region, bool erase, bool children) {
    if (!reallyVisible(w)) return;
    const RECT paintable = paintableClient(w);
    if (!region) return invalidateRect(w, paintable, erase, children);
    for (int i = 0, n = cairo_region_num_rectangles(region); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(region, i, &c);
        RECT r{c.x, c.y, c.x + c.width, c.y + c.height};
        if (intersect(r, paintable, &r)) invalidateRect(w, r, erase, children);
    }
}

void expose(Window* w, const RECT& rectInParent) {
    RECT r;
    if (w->parent && reallyVisible(w->parent) &&
        intersect(rectInParent, paintableClient(w->parent), &r)) {
        invalidateRect(w->parent, r, true, true, true);
    }
}

void expose(Window* w, const cairo_region_t* regionInParent) {
    if (!w->parent || !reallyVisible(w->parent)) return;
    const RECT paintable = paintableClient(w->parent);
    for (int i = 0, n = cairo_region_num_rectangles(regionInParent); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(regionInParent, i, &c);
        RECT r{c.x, c.y, c.x + c.width, c.y + c.height};
        if (intersect(r, paintable, &r)) invalidateRect(w->parent, r, true, true, true);
    }
}

namespace {
void forgetSubtree(Window* w) {
    forgetPaint(w);
    w->eraseWanted = false;
    for (Window* child : w->children)
        forgetSubtree(child);
}
}  // namespace

void cropUpdate(Window* w) {
    if (!w->parent || (!w->paintQueued && w->children.empty())) return;
    RECT shows;
    if (!intersect(w->rect, paintableClient(w->parent), &shows)) return forgetSubtree(w);
    if (w->update.empty()) return;
    const RECT paintable = paintableClient(w);
    const RECT e = w->update.extents();
    if (e.left >= paintable.left && e.top >= paintable.top && e.right <= paintable.right &&
        e.bottom <= paintable.bottom) {
        return;
    }
    // Only what can show stays invalid.
    cairo_region_t* update = w->update.take();
    const cairo_rectangle_int_t keep = cairoRect(paintable);
    cairo_region_intersect_rectangle(update, &keep);
    for (int i = 0, n = cairo_region_num_rectangles(update); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(update, i, &c);
        w->update.add({c.x, c.y, c.x + c.width, c.y + c.height});
    }
    cairo_region_destroy(update);
    if (w->update.empty()) w->eraseWanted = false;
}

void forgetPaint(Window* w) {
    w->update.clear();
    w->frameWanted = false;
}

Window* nextToPaint(HWND filter) {
    WindowSystem& ws = WindowSystem::instance();
    auto& queue = ws.paintQueue;
    for (std::size_t i = 0; i < queue.size();) {
        Window* w = windowOf(queue[i]);
        if (!w || (w->update.empty() && !w->frameWanted) || !reallyVisible(w)) {
            if (w) w->paintQueued = false, forgetPaint(w);
            queue[i] = queue.back();
            queue.pop_back();
            continue;
        }
        // Parents paint first: take the topmost ancestor that waits too.
        Window* pick = w;
        for (Window* a = w->parent; a; a = a->parent) {
            if (!a->update.empty() || a->frameWanted) pick = a;
        }
        if (!filter || pick->handle == filter) return pick;
        ++i;
    }
    return nullptr;
}

void drawNonClient(Window* w) {
    const RECT frame = frameInsets(w->style, w->exStyle);
    const bool bars = w->style & (WS_VSCROLL | WS_HSCROLL);
    if (!w->parent || (!bars && frame.left == 0 && frame.top == 0)) return;
    HDC dc = GetWindowDC(w->handle);
    const RECT all{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    // Borders: the outer pixel dark, the rest of a thick frame the face colour,
    // a client edge as a sunken line pair inside.
    RECT r = all;
    int border = frame.left;
    if (w->exStyle & WS_EX_CLIENTEDGE) border -= metrics::kClientEdge;
    if (border > 0) {
        HBRUSH dark = GetSysColorBrush(COLOR_WINDOWFRAME);
        FrameRect(dc, &r, dark);
        InflateRect(&r, -1, -1);
        for (int i = 1; i < border; ++i, InflateRect(&r, -1, -1))
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    if ((w->style & WS_CAPTION) == WS_CAPTION) {
        RECT caption{r.left, r.top, r.right, r.top + metrics::kCaption};
        FillRect(dc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
        r.top = caption.bottom;
    }
    if (w->exStyle & WS_EX_CLIENTEDGE) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    drawScrollBars(w, dc);
    ReleaseDC(w->handle, dc);
}

}  // namespace tessel::ws

using namespace tessel::ws;

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    Window* w = windowOf(handle);
    if (!w) return handle ? FALSE : TRUE;
    if (!rect) {
        invalidate(w, nullptr, erase, false);
        return TRUE;
    }
    RECT r = *rect;
    if (r.right < r.left || r.bottom < r.top) return TRUE;
    // Windows end within 16-bit coordinates: clamping far beyond them changes
    // nothing and keeps the width and height within an int.
    constexpr LONG kFar = 1 << 24;
    for (LONG* edge : {&r.left, &r.top, &r.right, &r.bottom})
        *edge = std::clamp(*edge, -kFar, kFar);
    const cairo_rectangle_int_t c{r.left, r.top, r.right - r.left, r.bottom - r.top};
    cairo_region_t* region = cairo_region_create_rectangle(&c);
    invalidate(w, region, erase, false);
    cairo_region_destroy(region);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    if (w->update.empty()) return TRUE;
    ++w->paintSerial;
    if (rect) {
        w->update.subtract(*rect);
    } else {
        w->update.clear();
    }
    if (w->update.empty()) w->eraseWanted = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    if (w->update.empty()) {
        if (rect) *rect = {0, 0, 0, 0};
        return FALSE;
    }
    if (rect) *rect = w->update.extents();
    if (erase && w->eraseWanted) {
        w->eraseWanted = false;
        HDC dc = GetDC(handle);
        send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(handle, dc);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    if ((!w->update.empty() || w->frameWanted) && reallyVisible(w)) send(w, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN regionHandle, UINT flags) {
    Window* w = windowOf(handle);
    if (!w) return FALSE;
    cairo_region_t* region = nullptr;
    if (regionHandle) {
        auto* r = tessel::gdi::state().handles.find<tessel::gdi::Region>(
            regionHandle, tessel::gdi::ObjectType::Region);
        if (r) region = cairo_region_copy(r->region);
    } else if (rect) {
        const cairo_rectangle_int_t c{rect->left, rect->top, std::max(0, rect->right - rect->left),
                                      std::max(0, rect->bottom - rect->top)};
        region = cairo_region_create_rectangle(&c);
    }
    if (flags & RDW_INVALIDATE) {
        if (flags & RDW_FRAME) w->frameWanted = true, markForPaint(w);
        invalidate(w, region, (flags & RDW_ERASE) != 0, (flags & RDW_ALLCHILDREN) != 0);
    } else if (flags & RDW_VALIDATE) {
        if (region) {
            const RECT r = regionBox(region);
            ValidateRect(handle, &r);
        } else {
            ValidateRect(handle, nullptr);
        }
    }
    if (region) cairo_region_destroy(region);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        UpdateWindow(handle);
        if ((flags & RDW_ALLCHILDREN) && (w = windowOf(handle))) {
            std::vector<HWND> children;
            for (Window* c : w->children)
                children.push_back(c->handle);
            for (HWND c : children)
                RedrawWindow(c, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
    return TRUE;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    Window* w = windowOf(handle);
    if (!w || !paint) return nullptr;
    if (w->frameWanted) {
        w->frameWanted = false;
        send(w, WM_NCPAINT, 1, 0);
        if (!(w = windowOf(handle))) return nullptr;
    }
    cairo_region_t* region = w->update.take();
    ++w->paintSerial;
    const bool erase = w->eraseWanted;
    w->eraseWanted = false;
    if (!region) region = cairo_region_create();
    // The DC reaches only what was invalid: the region moved onto the surface.
    const RECT origin = onSurface(w, {0, 0, 0, 0}, false);
    cairo_region_translate(region, origin.left, origin.top);
    HDC dc = dcFor(w, region, false);
    cairo_region_translate(region, -origin.left, -origin.top);
    cairo_rectangle_int_t e;
    cairo_region_get_extents(region, &e);
    cairo_region_destroy(region);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = {e.x, e.y, e.x + e.width, e.y + e.height};
    paint->fErase = TRUE;
    if (erase && dc)  // without a surface there is nothing to erase
        paint->fErase = send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    ReleaseDC(handle, paint->hdc);
    return TRUE;
}

HDC GetDC(HWND handle) {
    if (!handle) return CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    Window* w = windowOf(handle);
    return w ? dcFor(w, nullptr, false) : nullptr;
}

HDC GetWindowDC(HWND handle) {
    if (!handle) return CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    Window* w = windowOf(handle);
    return w ? dcFor(w, nullptr, true) : nullptr;
}

int ReleaseDC(HWND handle, HDC dc) {
    // The screen DC never involves the window system: workers measure text with it.
    if (!handle) return DeleteDC(dc) ? 1 : 0;
    tessel::gdi::DeviceContext* d = tessel::gdi::findDC(dc);
    if (!d) return 0;
    Window* w = windowOf(handle);
    if (w && d->kind() == tessel::gdi::DeviceContext::Kind::Surface) {
        Window* top = topLevelOf(w);
        cairo_rectangle_int_t e;
        cairo_region_get_extents(d->visibleRegion(), &e);
        if (e.width > 0 && e.height > 0) {
            WindowSystem::instance().backend->present(*top,
                                                      {e.x, e.y, e.x + e.width, e.y + e.height});
        }
    }
    DeleteDC(dc);
    return 1;
}
