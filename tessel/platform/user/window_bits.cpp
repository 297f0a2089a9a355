// Pixels that are already right on a surface, reused when windows move or
// scroll instead of being painted again.
#include <algorithm>
#include <cstring>
#include <vector>

#include <tessel/platform/win_rect.h>
#include "user/backend.h"
#include "user/region_rects.h"
#include "user/window_system.h"

namespace tessel::ws {

namespace {

// Takes out what `w` and its visible descendants still have to paint.
void subtractStale(cairo_region_t* area, const Window* w) {
    if (!(w->style & WS_VISIBLE) || cairo_region_is_empty(area)) return;
    if (w->frameWanted) {
        const RECT whole{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
        const cairo_rectangle_int_t all = cairoRect(onSurface(w, whole, true));
        cairo_region_t* frame = cairo_region_create_rectangle(&all);
        const RECT box{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
        const cairo_rectangle_int_t client = cairoRect(onSurface(w, box, false));
        cairo_region_subtract_rectangle(frame, &client);
        cairo_region_subtract(area, frame);
        cairo_region_destroy(frame);
    }
    if (!w->update.empty()) {
        cairo_region_t* update = w->update.copy();
        const RECT origin = onSurface(w, {0, 0, 0, 0}, false);
        cairo_region_translate(update, origin.left, origin.top);
        cairo_region_subtract(area, update);
        cairo_region_destroy(update);
    }
    auto visit = [&](const Window* child) {
        if (child->paintQueued || !child->children.empty()) subtractStale(area, child);
    };
    if (ChildIndex* index = indexOf(const_cast<Window*>(w))) {
        // Only the children over what is left can take anything out of it.
        const RECT origin = onSurface(w, {0, 0, 0, 0}, false);
        RECT reach = regionBox(area);
        OffsetRect(&reach, -origin.left, -origin.top);
        index->forEachOverlapping(*const_cast<Window*>(w), reach, visit);
    } else {
        for (const Window* child : w->children)
            visit(child);
    }
}

}  // namespace

cairo_region_t* validArea(const Window* w, const cairo_region_t* shown) {
    const Window* top = topLevelOf(const_cast<Window*>(w));
    if (!top->surface || !reallyVisible(w)) return nullptr;
    const SIZE extent = surfaceExtent(top);
    if (cairo_image_surface_get_width(top->surface) != extent.cx ||
        cairo_image_surface_get_height(top->surface) != extent.cy) {
        return nullptr;  // about to be made anew
    }
    const RECT bounds{0, 0, extent.cx, extent.cy};
    cairo_region_t* area = nullptr;
    if (shown) {
        area = cairo_region_copy(shown);
        const cairo_rectangle_int_t surface = cairoRect(bounds);
        cairo_region_intersect_rectangle(area, &surface);
    } else {
        area = visibleRegion(w, true, true, &bounds);
    }
    subtractStale(area, w);
    return area;
}

void moveBits(Window* top, const cairo_region_t* destination, int dx, int dy) {
    const int n = cairo_region_num_rectangles(destination);
    if (n == 1) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(destination, 0, &r);
        return moveBits(top, &r, 1, dx, dy);
    }
    std::vector<cairo_rectangle_int_t> rects(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        cairo_region_get_rectangle(destination, i, &rects[static_cast<std::size_t>(i)]);
    moveBits(top, rects.data(), n, dx, dy);
}

void moveBits(Window* top, const cairo_rectangle_int_t* rects, int n, int dx, int dy) {
    if (!top->surface || n == 0 || (dx == 0 && dy == 0)) return;
    cairo_surface_flush(top->surface);
    unsigned char* data = cairo_image_surface_get_data(top->surface);
    const long long stride = cairo_image_surface_get_stride(top->surface);
    auto copyRow = [&](const cairo_rectangle_int_t& r, int y) {
        std::memmove(data + y * stride + r.x * 4LL, data + (y - dy) * stride + (r.x - dx) * 4LL,
                     static_cast<std::size_t>(r.width) * 4);
    };
    // A region is banded: runs of rectangles sharing their rows, left to
    // right. Rows are written in the order that reads every source pixel
    // before anything overwrites it: away from where the pixels come from.
    auto band = [&](int first, int last) {  // [first, last) in rects
        const cairo_rectangle_int_t& head = rects[first];
        for (int k = 0; k < head.height; ++k) {
            const int y = dy > 0 ? head.y + head.height - 1 - k : head.y + k;
            for (int m = 0; m < last - first; ++m)
                copyRow(rects[dx > 0 ? last - 1 - m : first + m], y);
        }
    };
    if (dy > 0) {
        for (int last = n; last > 0;) {
            int first = last - 1;
            while (first > 0 && rects[first - 1].y == rects[last - 1].y)
                --first;
            band(first, last);
            last = first;
        }
    } else {
        for (int first = 0; first < n;) {
            int last = first + 1;
            while (last < n && rects[last].y == rects[first].y)
                ++last;
            band(first, last);
            first = last;
        }
    }
    cairo_surface_mark_dirty(top->surface);
    RECT e = rectOf(rects[0]);
    for (int i = 1; i < n; ++i) {
        const RECT r = rectOf(rects[i]);
        UnionRect(&e, &e, &r);
    }
    WindowSystem::instance().backend->present(*top, e);
}

}  // namespace tessel::ws
