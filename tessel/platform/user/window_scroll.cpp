// Scrolling a window's contents, and placing several windows in one batch.
#include <algorithm>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>
#include "gdi/objects.h"
#include "gdi/state.h"
#include "user/region_rects.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

bool intersect(const RECT& a, const RECT& b, RECT* out) {
    *out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
    return out->left < out->right && out->top < out->bottom;
}

// The window's update region moves along with its pixels.
void offsetUpdate(Window* w, int dx, int dy, const RECT& box) {
    if (w->update.empty()) return;
    cairo_region_t* update = w->update.take();
    cairo_region_translate(update, dx, dy);
    const cairo_rectangle_int_t client = cairoRect(box);
    cairo_region_intersect_rectangle(update, &client);
    for (int i = 0, n = cairo_region_num_rectangles(update); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(update, i, &c);
        w->update.add({c.x, c.y, c.x + c.width, c.y + c.height});
    }
    cairo_region_destroy(update);
    ++w->paintSerial;
}

// Moves the children whose rectangles meet `area` (all without one); those
// that could not move by exactly (dx, dy) are repainted whole.
void scrollChildren(Window* w, int dx, int dy, const RECT* area) {
    std::vector<std::pair<HWND, RECT>> moving;
    moving.reserve(w->children.size());
    for (Window* child : w->children) {
        RECT meet;
        if (!area || intersect(child->rect, *area, &meet))
            moving.emplace_back(child->handle, child->rect);
    }
    // When every child moves by the same step, the index moves as a whole
    // instead of refiling each child; it stays aside while they move.
    const HWND handle = w->handle;
    const std::uint32_t serial = w->childrenSerial;
    std::unique_ptr<ChildIndex> index =
        moving.size() == w->children.size() ? std::move(w->childIndex) : nullptr;
    bool together = true;
    for (const auto& [child, was] : moving) {
        placeWindow(child, nullptr, was.left + dx, was.top + dy, 0, 0,
                    SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_DEFERERASE,
                    true);
        Window* c = windowOf(child);
        if (c && (c->rect.left != was.left + dx || c->rect.top != was.top + dy)) {
            // Its pixels went where it did not: both places are painted again.
            together = false;
            RECT meant = was;
            OffsetRect(&meant, dx, dy);
            expose(c, meant);
            c->frameWanted = true;
            invalidate(c, nullptr, true, true);
        }
    }
    if (!index || !(w = windowOf(handle)) || w->childIndex) return;  // made anew meanwhile
    if (!together || w->childrenSerial != serial) index->stale();
    index->shift(dx, dy);
    w->childIndex = std::move(index);
}

int regionKind(const cairo_region_t* region) {
    const int n = cairo_region_num_rectangles(region);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

}  // namespace tessel::ws

using namespace tessel::ws;

