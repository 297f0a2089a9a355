// Internal: rectangles between RECT and cairo's regions.
#pragma once

#include <cairo.h>

#include <algorithm>

#include <tessel/platform/win_types.h>

namespace tessel::ws {

inline cairo_rectangle_int_t cairoRect(const RECT& r) {
    return {r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
}

inline RECT rectOf(const cairo_rectangle_int_t& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// The smallest rectangle holding all of `region`; empty for an empty region.
inline RECT regionBox(const cairo_region_t* region) {
    cairo_rectangle_int_t e;
    cairo_region_get_extents(region, &e);
    return rectOf(e);
}

}  // namespace tessel::ws
