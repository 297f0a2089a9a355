// Internal: a window's update region. It stays one plain rectangle, without
// allocating, until a rectangle it does not contain arrives; invalidating the
// same area again and again (scrolling many windows) then costs a comparison.
// Past kLimit rectangles it becomes its bounding box: repainting a little
// more is cheaper than region arithmetic on every move.
#pragma once

#include <cairo.h>

#include <tessel/platform/win_types.h>

namespace tessel::ws {

class UpdateRegion {
public:
    static constexpr int kLimit = 32;

    UpdateRegion() = default;
    ~UpdateRegion() { clear(); }
    UpdateRegion(const UpdateRegion&) = delete;
    UpdateRegion& operator=(const UpdateRegion&) = delete;

    bool empty() const { return !m_region && !m_hasRect; }
    void add(const RECT& r);  // r must not be empty
    // Grows to the bounding box of itself and r: for areas uncovered by moving
    // windows, where a little more repainting beats exact arithmetic per move.
    void addLoosely(const RECT& r);
    void subtract(const RECT& r);
    void clear();
    RECT extents() const;
    // A new region the caller destroys (empty when this is).
    cairo_region_t* copy() const;
    // Takes the region out: the caller destroys what it gets, this becomes empty.
    cairo_region_t* take();

private:
    void simplify();  // back to a plain rectangle when the region is one

    RECT m_rect{};
    bool m_hasRect = false;
    cairo_region_t* m_region = nullptr;  // when not null, it is the region
};

}  // namespace tessel::ws