int ScrollWindowEx(HWND handle, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags) {
    Window* w = windowOf(handle);
    if (!w) return ERROR;
    // Hostile offsets: anything beyond the 16-bit coordinates scrolls everything away.
    dx = std::clamp(dx, -0x10000, 0x10000);
    dy = std::clamp(dy, -0x10000, 0x10000);
    const RECT box{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    RECT area{0, 0, 0, 0}, limit{0, 0, 0, 0};
    if (!intersect(scroll ? *scroll : box, box, &area)) area = {0, 0, 0, 0};
    if (!intersect(clip ? *clip : box, area, &limit)) limit = {0, 0, 0, 0};
    const bool children = (flags & SW_SCROLLCHILDREN) != 0;

    // Before anything moves: where the client shows, and which of it is valid.
    const RECT client = onSurface(w, box, false);
    RECT reach = limit;
    OffsetRect(&reach, client.left, client.top);
    cairo_region_t* shown = nullptr;
    cairo_region_t* source = nullptr;
    cairo_region_t* valid = nullptr;
    if ((valid = validArea(w)) != nullptr) {
        shown = visibleRegion(w, false, children, &reach);
        RECT scrolled = area;
        OffsetRect(&scrolled, client.left, client.top);
        const cairo_rectangle_int_t from = cairoRect(scrolled);
        source = cairo_region_copy(shown);
        cairo_region_intersect_rectangle(source, &from);
        cairo_region_intersect(valid, source);
    }
    if (children) scrollChildren(w, dx, dy, scroll ? &area : nullptr);
    if (!(w = windowOf(handle))) {
        if (valid) cairo_region_destroy(valid), cairo_region_destroy(shown), cairo_region_destroy(source);
        return ERROR;
    }

    // Pixels brought along, and what is left uncovered (client coordinates).
    cairo_region_t* exposed = nullptr;
    if (valid) {
        cairo_region_translate(valid, dx, dy);
        cairo_region_intersect(valid, shown);
        moveBits(topLevelOf(w), valid, dx, dy);
        exposed = shown;
        // Stale pixels brought along stay invalid in their windows' update
        // regions, which move with them; only a partial scroll leaves the
        // window's own region behind and so repaints where they landed.
        if (scroll) {
            cairo_region_subtract(exposed, valid);
        } else {
            cairo_region_translate(source, dx, dy);
            cairo_region_subtract(exposed, source);
        }
        cairo_region_translate(exposed, -client.left, -client.top);
        cairo_region_destroy(valid);
        cairo_region_destroy(source);
    } else {
        const cairo_rectangle_int_t all = cairoRect(limit);
        exposed = cairo_region_create_rectangle(&all);
    }
    if (flags & SW_INVALIDATE) {
        if (!scroll) offsetUpdate(w, dx, dy, box);
        invalidate(w, exposed, (flags & SW_ERASE) != 0, true);
    }
    if (update) {
        if (auto* r = tessel::gdi::state().handles.find<tessel::gdi::Region>(
                update, tessel::gdi::ObjectType::Region)) {
            cairo_region_destroy(r->region);
            r->region = cairo_region_copy(exposed);
        }
    }
    if (updateRect) {
        *updateRect = regionBox(exposed);
    }
    const int kind = regionKind(exposed);
    cairo_region_destroy(exposed);
    return kind;
}

BOOL ScrollWindow(HWND handle, int dx, int dy, const RECT* scroll, const RECT* clip) {
    // As on Windows: without a scroll rectangle the children move too.
    const UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(handle, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR;
}

HDWP BeginDeferWindowPos(int count) {
    if (count < 0) return nullptr;
    WindowSystem& ws = WindowSystem::instance();
    const std::uintptr_t id = ws.nextBatch++;
    auto& batch = ws.deferred[id];
    batch.reserve(static_cast<std::size_t>(std::min(count, 4096)));
    return reinterpret_cast<HDWP>(id);
}

HDWP DeferWindowPos(HDWP batchHandle, HWND window, HWND insertAfter, int x, int y, int width,
                    int height, UINT flags) {
    WindowSystem& ws = WindowSystem::instance();
    const auto batch = ws.deferred.find(reinterpret_cast<std::uintptr_t>(batchHandle));
    if (batch == ws.deferred.end()) return nullptr;
    if (!windowOf(window)) {
        ws.deferred.erase(batch);
        return nullptr;
    }
    // A window placed twice keeps the last placement.
    auto same = std::ranges::find(batch->second, window, &WINDOWPOS::hwnd);
    const WINDOWPOS pos{window, insertAfter, x, y, width, height, flags};
    if (same != batch->second.end()) {
        *same = pos;
    } else {
        batch->second.push_back(pos);
    }
    return batchHandle;
}

BOOL EndDeferWindowPos(HDWP batchHandle) {
    WindowSystem& ws = WindowSystem::instance();
    const auto batch = ws.deferred.find(reinterpret_cast<std::uintptr_t>(batchHandle));
    if (batch == ws.deferred.end()) return FALSE;
    const std::vector<WINDOWPOS> placements = std::move(batch->second);
    ws.deferred.erase(batch);
    BOOL all = TRUE;
    for (const WINDOWPOS& p : placements) {
        if (!SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags)) all = FALSE;
    }
    return all;
}
