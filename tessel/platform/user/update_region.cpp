#include "user/update_region.h"

#include <algorithm>

#include "user/region_rects.h"

namespace tessel::ws {

namespace {
cairo_rectangle_int_t toCairo(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
bool holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
bool overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
}  // namespace

void UpdateRegion::add(const RECT& r) {
    if (m_hasRect) {
        if (holds(m_rect, r)) return;
        if (holds(r, m_rect)) return void(m_rect = r);
        const cairo_rectangle_int_t first = toCairo(m_rect);
        m_region = cairo_region_create_rectangle(&first);
        m_hasRect = false;
    } else if (!m_region) {
        m_rect = r;
        m_hasRect = true;
        return;
    }
    const cairo_rectangle_int_t c = toCairo(r);
    if (cairo_region_contains_rectangle(m_region, &c) == CAIRO_REGION_OVERLAP_IN) return;
    cairo_region_union_rectangle(m_region, &c);
    if (cairo_region_num_rectangles(m_region) > kLimit) {
        m_rect = regionBox(m_region);
        cairo_region_destroy(m_region);
        m_region = nullptr;
        m_hasRect = true;
    }
}

void UpdateRegion::addLoosely(const RECT& r) {
    if (empty()) return add(r);
    const RECT e = extents();
    clear();
    m_rect = {std::min(e.left, r.left), std::min(e.top, r.top), std::max(e.right, r.right),
              std::max(e.bottom, r.bottom)};
    m_hasRect = true;
}

void UpdateRegion::subtract(const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top || empty()) return;
    if (m_hasRect) {
        if (!overlaps(m_rect, r)) return;
        if (holds(r, m_rect)) return clear();
        const cairo_rectangle_int_t first = toCairo(m_rect);
        m_region = cairo_region_create_rectangle(&first);
        m_hasRect = false;
    }
    const cairo_rectangle_int_t c = toCairo(r);
    cairo_region_subtract_rectangle(m_region, &c);
    simplify();
}

void UpdateRegion::simplify() {
    if (!m_region) return;
    const int n = cairo_region_num_rectangles(m_region);
    if (n > 1) return;
    if (n == 1) {
        cairo_rectangle_int_t e;
        cairo_region_get_rectangle(m_region, 0, &e);
        m_rect = {e.x, e.y, e.x + e.width, e.y + e.height};
        m_hasRect = true;
    }
    cairo_region_destroy(m_region);
    m_region = nullptr;
}

void UpdateRegion::clear() {
    if (m_region) cairo_region_destroy(m_region);
    m_region = nullptr;
    m_hasRect = false;
}

RECT UpdateRegion::extents() const {
    if (m_hasRect) return m_rect;
    if (!m_region) return {0, 0, 0, 0};
    return regionBox(m_region);
}

cairo_region_t* UpdateRegion::copy() const {
    if (m_region) return cairo_region_copy(m_region);
    if (!m_hasRect) return cairo_region_create();
    const cairo_rectangle_int_t c = toCairo(m_rect);
    return cairo_region_create_rectangle(&c);
}

cairo_region_t* UpdateRegion::take() {
    cairo_region_t* region = copy();
    clear();
    return region;
}

}  // namespace tessel::ws
